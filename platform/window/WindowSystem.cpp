#include "platform/window/detail/WindowSystem.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "platform/base/Clock.h"
#include "platform/base/Thread.h"
#include "platform/window/detail/DeviceWindowTable.h"

namespace ce::detail {
namespace {

constexpr uint32_t kFirstSerial = 0x10000;  // below lie the special handle values
constexpr uint32_t kPidMask = 0x3FFFFF;     // pids stay below 2^22 on Linux

uint32_t RandomBits() {
  std::random_device device;
  return device();
}

}  // namespace

WindowSystemMutex windowSystemMutex;

// The state of the window system; only LockedWindowSystem reaches it.
class WindowSystemState {
 public:
  static WindowSystemState& Get() {
    // Never destroyed: threads and the socket listener may outlive static
    // destruction at exit.
    static WindowSystemState* state = new WindowSystemState;
    return *state;
  }

  // Set once, before any handle is made.
  const uint32_t processKey;

 private:
  friend class LockedWindowSystem;

  WindowSystemState()
      : processKey(MakeProcessKey()), nextSerial_(kFirstSerial + (RandomBits() & 0x0FFFFFFF)) {}

  static uint32_t MakeProcessKey() {
    // The process key is machine-unique among live processes (it holds the
    // pid); the random bits keep a reused pid from giving the same key.
    uint32_t key = (static_cast<uint32_t>(getpid()) & kPidMask) | ((RandomBits() & 0x1FF) << 22);
    return key != 0 ? key : 1;
  }

  uint32_t nextSerial_ GUARDED_BY(windowSystemMutex);
  std::unordered_map<uint32_t, std::unique_ptr<WindowRecord>> windows_
      GUARDED_BY(windowSystemMutex);
  std::vector<HWND> topLevel_ GUARDED_BY(windowSystemMutex);  // z-order, top first
  std::vector<std::shared_ptr<WindowClassRecord>> classes_ GUARDED_BY(windowSystemMutex);
  ATOM nextAtom_ GUARDED_BY(windowSystemMutex) = 0xC000;
  std::unordered_map<DWORD, std::weak_ptr<ThreadQueue>> queues_ GUARDED_BY(windowSystemMutex);
  HWND focus_ GUARDED_BY(windowSystemMutex) = nullptr;
  HWND active_ GUARDED_BY(windowSystemMutex) = nullptr;
  HWND capture_ GUARDED_BY(windowSystemMutex) = nullptr;
  uint64_t nextTimerOrder_ GUARDED_BY(windowSystemMutex) = 1;
  UINT_PTR nextThreadTimerId_ GUARDED_BY(windowSystemMutex) = 1;
};

namespace {

// Ends the thread's queue when the thread ends.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (!queue) return;
    std::vector<std::unique_ptr<WindowRecord>> removed;
    bool topLevelChanged = false;
    {
      LockedWindowSystem system;
      removed = system.EndThread(queue);
      for (const auto& record : removed) {
        if (record->parent == nullptr) topLevelChanged = true;
      }
    }
    // Extras of other layers are deleted without the lock.
    removed.clear();
    if (topLevelChanged) PublishTopLevelWindows();
  }
};
thread_local QueueHolder currentQueue;

}  // namespace

bool IsLocalHandle(HWND window) {
  return (reinterpret_cast<uintptr_t>(window) >> 32) == ProcessKey();
}

bool IsRemoteHandle(HWND window) {
  uintptr_t key = reinterpret_cast<uintptr_t>(window) >> 32;
  return key != 0 && key < 0x80000000u && key != ProcessKey() &&
         (reinterpret_cast<uintptr_t>(window) & 0xFFFFFFFFu) >= kFirstSerial;
}

uint32_t ProcessKey() { return WindowSystemState::Get().processKey; }

LockedWindowSystem::LockedWindowSystem()
    : state_(WindowSystemState::Get()), lock_(windowSystemMutex.Native()) {}

