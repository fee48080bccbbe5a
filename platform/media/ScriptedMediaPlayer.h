// The media control of component tests: plays no sound and fetches
// nothing, but goes through the control's states on the process clock, so a
// test on the virtual clock steps through a whole song in microseconds.
//
// Setting the URL opens the media as the streaming control does: open
// states 8, 10, then play states 9 (transitioning) and 6 (buffering); after
// OpenDelayMs of the clock the media is open (13) and playing (3); the
// position then follows the clock until the duration, where the media ends
// (8, then 1). Pause freezes the position, Stop returns it to 0, Play after
// Stop or the end opens the media again. A test can also force any state
// (a buffering pause in the middle of a song) and make the next SetUrl or
// position read fail. Every call is recorded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media/MediaControlBase.h"
#include "platform/window/Timer.h"

namespace ce {

class ScriptedMediaPlayer : public MediaControlBase {
 public:
  ScriptedMediaPlayer();
  ~ScriptedMediaPlayer() override;

  // The script for the media opened next (and the one open now).
  void SetDuration(double seconds) { duration_ = seconds; }
  void SetOpenDelayMs(DWORD ms) { openDelayMs_ = ms; }
  void SetMediaName(const std::u16string& name) { name_ = name; }
  void FailNextSetUrl(HRESULT error) { failSetUrl_ = error; }
  void FailPosition(bool fail) { failPosition_ = fail; }
  // Enters a state now, as the control would on its own, with its event.
  void ForcePlayState(LONG state);
  void ForceOpenState(LONG state) { EnterOpenState(state); }
  // The calls made so far: "SetUrl URL", "Play", "Stop", "Pause", "Close",
  // "SetVolume N", "SetMute 0|1", "SetCurrentPosition S".
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  bool Advised() const { return advised_ > 0; }

  HRESULT SetUrl(const std::u16string& url) override;
  std::u16string Url() const override { return url_; }
  HRESULT Close() override;
  HRESULT Play() override;
  HRESULT Stop() override;
  HRESULT Pause() override;
  HRESULT GetCurrentPosition(double* seconds) override;
  HRESULT SetCurrentPosition(double seconds) override;
  HRESULT SetVolume(LONG percent) override;
  HRESULT GetVolume(LONG* percent) override;
  HRESULT SetMute(bool mute) override;
  HRESULT GetMute(bool* mute) override;
  HRESULT GetDuration(double* seconds) override;
  HRESULT GetName(std::u16string* name) override;
  HRESULT GetSourceUrl(std::u16string* url) override;
  HRESULT Advise(MediaEvents* sink, DWORD* cookie) override;
  HRESULT Unadvise(DWORD cookie) override;

 private:
  static constexpr UINT_PTR kOpenTimer = 1;
  static constexpr UINT_PTR kEndTimer = 2;
  static void OnTimer(HWND window, UINT message, UINT_PTR id, DWORD tickCount);
  void Open();
  void StartRunning();
  void Freeze();
  void ScheduleEnd();
  double Position() const;

  std::vector<std::string> calls_;
  std::u16string url_;
  std::u16string name_;
  double duration_ = 180;
  DWORD openDelayMs_ = 0;
  HRESULT failSetUrl_ = S_OK;
  bool failPosition_ = false;
  bool open_ = false;      // the media of the URL is open
  bool running_ = false;   // the position follows the clock
  double position_ = 0;    // seconds, when frozen or at runStartMs_
  uint64_t runStartMs_ = 0;
  LONG volume_ = 100;
  bool mute_ = false;
  int advised_ = 0;
};

}  // namespace ce
