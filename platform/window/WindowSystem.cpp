#include "platform/window/detail/WindowSystem.h"

#include <unistd.h>

#include <algorithm>
#include <random>

#include "platform/base/Clock.h"
#include "platform/base/Thread.h"
#include "platform/window/detail/DeviceWindowTable.h"

namespace ce::detail {
namespace {

constexpr uint32_t kFirstSerial = 0x10000;  // below lie the special handle values
constexpr uint32_t kPidMask = 0x3FFFFF;     // pids stay below 2^22 on Linux

// Ends the thread's queue when the thread ends.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (queue) WindowSystem::Get().ThreadEnded(queue);
  }
};
thread_local QueueHolder currentQueue;

uint32_t RandomBits() {
  std::random_device device;
  return device();
}

}  // namespace

WindowSystem& WindowSystem::Get() {
  // Never destroyed: threads and the socket listener may outlive static
  // destruction at exit.
  static WindowSystem* system = new WindowSystem;
  return *system;
}

WindowSystem::WindowSystem() {
  // The process key is machine-unique among live processes (it holds the
  // pid); the random bits keep a reused pid from giving the same key.
  processKey_ = (static_cast<uint32_t>(getpid()) & kPidMask) | ((RandomBits() & 0x1FF) << 22);
  if (processKey_ == 0) processKey_ = 1;
  nextSerial_ = kFirstSerial + (RandomBits() & 0x0FFFFFFF);
}

bool WindowSystem::IsLocalHandle(HWND window) const {
  return (reinterpret_cast<uintptr_t>(window) >> 32) == processKey_;
}

bool WindowSystem::IsRemoteHandle(HWND window) const {
  uintptr_t key = reinterpret_cast<uintptr_t>(window) >> 32;
  return key != 0 && key < 0x80000000u && key != processKey_ &&
         (reinterpret_cast<uintptr_t>(window) & 0xFFFFFFFFu) >= kFirstSerial;
}

WindowRecord* WindowSystem::Find(HWND window) {
  if (!IsLocalHandle(window)) return nullptr;
  auto it = windows_.find(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
  return it == windows_.end() ? nullptr : it->second.get();
}

WindowRecord* WindowSystem::FindOrFail(HWND window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return record;
}

HWND WindowSystem::NewHandle() {
  for (;;) {
    uint32_t serial = nextSerial_;
    nextSerial_ = nextSerial_ == 0xFFFFFFFFu ? kFirstSerial : nextSerial_ + 1;
    if (windows_.count(serial) == 0) {
      return reinterpret_cast<HWND>((static_cast<uintptr_t>(processKey_) << 32) | serial);
    }
  }
}

std::shared_ptr<ThreadQueue> WindowSystem::CurrentQueue() {
  if (!currentQueue.queue) {
    currentQueue.queue = std::make_shared<ThreadQueue>(GetCurrentThreadId());
    queues_[currentQueue.queue->threadId_] = currentQueue.queue;
  }
  return currentQueue.queue;
}

std::shared_ptr<ThreadQueue> WindowSystem::QueueOfThread(DWORD threadId) {
  auto it = queues_.find(threadId);
  if (it == queues_.end()) return nullptr;
  auto queue = it->second.lock();
  return queue && !queue->dead_ ? queue : nullptr;
}

void WindowSystem::CollectSubtree(HWND window, std::vector<HWND>* out) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return;
  out->push_back(window);
  for (HWND child : record->children) CollectSubtree(child, out);
}

bool WindowSystem::IsAncestor(HWND ancestor, HWND window) {
  for (WindowRecord* record = Find(window); record != nullptr; record = Find(record->parent)) {
    if (record->parent == ancestor) return true;
  }
  return false;
}

bool WindowSystem::IsVisibleLocked(HWND window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return false;
  for (; record != nullptr; record = Find(record->parent)) {
    if ((record->style & WS_VISIBLE) == 0) return false;
  }
  return true;
}