LockedWindowSystem::~LockedWindowSystem() = default;

void LockedWindowSystem::Unlock() { lock_.unlock(); }

void LockedWindowSystem::Lock() { lock_.lock(); }

WindowRecord* LockedWindowSystem::Find(HWND window) {
  if (!IsLocalHandle(window)) return nullptr;
  auto it = state_.windows_.find(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
  return it == state_.windows_.end() ? nullptr : it->second.get();
}

WindowRecord* LockedWindowSystem::FindOrFail(HWND window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return record;
}

std::vector<WindowRecord*> LockedWindowSystem::Records() {
  std::vector<WindowRecord*> records;
  records.reserve(state_.windows_.size());
  for (auto& [serial, record] : state_.windows_) records.push_back(record.get());
  return records;
}

void LockedWindowSystem::InsertRecord(std::unique_ptr<WindowRecord> record) {
  const auto serial = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record->handle));
  state_.windows_[serial] = std::move(record);
}

std::vector<HWND>& LockedWindowSystem::TopLevel() { return state_.topLevel_; }
HWND LockedWindowSystem::Focus() { return state_.focus_; }
void LockedWindowSystem::SetFocus(HWND window) { state_.focus_ = window; }
HWND LockedWindowSystem::Active() { return state_.active_; }
void LockedWindowSystem::SetActive(HWND window) { state_.active_ = window; }
HWND LockedWindowSystem::Capture() { return state_.capture_; }
void LockedWindowSystem::SetCapture(HWND window) { state_.capture_ = window; }

std::vector<std::shared_ptr<WindowClassRecord>>& LockedWindowSystem::Classes() {
  return state_.classes_;
}

ATOM LockedWindowSystem::TakeAtom() {
  if (state_.nextAtom_ == 0xFFFF) return 0;
  return state_.nextAtom_++;
}

UINT_PTR LockedWindowSystem::TakeThreadTimerId() {
  UINT_PTR id = state_.nextThreadTimerId_++;
  if (state_.nextThreadTimerId_ == 0) state_.nextThreadTimerId_ = 1;
  return id;
}

uint64_t LockedWindowSystem::TakeTimerOrder() { return state_.nextTimerOrder_++; }

HWND LockedWindowSystem::NewHandle() {
  for (;;) {
    uint32_t serial = state_.nextSerial_;
    state_.nextSerial_ = state_.nextSerial_ == 0xFFFFFFFFu ? kFirstSerial : state_.nextSerial_ + 1;
    if (state_.windows_.count(serial) == 0) {
      return reinterpret_cast<HWND>((static_cast<uintptr_t>(state_.processKey) << 32) | serial);
    }
  }
}

std::shared_ptr<ThreadQueue> LockedWindowSystem::CurrentQueue() {
  if (!currentQueue.queue) {
    currentQueue.queue = std::make_shared<ThreadQueue>(GetCurrentThreadId());
    state_.queues_[currentQueue.queue->threadId_] = currentQueue.queue;
  }
  return currentQueue.queue;
}

std::shared_ptr<ThreadQueue> LockedWindowSystem::QueueOfThread(DWORD threadId) {
  auto it = state_.queues_.find(threadId);
  if (it == state_.queues_.end()) return nullptr;
  auto queue = it->second.lock();
  return queue && !queue->dead_ ? queue : nullptr;
}

void LockedWindowSystem::CollectSubtree(HWND window, std::vector<HWND>* out) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return;
  out->push_back(window);
  for (HWND child : record->children) CollectSubtree(child, out);
}

bool LockedWindowSystem::IsAncestor(HWND ancestor, HWND window) {
  for (WindowRecord* record = Find(window); record != nullptr; record = Find(record->parent)) {
    if (record->parent == ancestor) return true;
  }
  return false;
}

