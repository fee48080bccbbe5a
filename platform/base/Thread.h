// Threads with the platform's priorities, critical sections, events and
// interlocked counters. Waits go through the process clock.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "platform/base/Clock.h"
#include "platform/base/Types.h"

namespace ce {

// Priorities 0 (highest) to 7 (idle). 7 maps to SCHED_IDLE on the host;
// the others run at the host's normal policy.
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 0;
constexpr int THREAD_PRIORITY_HIGHEST = 1;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 2;
constexpr int THREAD_PRIORITY_NORMAL = 3;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = 4;
constexpr int THREAD_PRIORITY_LOWEST = 5;
constexpr int THREAD_PRIORITY_ABOVE_IDLE = 6;
constexpr int THREAD_PRIORITY_IDLE = 7;

// GetThreadPriority's answer for a handle that is not a thread.
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

constexpr DWORD CREATE_SUSPENDED = 0x4;
// GetExitCodeThread's code while the thread runs.
constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);

// Starts a thread (CREATE_SUSPENDED holds it until ResumeThread). The handle
// is waitable (signalled when the thread ends) and closed with CloseHandle;
// closing it does not stop the thread.
HANDLE CreateThread(void* security, DWORD stackSize, LPTHREAD_START_ROUTINE start,
                    void* parameter, DWORD flags, DWORD* threadId);
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);
DWORD ResumeThread(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
DWORD GetCurrentThreadId();
// A pseudo handle for the calling thread (for SetThreadPriority).
HANDLE GetCurrentThread();

// Recursive lock, as the platform's critical section.
struct CRITICAL_SECTION {
  void* impl = nullptr;
};
void InitializeCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
BOOL TryEnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);

// Owning C++ form of a critical section, with a scoped guard.
class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  void Enter() { EnterCriticalSection(&section_); }
  bool TryEnter() { return TryEnterCriticalSection(&section_) != FALSE; }
  void Leave() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class CriticalSectionLock {
 public:
  explicit CriticalSectionLock(CriticalSection& section) : section_(section) { section_.Enter(); }
  ~CriticalSectionLock() { section_.Leave(); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

 private:
  CriticalSection& section_;
};

// Events: manual-reset stay signalled until reset; auto-reset release one
// waiter and reset themselves.
HANDLE CreateEvent(void* security, BOOL manualReset, BOOL initialState, LPCWSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// Waits for an event or a thread handle; the time-out runs on the process clock.
DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs);

LONG InterlockedIncrement(LONG volatile* value);
LONG InterlockedDecrement(LONG volatile* value);
LONG InterlockedExchange(LONG volatile* value, LONG newValue);

}  // namespace ce
