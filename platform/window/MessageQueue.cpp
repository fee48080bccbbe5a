#include <algorithm>
#include <chrono>
#include <mutex>

#include "platform/base/Clock.h"
#include "platform/base/Thread.h"
#include "platform/window/Keys.h"
#include "platform/window/Message.h"
#include "platform/window/detail/PeerLink.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::LockedWindowSystem;
using detail::SentMessage;
using detail::ThreadQueue;
using detail::TimerEntry;
using detail::WindowRecord;
using detail::kNoDeadline;

namespace {

// A runaway poster fails instead of exhausting memory.
constexpr size_t kMaxPostedMessages = 100000;

HWND const kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

bool InRange(UINT message, UINT filterMin, UINT filterMax) {
  return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

bool MatchesWindow(LockedWindowSystem& system, HWND filter, HWND window)
    REQUIRES(detail::windowSystemMutex) {
  if (filter == nullptr) return true;
  if (filter == kThreadMessagesOnly) return window == nullptr;
  return window == filter || (window != nullptr && system.IsAncestor(filter, window));
}

// The first window of the queue's thread that waits for WM_PAINT, parents
// before children.
HWND FindPaintWindow(LockedWindowSystem& system, const ThreadQueue& queue, HWND filter, HWND window)
    REQUIRES(detail::windowSystemMutex) {
  WindowRecord* record = system.Find(window);
  if (record == nullptr || (record->style & WS_VISIBLE) == 0) return nullptr;
  if (record->paintPending && record->queue.get() == &queue &&
      MatchesWindow(system, filter, window)) {
    return window;
  }
  for (HWND child : record->children) {
    if (HWND found = FindPaintWindow(system, queue, filter, child)) return found;
  }
  return nullptr;
}

// Characters typed by keys without a shift state.
WCHAR CharOfKey(WPARAM key) {
  if (key >= '0' && key <= '9') return static_cast<WCHAR>(key);
  if (key >= 'A' && key <= 'Z') return static_cast<WCHAR>(key - 'A' + 'a');
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return static_cast<WCHAR>('0' + (key - VK_NUMPAD0));
  switch (key) {
    case VK_SPACE:
      return u' ';
    case VK_RETURN:
      return u'\r';
    case VK_BACK:
      return u'\b';
    case VK_TAB:
      return u'\t';
    case VK_ESCAPE:
      return 0x1B;
    case VK_MULTIPLY:
    case VK_TSTAR:
      return u'*';
    case VK_TPOUND:
      return u'#';
    case VK_ADD:
      return u'+';
    case VK_SUBTRACT:
      return u'-';
    case VK_DECIMAL:
      return u'.';
    case VK_DIVIDE:
      return u'/';
    default:
      return 0;
  }
}

}  // namespace

namespace detail {

int RetrieveMessage(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, UINT removeFlags,
                    bool wait, const std::function<bool(LockedWindowSystem&)>* stop) {
  LockedWindowSystem system;
  std::shared_ptr<ThreadQueue> queue = system.CurrentQueue();
  if (filter != nullptr && filter != kThreadMessagesOnly) {
    WindowRecord* record = system.Find(filter);
    if (record == nullptr || record->queue != queue) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return -1;
    }
  }
  const bool remove = (removeFlags & PM_REMOVE) != 0;
  for (;;) {
    system.HandleSentMessages(*queue);
    if (stop != nullptr && (*stop)(system)) return -2;

    auto& posted = queue->posted_;
    for (auto it = posted.begin(); it != posted.end(); ++it) {
      if (InRange(it->message, filterMin, filterMax) && MatchesWindow(system, filter, it->hwnd)) {
        *msg = *it;
        if (remove) posted.erase(it);
        return 1;
      }
    }
    if (queue->quitPending_ && InRange(WM_QUIT, filterMin, filterMax)) {
      *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue->quitCode_), 0, GetTickCount(), {}};
      if (remove) queue->quitPending_ = false;
      return 1;
    }
    if (queue->paintPending_ > 0 && InRange(WM_PAINT, filterMin, filterMax)) {
      for (HWND top : system.TopLevel()) {
        if (HWND window = FindPaintWindow(system, *queue, filter, top)) {
          // WM_PAINT stays until the window is validated.
          *msg = MSG{window, WM_PAINT, 0, 0, GetTickCount(), {}};
          return 1;
        }
      }
    }
    uint64_t deadline = kNoDeadline;
    if (InRange(WM_TIMER, filterMin, filterMax)) {
      TimerEntry* next = nullptr;
      for (TimerEntry& timer : queue->timers_) {
        if (!MatchesWindow(system, filter, timer.hwnd)) continue;
        if (next == nullptr || timer.dueMs < next->dueMs ||
            (timer.dueMs == next->dueMs && timer.order < next->order)) {
          next = &timer;
        }
      }
      if (next != nullptr) {
        uint64_t now = CurrentClock().NowMs();
        if (next->dueMs <= now) {
          *msg = MSG{next->hwnd, WM_TIMER, next->id, reinterpret_cast<LPARAM>(next->proc),
                     static_cast<DWORD>(now), {}};
          if (remove) next->dueMs = now + next->periodMs;
          return 1;
        }
        deadline = next->dueMs;
      }
    }
    if (!wait) return 0;
    system.Wait(*queue, deadline);
  }
}