bool LockedWindowSystem::IsVisible(HWND window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  for (; record != nullptr; record = Find(record->parent)) {
    if ((record->style & WS_VISIBLE) == 0) return false;
  }
  return true;
}

HWND LockedWindowSystem::RootOf(HWND window) {
  WindowRecord* record = Find(window);
  while (record != nullptr && record->parent != nullptr) {
    WindowRecord* parent = Find(record->parent);
    if (parent == nullptr) break;
    record = parent;
  }
  return record != nullptr ? record->handle : nullptr;
}

void LockedWindowSystem::Complete(SentMessage& item, LRESULT result, bool delivered) {
  if (item.done) return;
  item.done = true;
  item.result = result;
  item.delivered = delivered;
  if (item.sender) item.sender->wake_.notify_all();
  if (item.onDone) {
    auto onDone = std::move(item.onDone);
    onDone(result, delivered);
  }
}

void LockedWindowSystem::CancelSendsTo(ThreadQueue& queue, const std::vector<HWND>& windows) {
  auto& sent = queue.sent_;
  for (auto it = sent.begin(); it != sent.end();) {
    SentMessage& item = **it;
    if (!item.task && std::find(windows.begin(), windows.end(), item.hwnd) != windows.end()) {
      Complete(item, 0, false);
      it = sent.erase(it);
    } else {
      ++it;
    }
  }
}

// The lock is let go of through lock_ itself: the analysis sees this view's
// own unlocking only at its callers.
bool LockedWindowSystem::HandleSentMessages(ThreadQueue& queue) {
  bool any = false;
  while (!queue.sent_.empty()) {
    std::shared_ptr<SentMessage> item = queue.sent_.front();
    queue.sent_.pop_front();
    if (item->abandoned || item->done) continue;
    item->started = true;
    any = true;
    if (item->task) {
      auto task = std::move(item->task);
      lock_.unlock();
      task();
      lock_.lock();
      Complete(*item, 0, true);
      continue;
    }
    WindowRecord* record = Find(item->hwnd);
    if (record == nullptr || record->queue.get() != &queue || record->proc == nullptr) {
      Complete(*item, 0, false);
      continue;
    }
    WNDPROC proc = record->proc;
    queue.handling_.push_back(item);
    HWND hwnd = item->hwnd;
    UINT message = item->message;
    WPARAM wParam = item->wParam;
    LPARAM lParam = item->lParam;
    lock_.unlock();
    LRESULT result = proc(hwnd, message, wParam, lParam);
    lock_.lock();
    queue.handling_.pop_back();
    Complete(*item, result, true);
  }
  return any;
}

void LockedWindowSystem::Wait(ThreadQueue& queue, uint64_t deadlineMs) {
  CurrentClock().WaitUntil(lock_, queue.wake_, deadlineMs);
}

void LockedWindowSystem::WaitRealTime(ThreadQueue& queue, int timeoutMs) {
  queue.wake_.wait_for(lock_, std::chrono::milliseconds(timeoutMs));
}

bool LockedWindowSystem::WaitRealTimeUntil(ThreadQueue& queue, int timeoutMs,
                                           const std::function<bool()>& done) {
  return queue.wake_.wait_for(lock_, std::chrono::milliseconds(timeoutMs), done);
}

bool LockedWindowSystem::PostTask(HWND window, std::function<void()> task) {
  WindowRecord* record = Find(window);
  if (record == nullptr || record->destroying || record->queue->dead_) return false;
  auto item = std::make_shared<SentMessage>();
  item->hwnd = window;
  item->task = std::move(task);
  record->queue->sent_.push_back(std::move(item));
  record->queue->wake_.notify_all();
  return true;
}

bool LockedWindowSystem::SendAsync(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             std::function<void(LRESULT, bool)> onDone) {
  WindowRecord* record = Find(window);
  if (record == nullptr || record->destroying || record->queue->dead_) return false;
  auto item = std::make_shared<SentMessage>();
  item->hwnd = window;
  item->message = message;
  item->wParam = wParam;
  item->lParam = lParam;
  item->onDone = std::move(onDone);
  record->queue->sent_.push_back(std::move(item));
  record->queue->wake_.notify_all();
  return true;
}

