#include "platform/window/Timer.h"

#include <algorithm>
#include <mutex>

#include "platform/base/Clock.h"
#include "platform/window/Message.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::LockedWindowSystem;
using detail::ThreadQueue;
using detail::TimerEntry;
using detail::WindowRecord;

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC proc) {
  LockedWindowSystem system;
  std::shared_ptr<ThreadQueue> queue;
  if (window != nullptr) {
    WindowRecord* record = system.Find(window);
    if (record == nullptr || record->destroying) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    queue = record->queue;
  } else {
    queue = system.CurrentQueue();
  }
  auto& timers = queue->timers_;
  auto existing = std::find_if(timers.begin(), timers.end(), [&](const TimerEntry& timer) {
    return timer.hwnd == window && timer.id == id;
  });
  if (existing == timers.end()) {
    if (window == nullptr) {
      // Thread timers get ids of their own; they never collide with another
      // thread timer of the process.
      do {
        id = system.TakeThreadTimerId();
      } while (std::any_of(timers.begin(), timers.end(), [id](const TimerEntry& timer) {
        return timer.hwnd == nullptr && timer.id == id;
      }));
    }
    timers.push_back(TimerEntry{});
    existing = timers.end() - 1;
  }
  existing->hwnd = window;
  existing->id = id;
  existing->periodMs = std::max<UINT>(periodMs, 1);
  existing->dueMs = CurrentClock().NowMs() + existing->periodMs;
  existing->proc = proc;
  existing->order = system.TakeTimerOrder();
  queue->wake_.notify_all();
  if (window != nullptr && id == 0) return 1;  // success must read as non-zero
  return id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  LockedWindowSystem system;
  std::shared_ptr<ThreadQueue> queue;
  if (window != nullptr) {
    WindowRecord* record = system.FindOrFail(window);
    if (record == nullptr) return FALSE;
    queue = record->queue;
  } else {
    queue = system.CurrentQueue();
  }
  auto& timers = queue->timers_;
  auto it = std::find_if(timers.begin(), timers.end(), [&](const TimerEntry& timer) {
    return timer.hwnd == window && timer.id == id;
  });
  if (it == timers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  timers.erase(it);
  return TRUE;
}

namespace detail {

uint64_t NextTimerDueMs() {
  LockedWindowSystem system;
  uint64_t next = kNoDeadline;
  for (const TimerEntry& timer : system.CurrentQueue()->timers_) next = std::min(next, timer.dueMs);
  return next;
}

}  // namespace detail

}  // namespace ce