HWND WindowSystem::RootOf(HWND window) {
  WindowRecord* record = Find(window);
  while (record != nullptr && record->parent != nullptr) {
    WindowRecord* parent = Find(record->parent);
    if (parent == nullptr) break;
    record = parent;
  }
  return record != nullptr ? record->handle : nullptr;
}

void WindowSystem::Complete(SentMessage& item, LRESULT result, bool delivered) {
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

void WindowSystem::CancelSendsTo(ThreadQueue& queue, const std::vector<HWND>& windows) {
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

bool WindowSystem::HandleSentMessages(std::unique_lock<std::mutex>& lock, ThreadQueue& queue) {
  bool any = false;
  while (!queue.sent_.empty()) {
    std::shared_ptr<SentMessage> item = queue.sent_.front();
    queue.sent_.pop_front();
    if (item->abandoned || item->done) continue;
    item->started = true;
    any = true;
    if (item->task) {
      auto task = std::move(item->task);
      lock.unlock();
      task();
      lock.lock();
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
    lock.unlock();
    LRESULT result = proc(item->hwnd, item->message, item->wParam, item->lParam);
    lock.lock();
    queue.handling_.pop_back();
    Complete(*item, result, true);
  }
  return any;
}

void WindowSystem::Wait(std::unique_lock<std::mutex>& lock, ThreadQueue& queue,
                        uint64_t deadlineMs) {
  CurrentClock().WaitUntil(lock, queue.wake_, deadlineMs);
}

bool WindowSystem::PostTask(HWND window, std::function<void()> task) {
  WindowRecord* record = Find(window);
  if (record == nullptr || record->destroying || record->queue->dead_) return false;
  auto item = std::make_shared<SentMessage>();
  item->hwnd = window;
  item->task = std::move(task);
  record->queue->sent_.push_back(std::move(item));
  record->queue->wake_.notify_all();
  return true;
}

bool WindowSystem::SendAsync(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
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

std::unique_ptr<WindowRecord> WindowSystem::RemoveRecord(HWND window) {
  auto it = windows_.find(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
  if (it == windows_.end() || !IsLocalHandle(window)) return nullptr;
  std::unique_ptr<WindowRecord> record = std::move(it->second);
  windows_.erase(it);
  auto unlink = [window](std::vector<HWND>& list) {
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
  };
  if (WindowRecord* parent = Find(record->parent)) unlink(parent->children);
  unlink(topLevel_);
  // Owned windows outlive an owner only when they were on another thread.
  for (auto& [serial, other] : windows_) {
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
  if (focus_ == window) focus_ = nullptr;
  if (active_ == window) active_ = nullptr;
  if (capture_ == window) capture_ = nullptr;
  return record;
}

void WindowSystem::AddUpdate(WindowRecord& record, const RECT* rect, bool erase) {
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

void WindowSystem::ClearUpdate(WindowRecord& record) {
  if (!record.paintPending) return;
  record.paintPending = false;
  record.erasePending = false;
  record.update = RECT{};
  --record.queue->paintPending_;
  ++record.paintGeneration;
}

void WindowSystem::ThreadEnded(const std::shared_ptr<ThreadQueue>& queue) {
  std::vector<std::unique_ptr<WindowRecord>> removed;
  bool topLevelChanged = false;
  {
    std::lock_guard lock(mutex_);
    queue->dead_ = true;
    for (auto& item : queue->sent_) Complete(*item, 0, false);
    queue->sent_.clear();
    queue->posted_.clear();
    queue->timers_.clear();
    std::vector<HWND> roots;
    for (auto& [serial, record] : windows_) {
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
        if (auto record = RemoveRecord(*it)) {
          if (record->parent == nullptr) topLevelChanged = true;
          removed.push_back(std::move(record));
        }
      }
    }
    auto it = queues_.find(queue->threadId_);
    if (it != queues_.end() && it->second.lock() == queue) queues_.erase(it);
  }
  // Extras of other layers are deleted without the lock.
  removed.clear();
  if (topLevelChanged) PublishTopLevelWindows();
}

}  // namespace ce::detail
