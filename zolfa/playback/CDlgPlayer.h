// The player bar (template 132): a strip 35 pixels high at the bottom of the
// current-playlist screen with previous, play/stop, next, mute, volume down
// and up, the volume bar and one text field for the connecting display, the
// play status or the elapsed time.
//
// It owns the media player host, starts the song-ticket requests, reacts to
// their results and to the control's play states, and hands the position
// on to the lyrics display. Everything runs on the user-interface thread;
// the ticket workers reach it by synchronous message.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/framework/Bitmap.h"
#include "platform/framework/Dialog.h"
#include "zolfa/browse/FeedItem.h"
#include "zolfa/playback/CWMPHost.h"
#include "zolfa/playback/CWMPHostPlayStates.h"
#include "zolfa/playback/IPlayerCore.h"
#include "zolfa/playback/IPlayerPlaylist.h"
#include "zolfa/playback/ITicketOutcomeOwner.h"
#include "zolfa/playback/PlayerBar.h"
#include "zolfa/playback/TicketOutcomes.h"
#include "zolfa/widgets/CTextHoverButton.h"

namespace zolfa {
struct PlaySongRequest;
}

class CDlgPlayer : public ce::Dialog,
                   public zolfa::CWMPHost::Owner,
                   public zolfa::ITicketOutcomeOwner,
                   public zolfa::IPlayStateOwner {
 public:
  static constexpr ce::UINT kTemplateId = 132;
  // Controls.
  static constexpr int kPrevButton = 1011;
  static constexpr int kPlayButton = 1013;
  static constexpr int kNextButton = 1012;
  static constexpr int kMuteButton = 1028;
  static constexpr int kVolumeDownButton = 1027;
  static constexpr int kVolumeUpButton = 1026;
  static constexpr int kBrowseButton = 1015;
  static constexpr int kVolumeLabel = 1016;
  static constexpr int kPercentLabel = 1017;
  // Images.
  static constexpr ce::UINT kBackgroundImage = 216;
  static constexpr ce::UINT kFillerImage = 228;
  static constexpr ce::UINT kVolumeImage = 217;
  static constexpr ce::UINT kMuteImage = 215;
  // The connecting animation.
  static constexpr ce::UINT_PTR kConnectingTimer = 1;
  static constexpr ce::UINT kConnectingPeriodMs = 1000;
  // Places, pixels.
  static constexpr int kHeight = 35;
  static constexpr int kBitmapWidth = 320;
  static constexpr int kFillerLeft = 240;
  static constexpr ce::RECT kTextPlace{95, 0, 139, 35};
  static constexpr ce::RECT kVolumePlace{172, 16, 216, 32};
  // The core screen number of the hidden browse button.
  static constexpr int32_t kMainScreen = 2;

  struct Options {
    // Blocks the thread for the retry after a refused session; null: Sleep
    // on the process clock.
    std::function<void(ce::DWORD)> wait;
  };

  CDlgPlayer(zolfa::IPlayerCore& core, zolfa::IPlayerPlaylist& playlist, ce::Window* parent);
  CDlgPlayer(zolfa::IPlayerCore& core, zolfa::IPlayerPlaylist& playlist, ce::Window* parent,
             Options options);
  ~CDlgPlayer() override;

  // Plays a playlist entry: the connecting display, the host stopped, then
  // a ticket for the song of the entry's link. Returns 1.
  int Play(const zolfa::FeedItem& item);
  // Stops the host and shows "停止".
  void Stop();
  // The end of the connecting phase: no timer, no text, the volume applied
  // again unless muted, and the song marked as started.
  void EndConnecting() override;
  void SetStoppedOnPurpose(bool stopped) { stoppedOnPurpose_ = stopped; }

  // What the bar shows, for the screens around it and for tests.
  const std::u16string& Text() const { return text_; }
  const zolfa::PlayerVolume& Volume() const { return volume_; }
  bool StoppedOnPurpose() const { return stoppedOnPurpose_; }
  ce::UINT PlayImage() const { return playImage_; }
  int32_t TrackRange() const { return trackRange_; }
  int32_t TrackPosition() const { return trackPosition_; }
  const std::u16string& StreamUrl() const { return streamUrl_; }
  zolfa::CWMPHost& Host() { return host_; }
  const zolfa::TicketOutcomes& Outcomes() const { return outcomes_; }

 protected:
  ce::BOOL OnInitDialog() override;
  ce::BOOL OnCommand(ce::WPARAM wParam, ce::LPARAM lParam) override;
  bool OnMessage(ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam,
                 ce::LRESULT* result) override;
  void OnTimer(ce::UINT_PTR id) override;
  void OnPaint() override;
  ce::BOOL OnEraseBkgnd(ce::HDC dc) override;
  void OnLButtonDown(ce::UINT flags, ce::POINT point) override;
  ce::HBRUSH OnCtlColor(ce::HDC dc, ce::HWND control, ce::UINT message) override;
  void OnOK() override;
  void OnCancel() override;
  void OnDestroy() override;

 private:
  // ITicketOutcomeOwner.
  void StopConnecting() override;
  void ShowMessage(std::u16string_view text) override;
  void Wait(ce::DWORD ms) override;
  void Reset() override { EndConnecting(); }
  void PlayCurrentItemAgain() override;
  void Logout() override { core_.Logout(); }
  void StopPlayback() override;
  void PlayNextSong() override { playlist_.PlayNextSong(); }
  int32_t PlaylistSize() override { return playlist_.Count(); }
  // IPlayStateOwner.
  void SetCorePlayState(int32_t state) override { core_.SetPlayState(state); }
  void PostPlayerStatus(int32_t status) override;
  void PlayNext() override { playlist_.PlayNextSong(); }

  void OnPlayButton();
  void OnTicketReady(const zolfa::PlaySongRequest& request);
  void OnStatus(int32_t status);
  void OnPosition(int32_t position, int32_t duration);
  void StartConnecting();
  void SetText(std::u16string text);
  void ApplyVolumes(const std::vector<int32_t>& volumes);
  void ShowVolume();
  void PlaceControls();
  void Draw(ce::HDC target);

  zolfa::IPlayerCore& core_;
  zolfa::IPlayerPlaylist& playlist_;
  Options options_;
  zolfa::CWMPHost host_;
  zolfa::TicketOutcomes outcomes_;
  std::array<CTextHoverButton, 6> buttons_;
  ce::Bitmap background_;
  ce::Bitmap filler_;
  ce::Bitmap volumeStrip_;
  ce::Bitmap offscreen_;
  ce::HBRUSH labelBrush_ = nullptr;
  std::u16string text_;
  zolfa::PlayerVolume volume_;
  bool stoppedOnPurpose_ = false;
  int dots_ = 0;
  ce::UINT playImage_ = zolfa::kPlayImage;
  int32_t trackRange_ = 0;
  int32_t trackPosition_ = 0;
  std::u16string streamUrl_;
};
