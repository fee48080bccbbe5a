// The personal-library screen (template 161), tab 2 of the main screen: the
// playlists of the library (view 1) and the songs of one of them (view 2),
// with the buttons and menus that play, append, move, delete and rename,
// and the import of the backed-up playlists. It owns the library.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "zolfa/browse/IScreenCore.h"
#include "zolfa/library/CBackupImport.h"
#include "zolfa/library/CListCtrlPLib.h"
#include "zolfa/library/CPersonalLibrary.h"
#include "zolfa/library/IPersonalLibraryOwner.h"
#include "zolfa/library/ScreenRules.h"
#include "zolfa/widgets/CTabScreen.h"
#include "zolfa/widgets/CTextHoverButton.h"

class CDlgPersonalLib : public CTabScreen, public zolfa::IPersonalLibraryOwner {
 public:
  static constexpr ce::UINT kTemplateId = 161;
  static constexpr ce::UINT kPlaylistsMenuBar = 171;
  static constexpr ce::UINT kSongsMenuBar = 172;
  static constexpr ce::UINT kPlaylistContextMenu = 182;
  static constexpr ce::UINT kBlankSongsContextMenu = 183;
  static constexpr ce::UINT kSongContextMenu = 184;
  // Controls.
  static constexpr int kUpButton = 1044;
  static constexpr int kDownButton = 1042;
  static constexpr int kDeleteButton = 1043;
  static constexpr int kRenameButton = 1045;
  static constexpr int kBackButton = 1004;
  static constexpr int kPlaylistList = 1033;
  static constexpr int kSongList = 1034;
  // Commands.
  static constexpr ce::UINT kCmdPlayPlaylist = 32873;
  static constexpr ce::UINT kCmdAppendPlaylist = 32888;
  static constexpr ce::UINT kCmdPlayAll = 32883;
  static constexpr ce::UINT kCmdPlay = 32792;
  static constexpr ce::UINT kCmdPlaySong = 32905;
  static constexpr ce::UINT kCmdAppendAll = 32909;
  static constexpr ce::UINT kCmdAppendSong = 32874;
  static constexpr ce::UINT kCmdAppendSongBar = 32907;
  static constexpr ce::UINT kCmdUp = 32875;
  static constexpr ce::UINT kCmdDown = 32876;
  static constexpr ce::UINT kCmdDelete = 32877;
  static constexpr ce::UINT kCmdImport = 32799;
  // Places (pixels) and colours (COLORREF).
  static constexpr int kButtonWidth = 40;
  static constexpr int kButtonHeight = 21;
  static constexpr int kBandTop = 21;
  static constexpr int kBandBottom = 43;
  static constexpr int kBackFromRight = 54;
  static constexpr int kBackWidth = 54;
  static constexpr int kBackHeight = 22;
  static constexpr int kHeaderTextX = 2;
  static constexpr int kHeaderTextFromRight = 55;
  static constexpr ce::COLORREF kBandPen = 0x00735D39;
  static constexpr ce::COLORREF kBandFill = 0x00D6EBC6;
  static constexpr ce::COLORREF kHeaderText = 0x000000FF;
  static constexpr ce::COLORREF kBackground = 0x00FFF3F7;

  // The core controller and the backup import outlive the screen.
  CDlgPersonalLib(zolfa::IScreenCore& core, zolfa::CBackupImport* import, ce::Window* parent);
  ~CDlgPersonalLib() override;

  // Reads "personal.db"; runs before the window is made.
  void LoadLibrary() { library_.LoadLibrary(); }
  // The current playlist saved under a name, and the view of its songs.
  void AddPlaylist(std::u16string_view name, const std::vector<zolfa::FeedItem>& items);
  void SelectLastPlaylist();

  void SetActive(bool active) override;
  zolfa::CPersonalLibrary& Library() { return library_; }
  int32_t View() const { return view_; }
  const std::u16string& Header() const { return header_; }

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
  // IPersonalLibraryOwner.
  void RebuildPlaylistList() override;
  void SelectPlaylistRow(int32_t row) override;
  void Repaint() override;

  void Place();
  void SetHeader(std::u16string header);
  void ShowView(int32_t view);
  void OpenPlaylist(int row);
  void FillSongs(int selectRow);
  void Select(int row);
  void UpdateButtons();
  void EnableMenu(ce::HMENU menu);
  void OnListNotify(CListCtrlPLib& list, ce::NMHDR* header);
  void ShowContextMenu(int row, ce::POINT screenPoint);
  void PlayOpen(bool play);
  void PlaySelectedPlaylist(bool play);
  void AppendSelectedSong(bool play);
  void Move(zolfa::CPersonalLibrary::Direction direction);
  void Delete();
  void Rename();
  void Import();
  void Back();
  int32_t OpenPosition() const { return library_.FindPlaylist(openPlaylistId_); }
  CListCtrlPLib& VisibleList() { return view_ == zolfa::kLibraryViewSongs ? songs_ : playlists_; }

  zolfa::IScreenCore& core_;
  zolfa::CBackupImport* import_;
  zolfa::CPersonalLibrary library_;
  CListCtrlPLib playlists_{CListCtrlPLib::kKindPlaylists};
  CListCtrlPLib songs_{CListCtrlPLib::kKindSongs};
  CTextHoverButton upButton_;
  CTextHoverButton downButton_;
  CTextHoverButton deleteButton_;
  CTextHoverButton renameButton_;
  CTextHoverButton backButton_;
  ce::HWND playlistsBar_ = nullptr;
  ce::HWND songsBar_ = nullptr;
  int32_t view_ = zolfa::kLibraryViewPlaylists;
  int32_t selectedRow_ = -1;
  int32_t openPlaylistId_ = 0;
  std::u16string header_;
};