LRESULT SendMessageInternal(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            uint64_t timeoutMs, bool allowDestroying, bool* delivered) {
  *delivered = false;
  if (window == HWND_BROADCAST) {
    *delivered = true;
    return BroadcastMessage(message, wParam, lParam, true);
  }
  if (detail::IsRemoteHandle(window)) {
    LRESULT result = 0;
    DWORD limit = timeoutMs == kNoDeadline ? kRemoteSendTimeoutMs
                                           : static_cast<DWORD>(std::min<uint64_t>(timeoutMs, INFINITE - 1));
    *delivered = PeerLink::Send(window, message, wParam, lParam, limit, &result);
    return result;
  }
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return 0;
  std::shared_ptr<ThreadQueue> self = system.CurrentQueue();
  if (record->queue == self) {
    WNDPROC proc = record->proc;
    system.Unlock();
    *delivered = true;
    return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
  }
  std::shared_ptr<ThreadQueue> target = record->queue;
  if ((record->destroying && !allowDestroying) || target->dead_) return 0;
  auto item = std::make_shared<SentMessage>();
  item->hwnd = window;
  item->message = message;
  item->wParam = wParam;
  item->lParam = lParam;
  item->sender = self;
  target->sent_.push_back(item);
  target->wake_.notify_all();
  const uint64_t deadline =
      timeoutMs == kNoDeadline ? kNoDeadline : CurrentClock().NowMs() + timeoutMs;
  for (;;) {
    // Messages sent to this thread meanwhile are handled here, so two
    // threads that send to each other both go on.
    system.HandleSentMessages(*self);
    if (item->done) break;
    if (deadline != kNoDeadline && CurrentClock().NowMs() >= deadline) {
      item->abandoned = true;
      if (!item->started) {
        auto& sent = target->sent_;
        sent.erase(std::remove(sent.begin(), sent.end(), item), sent.end());
      }
      SetLastError(ERROR_TIMEOUT);
      return 0;
    }
    system.Wait(*self, deadline);
  }
  *delivered = item->delivered;
  return item->result;
}

bool PostLocked(LockedWindowSystem& system, HWND window, UINT message, WPARAM wParam,
                LPARAM lParam) {
  std::shared_ptr<ThreadQueue> queue;
  if (window == nullptr) {
    queue = system.CurrentQueue();
  } else {
    WindowRecord* record = system.Find(window);
    if (record == nullptr || record->destroying) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return false;
    }
    queue = record->queue;
  }
  if (queue->dead_) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  if (queue->posted_.size() >= kMaxPostedMessages) {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return false;
  }
  queue->posted_.push_back(MSG{window, message, wParam, lParam, GetTickCount(), {}});
  queue->wake_.notify_all();
  return true;
}

void WaitForQueueRealTime(int timeoutMs) {
  LockedWindowSystem system;
  std::shared_ptr<ThreadQueue> queue = system.CurrentQueue();
  if (!queue->sent_.empty() || !queue->posted_.empty() || queue->quitPending_ ||
      queue->paintPending_ > 0) {
    return;
  }
  system.WaitRealTime(*queue, timeoutMs);
}

