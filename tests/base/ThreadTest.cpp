#include "platform/base/Thread.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <climits>
#include <thread>
#include <vector>

#include "platform/base/Handles.h"
#include "platform/testing/TestSupport.h"

namespace ce {
namespace {

using testing::ScopedVirtualClock;

TEST(ThreadTest, WaitsTimeOutOnTheVirtualClockAndWakeWhenSignalled) {
  ScopedVirtualClock clock;
  HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  HANDLE blocker = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  // A thread that runs until `blocker` is set, to wait on as a thread handle.
  HANDLE busy = CreateThread(
      nullptr, 0, [](void* blockerHandle) -> DWORD {
        WaitForSingleObject(static_cast<HANDLE>(blockerHandle), INFINITE);
        return 7;
      },
      blocker, 0, nullptr);
  ASSERT_NE(busy, nullptr);
  ASSERT_TRUE(clock->WaitForWaiters(1));
  for (HANDLE waited : {event, busy}) {
    std::atomic<DWORD> result{WAIT_FAILED};
    std::thread waiter([&] { result = WaitForSingleObject(waited, 300); });
    ASSERT_TRUE(clock->WaitForWaiters(2));
    clock->Advance(299);
    EXPECT_EQ(clock->Waiters(), 2);
    clock->Advance(1);
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_TIMEOUT);
  }
  // Signalled before the deadline: the wait ends without the clock moving.
  for (HANDLE waited : {event, busy}) {
    std::atomic<DWORD> result{WAIT_FAILED};
    std::thread waiter([&] { result = WaitForSingleObject(waited, 300); });
    ASSERT_TRUE(clock->WaitForWaiters(2));
    SetEvent(waited == event ? event : blocker);
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);
  }
  DWORD exitCode = 0;
  EXPECT_TRUE(GetExitCodeThread(busy, &exitCode));
  EXPECT_EQ(exitCode, 7u);
  for (HANDLE handle : {event, blocker, busy}) CloseHandle(handle);
}

TEST(ThreadTest, ManualAndAutoResetEvents) {
  HANDLE manual = CreateEvent(nullptr, TRUE, TRUE, nullptr);
  HANDLE automatic = CreateEvent(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);  // stays signalled
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);  // released one waiter
  EXPECT_TRUE(ResetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
  // Named events of the process are one object.
  HANDLE named = CreateEvent(nullptr, TRUE, FALSE, u"ZolfaReady");
  HANDLE again = CreateEvent(nullptr, TRUE, FALSE, u"ZolfaReady");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  SetEvent(named);
  EXPECT_EQ(WaitForSingleObject(again, 0), WAIT_OBJECT_0);
  for (HANDLE handle : {manual, automatic, named, again}) EXPECT_TRUE(CloseHandle(handle));
  // Stale handles fail cleanly.
  EXPECT_FALSE(SetEvent(manual));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
}

TEST(ThreadTest, SuspendedThreadRunsAfterResumeAndReportsItsExitCode) {
  static std::atomic<bool> ran;
  ran = false;
  DWORD id = 0;
  HANDLE thread = CreateThread(
      nullptr, 0, [](void*) -> DWORD {
        ran = true;
        return 42;
      },
      nullptr, CREATE_SUSPENDED, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  DWORD exitCode = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
  EXPECT_EQ(exitCode, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
  EXPECT_FALSE(ran.load());
  EXPECT_EQ(ResumeThread(thread), 1u);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_TRUE(ran.load());
  EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
  EXPECT_EQ(exitCode, 42u);
  EXPECT_EQ(ResumeThread(thread), 0u);
  EXPECT_TRUE(CloseHandle(thread));
  EXPECT_FALSE(GetExitCodeThread(thread, &exitCode));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// What a thread saw of its own scheduling.
struct Observed {
  int cePriority = -1;
  int policy = -1;
  int pthreadPolicy = -1;
};

DWORD ObserveScheduling(void* out) {
  auto* observed = static_cast<Observed*>(out);
  observed->cePriority = GetThreadPriority(GetCurrentThread());
  observed->policy = sched_getscheduler(0);
  sched_param param{};
  pthread_getschedparam(pthread_self(), &observed->pthreadPolicy, &param);
  return 0;
}

TEST(ThreadTest, IdlePriorityRunsUnderSchedIdle) {
  for (int priority : {THREAD_PRIORITY_IDLE, THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_IDLE}) {
    SCOPED_TRACE(priority);
    Observed observed;
    HANDLE thread = CreateThread(nullptr, 0, ObserveScheduling, &observed, CREATE_SUSPENDED, nullptr);
    ASSERT_TRUE(SetThreadPriority(thread, priority));
    EXPECT_EQ(GetThreadPriority(thread), priority);
    ResumeThread(thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    int expected = priority == THREAD_PRIORITY_IDLE ? SCHED_IDLE : SCHED_OTHER;
    EXPECT_EQ(observed.cePriority, priority);
    EXPECT_EQ(observed.policy, expected);
    EXPECT_EQ(observed.pthreadPolicy, expected);
  }
  // A thread lowering itself; going back up may be refused by the host,
  // which must not fail the call.
  std::thread self([] {
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE));
    EXPECT_EQ(sched_getscheduler(0), SCHED_IDLE);
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
  });
  self.join();
  EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 8));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(ThreadTest, CriticalSectionsAreRecursiveAndExclusive) {
  CriticalSection section;
  section.Enter();
  section.Enter();
  auto tryFromOtherThread = [&] {
    bool entered = false;
    std::thread other([&] {
      entered = section.TryEnter();
      if (entered) section.Leave();
    });
    other.join();
    return entered;
  };
  EXPECT_FALSE(tryFromOtherThread());
  section.Leave();
  EXPECT_FALSE(tryFromOtherThread());
  section.Leave();
  EXPECT_TRUE(tryFromOtherThread());
}

TEST(ThreadTest, InterlockedCountersLoseNothingAndWrap) {
  LONG counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 10000; ++i) {
        InterlockedIncrement(&counter);
        InterlockedIncrement(&counter);
        InterlockedDecrement(&counter);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 40000);
  EXPECT_EQ(InterlockedExchange(&counter, 5), 40000);
  LONG top = INT_MAX;
  EXPECT_EQ(InterlockedIncrement(&top), INT_MIN);
  EXPECT_EQ(InterlockedDecrement(&top), INT_MAX);
}

}  // namespace
}  // namespace ce
