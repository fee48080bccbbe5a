// The current-playlist screen (template 160), tab 0 of the main screen: the
// six edit buttons over the song list, the lyrics and album-cover panels in
// the list's place (display modes 1 and 2) and the place of the player bar
// (the bottom 35 pixels). It owns the current playlist for the life of its
// window and forwards the user's edits to it.
// The player bar plays the playlist's entries; the screen relays between
// the two.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "zolfa/browse/CListCtrlBrowse.h"
#include "zolfa/browse/IScreenCore.h"
#include "zolfa/library/CCoreCurPlaylist.h"
#include "zolfa/library/ICurPlaylistCore.h"
#include "zolfa/library/ICurPlaylistOwner.h"
#include "zolfa/library/ICurPlaylistPlayer.h"
#include "zolfa/playback/CDlgAlbumCover.h"
#include "zolfa/playback/CDlgLyrics.h"
#include "zolfa/playback/CDlgPlayer.h"
#include "zolfa/playback/IPlayerCore.h"
#include "zolfa/playback/IPlayerPlaylist.h"
#include "zolfa/widgets/CTabScreen.h"
#include "zolfa/widgets/CTextHoverButton.h"

class CDlgCurPlaylist : public CTabScreen, public zolfa::ICurPlaylistOwner {
 public:
  static constexpr ce::UINT kTemplateId = 160;
  static constexpr ce::UINT kMenuBar = 168;
  static constexpr ce::UINT kContextMenu = 185;
  // Controls.
  static constexpr int kShuffleButton = 1040;
  static constexpr int kRepeatButton = 1041;
  static constexpr int kUpButton = 1011;
  static constexpr int kDownButton = 1012;
  static constexpr int kRemoveButton = 1049;
  static constexpr int kClearButton = 1039;
  static constexpr int kSongList = 1061;
  // Commands.
  static constexpr ce::UINT kCmdPlay = 32871;
  static constexpr ce::UINT kCmdUp = 32872;
  static constexpr ce::UINT kCmdDown = 32873;
  static constexpr ce::UINT kCmdRemove = 32874;
  static constexpr ce::UINT kCmdClear = 32856;
  static constexpr ce::UINT kCmdSongList = 32913;
  static constexpr ce::UINT kCmdLyrics = 32918;
  static constexpr ce::UINT kCmdCover = 32855;
  static constexpr ce::UINT kCmdSave = 32850;
  // Places, pixels.
  static constexpr int kButtonWidth = 40;
  static constexpr int kButtonHeight = 21;
  static constexpr int kPlayerBarHeight = 35;
  static constexpr ce::COLORREF kTitleColour = 0x000000FF;
  static constexpr ce::COLORREF kBackground = 0x00FFFFFF;
  inline static constexpr char16_t kEmptyPlaylist[] = u"播放清單沒有歌曲喔!";

  // The core controller outlives the screen.
  CDlgCurPlaylist(zolfa::IScreenCore& core, zolfa::ICurPlaylistCore& playlistCore,
                  zolfa::IPlayerCore& playerCore, ce::Window* parent);
  ~CDlgCurPlaylist() override;

  void SetActive(bool active) override;
  ce::HWND PlayerWindow() const override { return playerBar_.Handle(); }
  // Null before the window is made and after it is gone.
  zolfa::CCoreCurPlaylist* Playlist() { return playlist_.get(); }
  // Where the lyrics and album-cover panels stand (the list's place) and the
  // player bar, in client pixels.
  ce::RECT PanelPlace() const;
  ce::RECT PlayerBarPlace() const;
  const std::u16string& TitleLine() const { return titleLine_; }
  // The panels of display modes 1 and 2, in the list's place.
  CDlgLyrics& LyricsPanel() { return lyricsPanel_; }
  CDlgAlbumCover& CoverPanel() { return coverPanel_; }
  CDlgPlayer& PlayerBar() { return playerBar_; }

