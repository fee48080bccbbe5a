// The media player host: an invisible window that holds the media control
// in its container, hands it the stream address, and follows it with two
// timers: the position poll (every 500 ms while playing) and the power-state
// watch (every second from the first PlayMedia on, pausing the song when the
// device is unattended or resuming).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/framework/Window.h"
#include "platform/media/MediaPlayer.h"
#include "zolfa/playback/CWMPEventDispatch.h"

namespace zolfa {

class CWMPHost : public ce::Window {
 public:
  // What the host asks of the player screen at each position poll.
  class Owner {
   public:
    virtual ~Owner() = default;
    // End the connecting display (its timer, its text) and apply the
    // screen's volume again.
    virtual void EndConnecting() = 0;
  };

  static constexpr int kWindowId = 30579;
  static constexpr const char16_t* kWindowTitle = u"Media Bookmarker";
  static constexpr ce::UINT_PTR kPositionTimer = 0x100000;  // 1048576
  static constexpr ce::UINT_PTR kPowerTimer = 0x100003;     // 1048579
  static constexpr ce::UINT kPositionPeriodMs = 500;
  static constexpr ce::UINT kPowerPeriodMs = 1000;
  // Positions below this many seconds are not shown.
  static constexpr double kFirstShownSecond = 1.0;

  explicit CWMPHost(Owner& owner);
  ~CWMPHost() override;

  // Creates the host window as a child of parent, with no visible area.
  // False when the control could not be made (the reason was shown, and the
  // application was asked to quit).
  bool CreateHost(ce::HWND parent);

  // Stops the control and gives it the URL, which it plays on its own.
  // False when the control refused the URL (after a message box).
  bool PlayMedia(const std::u16string& url);
  void StopMedia();
  void PauseMedia();
  // percent is clamped to 0..100.
  void SetVolume(int32_t percent);

  // For the player screen and tests.
  ce::MediaPlayer* Player() const { return player_; }
  bool PlayRequested() const { return playRequested_; }

 protected:
  int OnCreate(ce::CREATESTRUCT* create) override;
  void OnDestroy() override;
  void OnTimer(ce::UINT_PTR id) override;
  void PostNcDestroy() override;

 private:
  // Shows "Error code = %08X" titled "Error"; the creation then ends.
  void ShowCreationError(ce::HRESULT error);
  void PollPosition();
  void WatchPowerState();

  Owner& owner_;
  ce::HWND notifyTarget_ = nullptr;
  ce::HWND container_ = nullptr;
  // The control is owned by its container window; these are borrowed.
  ce::MediaPlayer* player_ = nullptr;
  std::unique_ptr<CWMPEventDispatch> sink_;
  ce::DWORD cookie_ = 0;
  bool playRequested_ = false;
  double position_ = 0;          // seconds
  double previousPosition_ = 0;  // seconds, at the previous poll
  double duration_ = 0;          // seconds
};

}  // namespace zolfa
