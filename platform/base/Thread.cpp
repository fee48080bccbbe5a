#include "platform/base/Thread.h"

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "platform/base/detail/HandleTable.h"

namespace ce {
namespace {

constexpr uint64_t kNoDeadline = UINT64_MAX;

class EventObject : public detail::WaitableObject {
 public:
  EventObject(bool manualReset, bool signalled) : manualReset_(manualReset), signalled_(signalled) {}

  bool TryAcquireLocked() override {
    if (!signalled_) return false;
    if (!manualReset_) signalled_ = false;  // an auto-reset event releases one waiter
    return true;
  }

  void Set() {
    std::lock_guard lock(Mutex());
    signalled_ = true;
    Signalled().notify_all();
  }

  void Reset() {
    std::lock_guard lock(Mutex());
    signalled_ = false;
  }

 private:
  const bool manualReset_;
  bool signalled_;
};

// A thread started by CreateThread. Its fields are guarded by Mutex(); the
// thread itself holds a reference, so the state outlives the last handle.
class ThreadObject : public detail::WaitableObject {
 public:
  bool TryAcquireLocked() override { return finished; }

  pthread_t native{};
  DWORD id = 0;
  bool started = false;  // id is known
  int suspendCount = 0;
  int priority = THREAD_PRIORITY_NORMAL;
  bool finished = false;
  DWORD exitCode = STILL_ACTIVE;
};

// The CE thread object of the calling thread (null on threads that
// CreateThread did not start), and the priority of those other threads.
thread_local ThreadObject* currentThread = nullptr;
thread_local int ownPriority = THREAD_PRIORITY_NORMAL;

std::mutex namedEventsMutex;
std::map<std::u16string, std::weak_ptr<EventObject>> namedEvents;

// Priority 7 runs under SCHED_IDLE, the others under the host's normal
// policy. The host may refuse (leaving SCHED_IDLE needs a nice limit the
// process may not have); the CE priority is recorded either way.
void ApplyHostPolicy(pthread_t thread, int priority) {
  sched_param param{};
  param.sched_priority = 0;
  pthread_setschedparam(thread, priority == THREAD_PRIORITY_IDLE ? SCHED_IDLE : SCHED_OTHER, &param);
}

void RunThread(std::shared_ptr<ThreadObject> self, LPTHREAD_START_ROUTINE start, void* parameter) {
  currentThread = self.get();
  {
    std::unique_lock lock(self->Mutex());
    self->id = static_cast<DWORD>(gettid());
    self->started = true;
    self->Signalled().notify_all();
    self->Signalled().wait(lock, [&] { return self->suspendCount == 0; });
  }
  DWORD exitCode = start(parameter);
  {
    std::lock_guard lock(self->Mutex());
    self->finished = true;
    self->exitCode = exitCode;
    self->Signalled().notify_all();
  }
  currentThread = nullptr;
}

std::shared_ptr<ThreadObject> ThreadOf(HANDLE handle) {
  auto thread = detail::FindHandleAs<ThreadObject>(handle);
  if (!thread) SetLastError(ERROR_INVALID_HANDLE);
  return thread;
}

std::shared_ptr<EventObject> EventOf(HANDLE handle) {
  auto event = detail::FindHandleAs<EventObject>(handle);
  if (!event) SetLastError(ERROR_INVALID_HANDLE);
  return event;
}

std::recursive_mutex* SectionMutex(CRITICAL_SECTION* section) {
  std::atomic_ref<void*> impl(section->impl);
  void* mutex = impl.load(std::memory_order_acquire);
  if (mutex == nullptr) {
    // A section used without InitializeCriticalSection still works.
    auto* created = new std::recursive_mutex;
    void* expected = nullptr;
    if (impl.compare_exchange_strong(expected, created, std::memory_order_acq_rel)) {
      mutex = created;
    } else {
      delete created;
      mutex = expected;
    }
  }
  return static_cast<std::recursive_mutex*>(mutex);
}

LONG* Plain(LONG volatile* value) { return const_cast<LONG*>(value); }

}  // namespace

HANDLE CreateThread(void* /*security*/, DWORD /*stackSize*/, LPTHREAD_START_ROUTINE start,
                    void* parameter, DWORD flags, DWORD* threadId) {
  if (start == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto self = std::make_shared<ThreadObject>();
  self->suspendCount = (flags & CREATE_SUSPENDED) != 0 ? 1 : 0;
  std::unique_lock lock(self->Mutex());
  try {
    std::thread thread(RunThread, self, start, parameter);
    self->native = thread.native_handle();
    thread.detach();
  } catch (const std::system_error&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // The id is the host's thread id, known once the thread runs.
  self->Signalled().wait(lock, [&] { return self->started; });
  DWORD id = self->id;
  lock.unlock();
  if (threadId != nullptr) *threadId = id;
  return detail::AddHandle(self);
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
  if (priority < THREAD_PRIORITY_TIME_CRITICAL || priority > THREAD_PRIORITY_IDLE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (thread == detail::kCurrentThreadHandle) {
    if (currentThread != nullptr) {
      std::lock_guard lock(currentThread->Mutex());
      currentThread->priority = priority;
    } else {
      ownPriority = priority;
    }
    ApplyHostPolicy(pthread_self(), priority);
    return TRUE;
  }
  auto object = ThreadOf(thread);
  if (!object) return FALSE;
  std::lock_guard lock(object->Mutex());
  object->priority = priority;
  // A finished thread's pthread_t may be gone; it only keeps the number.
  if (!object->finished) ApplyHostPolicy(object->native, priority);
  return TRUE;
}

int GetThreadPriority(HANDLE thread) {
  if (thread == detail::kCurrentThreadHandle) {
    if (currentThread == nullptr) return ownPriority;
    std::lock_guard lock(currentThread->Mutex());
    return currentThread->priority;
  }
  auto object = ThreadOf(thread);
  if (!object) return THREAD_PRIORITY_ERROR_RETURN;
  std::lock_guard lock(object->Mutex());
  return object->priority;
}

DWORD ResumeThread(HANDLE thread) {
  if (thread == detail::kCurrentThreadHandle) return 0;
  auto object = ThreadOf(thread);
  if (!object) return 0xFFFFFFFFu;
  std::lock_guard lock(object->Mutex());
  int previous = object->suspendCount;
  if (previous > 0 && --object->suspendCount == 0) object->Signalled().notify_all();
  return static_cast<DWORD>(previous);
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
  if (exitCode == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (thread == detail::kCurrentThreadHandle) {
    *exitCode = STILL_ACTIVE;
    return TRUE;
  }
  auto object = ThreadOf(thread);
  if (!object) return FALSE;
  std::lock_guard lock(object->Mutex());
  *exitCode = object->finished ? object->exitCode : STILL_ACTIVE;
  return TRUE;
}

DWORD GetCurrentThreadId() { return static_cast<DWORD>(gettid()); }

HANDLE GetCurrentThread() { return detail::kCurrentThreadHandle; }

void InitializeCriticalSection(CRITICAL_SECTION* section) {
  std::atomic_ref<void*>(section->impl).store(new std::recursive_mutex, std::memory_order_release);
}

void DeleteCriticalSection(CRITICAL_SECTION* section) {
  void* mutex = std::atomic_ref<void*>(section->impl).exchange(nullptr, std::memory_order_acq_rel);
  delete static_cast<std::recursive_mutex*>(mutex);
}

void EnterCriticalSection(CRITICAL_SECTION* section) { SectionMutex(section)->lock(); }

BOOL TryEnterCriticalSection(CRITICAL_SECTION* section) {
  return SectionMutex(section)->try_lock() ? TRUE : FALSE;
}

void LeaveCriticalSection(CRITICAL_SECTION* section) { SectionMutex(section)->unlock(); }

HANDLE CreateEvent(void* /*security*/, BOOL manualReset, BOOL initialState, LPCWSTR name) {
  if (name == nullptr || *name == u'\0') {
    SetLastError(ERROR_SUCCESS);
    return detail::AddHandle(std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE));
  }
  // Named events are shared by the handles of this process that name them.
  std::lock_guard lock(namedEventsMutex);
  std::u16string key(name);
  if (auto existing = namedEvents[key].lock()) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return detail::AddHandle(existing);
  }
  std::erase_if(namedEvents, [](const auto& entry) { return entry.second.expired(); });
  auto event = std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE);
  namedEvents[key] = event;
  SetLastError(ERROR_SUCCESS);
  return detail::AddHandle(event);
}

BOOL SetEvent(HANDLE event) {
  auto object = EventOf(event);
  if (!object) return FALSE;
  object->Set();
  return TRUE;
}

BOOL ResetEvent(HANDLE event) {
  auto object = EventOf(event);
  if (!object) return FALSE;
  object->Reset();
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs) {
  auto object = detail::FindHandleAs<detail::WaitableObject>(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  Clock* clock = &CurrentClock();
  uint64_t deadline = timeoutMs == INFINITE ? kNoDeadline : clock->NowMs() + timeoutMs;
  std::unique_lock lock(object->Mutex());
  for (;;) {
    if (object->TryAcquireLocked()) return WAIT_OBJECT_0;
    if (timeoutMs == 0) return WAIT_TIMEOUT;
    bool beforeDeadline = clock->WaitUntil(lock, object->Signalled(), deadline);
    Clock* installed = &CurrentClock();
    if (installed != clock) {
      // The clock was swapped during the wait: the time-out starts over on
      // the new one.
      clock = installed;
      if (timeoutMs != INFINITE) deadline = clock->NowMs() + timeoutMs;
      continue;
    }
    if (!beforeDeadline && timeoutMs != INFINITE) {
      return object->TryAcquireLocked() ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
  }
}

LONG InterlockedIncrement(LONG volatile* value) {
  LONG previous = std::atomic_ref<LONG>(*Plain(value)).fetch_add(1);
  return static_cast<LONG>(static_cast<uint32_t>(previous) + 1u);
}

LONG InterlockedDecrement(LONG volatile* value) {
  LONG previous = std::atomic_ref<LONG>(*Plain(value)).fetch_sub(1);
  return static_cast<LONG>(static_cast<uint32_t>(previous) - 1u);
}

LONG InterlockedExchange(LONG volatile* value, LONG newValue) {
  return std::atomic_ref<LONG>(*Plain(value)).exchange(newValue);
}

}  // namespace ce