 protected:
  ce::BOOL OnInitDialog() override;
  ce::BOOL OnCommand(ce::WPARAM wParam, ce::LPARAM lParam) override;
  ce::BOOL OnNotify(ce::WPARAM wParam, ce::LPARAM lParam, ce::LRESULT* result) override;
  bool OnMessage(ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam,
                 ce::LRESULT* result) override;
  void OnPaint() override;
  ce::BOOL OnEraseBkgnd(ce::HDC dc) override;
  void OnSize(ce::UINT type, int width, int height) override;
  void OnDestroy() override;

 private:
  // The player bar as the playlist sees it.
  class BarPlayer : public zolfa::ICurPlaylistPlayer {
   public:
    explicit BarPlayer(CDlgPlayer& bar) : bar_(bar) {}
    int Play(const zolfa::FeedItem& entry) override { return bar_.Play(entry); }
    void Stop() override { bar_.Stop(); }
    void ResetDisplay() override { bar_.EndConnecting(); }
    void SetStoppedOnPurpose(bool stopped) override { bar_.SetStoppedOnPurpose(stopped); }

   private:
    CDlgPlayer& bar_;
  };
  // The playlist and the lyrics panel as the player bar sees them.
  class BarPlaylist : public zolfa::IPlayerPlaylist {
   public:
    explicit BarPlaylist(CDlgCurPlaylist& screen) : screen_(screen) {}
    void Stop() override;
    int32_t SelectedIndex() override;
    void SetCurrent(int32_t index) override;
    zolfa::FeedItem CurrentItem() override;
    int PlayNextSong() override;
    int PlayPrevSong() override;
    void SetSongStarted(bool started) override;
    int32_t Count() override;
    int32_t DisplayMode() override;
    void SetDisplayMode(int32_t mode) override;
    void SetLyrics(std::u16string_view text) override { screen_.SetLyrics(text); }
    void SetLyricsPosition(int32_t seconds) override { screen_.SetLyricsPosition(seconds); }
    bool LyricsHaveLines() override { return screen_.lyricsPanel_.HasLines(); }

   private:
    CDlgCurPlaylist& screen_;
  };

  // ICurPlaylistOwner.
  zolfa::ICurPlaylistPlayer& Player() override { return player_; }
  void AddRow(const zolfa::FeedItem& entry) override;
  void DeleteRow(int32_t row) override;
  void DeleteAllRows() override;
  void FillRows(const std::vector<zolfa::FeedItem>& entries) override;
  void SetRowText(int32_t row, std::u16string_view text) override;
  void SelectRow(int32_t row) override;
  void MakeRowVisible(int32_t row) override;
  int32_t FirstSelectedRow() override;
  void RepaintList() override;
  void ShowDisplayMode(int32_t mode) override;
  void SetTitleLine(std::u16string_view title) override;
  void SetShuffleButton(bool pressed) override;
  void SetRepeatButton(bool pressed) override;
  void AllowCoverRepaint() override {}
  void ShowAlbumCover(std::u16string_view source) override;
  void SetLyrics(std::u16string_view text) override;
  void SetLyricsPosition(int32_t seconds) override;
  bool ConfirmYesNo(std::u16string_view question) override;

  void Place();
  void CreatePanels();
  void OnListNotify(ce::NMHDR* header);
  void ShowContextMenu(int row, ce::POINT screenPoint);
  void EnableMenu(ce::HMENU menu);
  void SaveAsPersonalPlaylist();

  zolfa::IScreenCore& core_;
  zolfa::ICurPlaylistCore& playlistCore_;
  BarPlaylist barPlaylist_{*this};
  CDlgPlayer playerBar_;
  BarPlayer player_{playerBar_};
  std::unique_ptr<zolfa::CCoreCurPlaylist> playlist_;
  CListCtrlBrowse list_;
  CDlgLyrics lyricsPanel_;
  CDlgAlbumCover coverPanel_;
  std::array<CTextHoverButton, 6> buttons_;
  ce::HWND menuBar_ = nullptr;
  std::u16string titleLine_;
  std::u16string lyrics_;
};