std::unique_ptr<WindowRecord> LockedWindowSystem::RemoveRecord(HWND window) {
  auto it = state_.windows_.find(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
  if (it == state_.windows_.end() || !IsLocalHandle(window)) return nullptr;
  std::unique_ptr<WindowRecord> record = std::move(it->second);
  state_.windows_.erase(it);
  auto unlink = [window](std::vector<HWND>& list) {
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
  };
  if (WindowRecord* parent = Find(record->parent)) unlink(parent->children);
  unlink(state_.topLevel_);
  // Owned windows outlive an owner only when they were on another thread.
  for (auto& [serial, other] : state_.windows_) {
    if (other->owner == window) other->owner = nullptr;
  }
  ThreadQueue& queue = *record->queue;
  auto& timers = queue.timers_;
  timers.erase(std::remove_if(timers.begin(), timers.end(),
                              [window](const TimerEntry& t) { return t.hwnd == window; }),
               timers.end());
  auto& posted = queue.posted_;
  posted.erase(std::remove_if(posted.begin(), posted.end(),
                              [window](const MSG& m) { return m.hwnd == window; }),
               posted.end());
  if (record->paintPending) --queue.paintPending_;
  if (record->windowClass) --record->windowClass->windowCount;
  if (state_.focus_ == window) state_.focus_ = nullptr;
  if (state_.active_ == window) state_.active_ = nullptr;
  if (state_.capture_ == window) state_.capture_ = nullptr;
  return record;
}

void LockedWindowSystem::AddUpdate(WindowRecord& record, const RECT* rect, bool erase) {
  RECT client{0, 0, record.rect.right - record.rect.left, record.rect.bottom - record.rect.top};
  RECT area = client;
  if (rect != nullptr && !IntersectRect(&area, rect, &client)) return;
  if (IsRectEmpty(&area)) return;
  if (!record.paintPending) {
    record.paintPending = true;
    record.update = area;
    ++record.queue->paintPending_;
  } else {
    RECT merged;
    UnionRect(&merged, &record.update, &area);
    record.update = merged;
  }
  record.erasePending = record.erasePending || erase;
  ++record.paintGeneration;
  record.queue->wake_.notify_all();
}

void LockedWindowSystem::ClearUpdate(WindowRecord& record) {
  if (!record.paintPending) return;
  record.paintPending = false;
  record.erasePending = false;
  record.update = RECT{};
  --record.queue->paintPending_;
  ++record.paintGeneration;
}

std::vector<std::unique_ptr<WindowRecord>> LockedWindowSystem::EndThread(
    const std::shared_ptr<ThreadQueue>& queue) {
  std::vector<std::unique_ptr<WindowRecord>> removed;
  queue->dead_ = true;
  for (auto& item : queue->sent_) Complete(*item, 0, false);
  queue->sent_.clear();
  queue->posted_.clear();
  queue->timers_.clear();
  std::vector<HWND> roots;
  for (auto& [serial, record] : state_.windows_) {
    if (record->queue == queue) roots.push_back(record->handle);
  }
  for (HWND root : roots) {
    std::vector<HWND> subtree;
    CollectSubtree(root, &subtree);
    for (HWND window : subtree) {
      WindowRecord* record = Find(window);
      record->destroying = true;
      CancelSendsTo(*record->queue, {window});
    }
    // Children first, so that each unlinks from a parent that still exists.
    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
      if (auto record = RemoveRecord(*it)) removed.push_back(std::move(record));
    }
  }
  auto it = state_.queues_.find(queue->threadId_);
  if (it != state_.queues_.end() && it->second.lock() == queue) state_.queues_.erase(it);
  return removed;
}

}  // namespace ce::detail
