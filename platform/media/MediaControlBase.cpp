#include "platform/media/MediaControlBase.h"

#include <algorithm>
#include <mutex>

#include "platform/window/Message.h"

namespace ce {
namespace {

constexpr const char16_t* kEventWindowClass = u"CeMediaEvents";
constexpr UINT kWakeMessage = WM_APP + 0x4D;  // "M"

void RegisterEventWindowClass(WNDPROC procedure) {
  static std::once_flag once;
  std::call_once(once, [procedure] {
    WNDCLASS wndClass;
    wndClass.lpfnWndProc = procedure;
    wndClass.lpszClassName = kEventWindowClass;
    RegisterClass(&wndClass);
  });
}

}  // namespace

MediaControlBase::MediaControlBase() {
  RegisterEventWindowClass(&MediaControlBase::Procedure);
  window_ = CreateWindowEx(0, kEventWindowClass, u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                           nullptr);
  if (window_) SetWindowLongPtr(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MediaControlBase::~MediaControlBase() {
  if (window_) {
    SetWindowLongPtr(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.clear();
}

HRESULT MediaControlBase::Advise(MediaEvents* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  *cookie = nextCookie_++;
  sinks_.emplace_back(*cookie, sink);
  return S_OK;
}

HRESULT MediaControlBase::Unadvise(DWORD cookie) {
  auto it = std::find_if(sinks_.begin(), sinks_.end(),
                         [cookie](const auto& entry) { return entry.first == cookie; });
  if (it == sinks_.end()) return E_INVALIDARG;
  sinks_.erase(it);
  return S_OK;
}

void MediaControlBase::EnterPlayState(LONG state) {
  playState_ = state;
  Pending pending;
  pending.kind = Pending::kPlayState;
  pending.state = state;
  Queue(std::move(pending));
}

void MediaControlBase::EnterOpenState(LONG state) {
  openState_ = state;
  Pending pending;
  pending.kind = Pending::kOpenState;
  pending.state = state;
  Queue(std::move(pending));
}

void MediaControlBase::ReportOpen(const std::u16string& url) {
  Pending pending;
  pending.kind = Pending::kOpen;
  pending.url = url;
  Queue(std::move(pending));
}

void MediaControlBase::ReportPositionChange(double oldPosition, double newPosition) {
  Pending pending;
  pending.kind = Pending::kPosition;
  pending.oldPosition = oldPosition;
  pending.newPosition = newPosition;
  Queue(std::move(pending));
}

void MediaControlBase::ReportError(HRESULT error) {
  Pending pending;
  pending.kind = Pending::kError;
  pending.error = error;
  Queue(std::move(pending));
}

void MediaControlBase::RunOnControlThread(std::function<void()> task) {
  Pending pending;
  pending.kind = Pending::kTask;
  pending.task = std::move(task);
  Queue(std::move(pending));
}

void MediaControlBase::Queue(Pending pending) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back(std::move(pending));
  }
  // One wake message stands for everything queued until it is handled.
  if (!wakePosted_.exchange(true)) PostMessage(window_, kWakeMessage, 0, 0);
}

void MediaControlBase::Drain() {
  wakePosted_ = false;
  for (;;) {
    Pending pending;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (pending_.empty()) return;
      pending = std::move(pending_.front());
      pending_.pop_front();
    }
    Deliver(pending);
  }
}

void MediaControlBase::Deliver(const Pending& pending) {
  if (pending.kind == Pending::kTask) {
    pending.task();
    return;
  }
  MediaEvent event;
  switch (pending.kind) {
    case Pending::kPlayState:
      event.kind = pending.state == kPlayStateMediaEnded ? MediaEvent::kEnded
                                                          : MediaEvent::kPlayState;
      event.state = pending.state;
      NotifyMediaObserver(event);
      break;
    case Pending::kOpen:
      event.kind = MediaEvent::kOpen;
      event.url = pending.url;
      NotifyMediaObserver(event);
      return;  // the transcript's line only; sinks learn of it by open states
    case Pending::kError:
      event.kind = MediaEvent::kError;
      event.error = pending.error;
      NotifyMediaObserver(event);
      break;
    default:
      break;
  }
  // A sink may unadvise itself (or another) while it handles the event.
  auto sinks = sinks_;
  for (const auto& [cookie, sink] : sinks) {
    bool stillAdvised = std::any_of(sinks_.begin(), sinks_.end(),
                                    [&](const auto& entry) { return entry.first == cookie; });
    if (!stillAdvised) continue;
    switch (pending.kind) {
      case Pending::kPlayState:
        sink->PlayStateChange(pending.state);
        break;
      case Pending::kOpenState:
        sink->OpenStateChange(pending.state);
        break;
      case Pending::kPosition:
        sink->PositionChange(pending.oldPosition, pending.newPosition);
        break;
      case Pending::kError:
        sink->MediaError(pending.error);
        break;
      default:
        break;
    }
  }
}

LRESULT MediaControlBase::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kWakeMessage) {
    auto* control = reinterpret_cast<MediaControlBase*>(GetWindowLongPtr(window, GWLP_USERDATA));
    if (control) control->Drain();
    return 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace ce
