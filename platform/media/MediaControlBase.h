// What both media controls share: the sinks, the states as the caller sees
// them, and the hidden window of the creating thread through which every
// event (and every result of a worker thread) reaches that thread.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/media/MediaPlayer.h"
#include "platform/window/Window.h"

namespace ce {

class MediaControlBase : public MediaPlayer {
 public:
  ~MediaControlBase() override;

  LONG PlayState() const override { return playState_; }
  LONG OpenState() const override { return openState_; }
  HRESULT Advise(MediaEvents* sink, DWORD* cookie) override;
  HRESULT Unadvise(DWORD cookie) override;

 protected:
  // Creates the event window on the calling thread, which becomes the
  // control's thread.
  MediaControlBase();

  // On the control's thread: takes the state at once and queues its event
  // (and the transcript's line), delivered after the current call returns.
  void EnterPlayState(LONG state);
  void EnterOpenState(LONG state);
  void ReportOpen(const std::u16string& url);
  void ReportPositionChange(double oldPosition, double newPosition);
  void ReportError(HRESULT error);

  // From any thread: runs task on the control's thread, after the events
  // queued before it. Tasks still queued when the control goes away are
  // dropped, so a task may use the control freely.
  void RunOnControlThread(std::function<void()> task);

  HWND EventWindow() const { return window_; }

 private:
  struct Pending {
    enum Kind { kTask, kPlayState, kOpenState, kOpen, kPosition, kError } kind = kTask;
    std::function<void()> task;
    LONG state = 0;
    double oldPosition = 0;
    double newPosition = 0;
    HRESULT error = 0;
    std::u16string url;
  };
  static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Queue(Pending pending);
  void Drain();
  void Deliver(const Pending& pending);

  HWND window_ = nullptr;
  LONG playState_ = kPlayStateUndefined;
  LONG openState_ = kOpenStateUndefined;
  std::vector<std::pair<DWORD, MediaEvents*>> sinks_;
  DWORD nextCookie_ = 1;

  std::mutex mutex_;
  std::deque<Pending> pending_;  // guarded by mutex_
  std::atomic<bool> wakePosted_{false};
};

}  // namespace ce