bool WaitForSentMessage(DWORD threadId, int timeoutMs) {
  LockedWindowSystem system;
  std::shared_ptr<ThreadQueue> queue = system.QueueOfThread(threadId);
  if (queue == nullptr) return false;
  // The predicate runs with the lock held, inside the wait.
  return system.WaitRealTimeUntil(*queue, timeoutMs, [&]() NO_THREAD_SAFETY_ANALYSIS {
    return !queue->sent_.empty();
  });
}

}  // namespace detail

BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  int result = detail::RetrieveMessage(msg, window, filterMin, filterMax, PM_REMOVE, true, nullptr);
  if (result < 0) return -1;
  return msg->message == WM_QUIT ? 0 : 1;
}

BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (msg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return detail::RetrieveMessage(msg, window, filterMin, filterMax, removeFlags, false, nullptr) ==
                 1
             ? TRUE
             : FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (msg == nullptr || msg->message != WM_KEYDOWN) return FALSE;
  WCHAR typed = CharOfKey(msg->wParam);
  if (typed == 0) return FALSE;
  LockedWindowSystem system;
  std::shared_ptr<ThreadQueue> queue = system.CurrentQueue();
  queue->posted_.push_front(MSG{msg->hwnd, WM_CHAR, typed, msg->lParam, msg->time, msg->pt});
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (msg == nullptr) return 0;
  LockedWindowSystem system;
  std::shared_ptr<ThreadQueue> queue = system.CurrentQueue();
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    // Only a timer that exists with this procedure is called: a posted
    // WM_TIMER cannot make the thread jump to an address of its choice.
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    auto& timers = queue->timers_;
    bool known = std::any_of(timers.begin(), timers.end(), [&](const TimerEntry& timer) {
      return timer.hwnd == msg->hwnd && timer.id == msg->wParam && timer.proc == proc;
    });
    if (!known) return 0;
    system.Unlock();
    proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  if (msg->hwnd == nullptr) return 0;
  WindowRecord* record = system.Find(msg->hwnd);
  if (record == nullptr || record->queue != queue || record->proc == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  WNDPROC proc = record->proc;
  const uint64_t paintGeneration = record->paintGeneration;
  system.Unlock();
  LRESULT result = proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  if (msg->message == WM_PAINT) {
    // A procedure that neither painted nor invalidated again would get
    // WM_PAINT forever.
    system.Lock();
    record = system.Find(msg->hwnd);
    if (record != nullptr && record->paintGeneration == paintGeneration) {
      system.ClearUpdate(*record);
    }
  }
  return result;
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == HWND_BROADCAST) return detail::BroadcastMessage(message, wParam, lParam, false) != 0;
  if (detail::IsRemoteHandle(window)) {
    if (detail::PeerLink::Post(window, message, wParam, lParam)) return TRUE;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  LockedWindowSystem system;
  return detail::PostLocked(system, window, message, wParam, lParam) ? TRUE : FALSE;
}

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  LockedWindowSystem system;
  std::shared_ptr<ThreadQueue> queue = system.QueueOfThread(threadId);
  if (!queue) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  if (queue->posted_.size() >= kMaxPostedMessages) {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return FALSE;
  }
  queue->posted_.push_back(MSG{nullptr, message, wParam, lParam, GetTickCount(), {}});
  queue->wake_.notify_all();
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  LockedWindowSystem system;
  std::shared_ptr<ThreadQueue> queue = system.CurrentQueue();
  queue->quitPending_ = true;
  queue->quitCode_ = exitCode;
  queue->wake_.notify_all();
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool delivered = false;
  return detail::SendMessageInternal(window, message, wParam, lParam, kNoDeadline, false,
                                     &delivered);
}

LRESULT SendMessageTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           UINT /*flags*/, UINT timeoutMs, DWORD_PTR* result) {
  bool delivered = false;
  LRESULT value =
      detail::SendMessageInternal(window, message, wParam, lParam, timeoutMs, false, &delivered);
  if (result != nullptr) *result = static_cast<DWORD_PTR>(value);
  return delivered ? TRUE : FALSE;
}

BOOL InSendMessage() {
  LockedWindowSystem system;
  return system.CurrentQueue()->handling_.empty() ? FALSE : TRUE;
}

BOOL ReplyMessage(LRESULT result) {
  LockedWindowSystem system;
  auto& handling = system.CurrentQueue()->handling_;
  if (handling.empty() || handling.back()->done) return FALSE;
  system.Complete(*handling.back(), result, true);
  return TRUE;
}

}  // namespace ce
