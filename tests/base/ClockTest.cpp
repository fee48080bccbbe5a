#include "platform/base/Clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/base/Handles.h"
#include "platform/base/Thread.h"
#include "platform/base/VirtualClock.h"
#include "platform/testing/TestSupport.h"

namespace ce {
namespace {

using testing::ScopedVirtualClock;

TEST(ClockTest, SleepWakesAtItsDeadlineNotBefore) {
  ScopedVirtualClock clock(5000);
  std::atomic<uint64_t> wokeAt{0};
  std::thread sleeper([&] {
    Sleep(500);
    wokeAt = CurrentClock().NowMs();
  });
  ASSERT_TRUE(clock->WaitForWaiters(1));
  clock->Advance(499);
  // A waiter that Advance found due would have left the clock's list.
  EXPECT_EQ(clock->Waiters(), 1);
  EXPECT_EQ(wokeAt.load(), 0u);
  clock->Advance(1);
  sleeper.join();
  EXPECT_EQ(wokeAt.load(), 5500u);
  EXPECT_EQ(clock->Waiters(), 0);
}

TEST(ClockTest, AdvanceInStepsDrivesAKeepAliveLoop) {
  ScopedVirtualClock clock;
  std::atomic<int> sleeps{0};
  HANDLE stop = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  std::thread keepAlive([&] {
    for (int i = 0; i < 599; ++i) {
      Sleep(1000);
      sleeps.fetch_add(1);
    }
    // Blocks on the clock again, as the real loop does before its next round.
    WaitForSingleObject(stop, INFINITE);
  });
  ASSERT_TRUE(clock->WaitForWaiters(1));
  clock->AdvanceInSteps(598 * 1000, 1000);
  EXPECT_EQ(sleeps.load(), 598);
  clock->AdvanceInSteps(999, 1000);
  EXPECT_EQ(sleeps.load(), 598);
  clock->AdvanceInSteps(1, 1000);
  EXPECT_EQ(sleeps.load(), 599);
  SetEvent(stop);
  keepAlive.join();
  CloseHandle(stop);
}

TEST(ClockTest, TickCountIsTheLow32BitsAndWraps) {
  ScopedVirtualClock clock(0xFFFFFFFFull - 5);
  DWORD before = GetTickCount();
  EXPECT_EQ(before, 0xFFFFFFFAu);
  clock->Advance(10);
  DWORD after = GetTickCount();
  EXPECT_EQ(after, 4u);
  EXPECT_EQ(after - before, 10u);  // elapsed time in DWORD arithmetic survives the wrap
}

TEST(ClockTest, VirtualLocalTimeMovesWithTheClockAcrossDaysMonthsAndYears) {
  struct Case {
    SYSTEMTIME start;
    uint64_t advanceMs;
    SYSTEMTIME expected;
  };
  // Fields: year, month, day of week, day, hour, minute, second, ms.
  const Case cases[] = {
      {{2010, 12, 5, 31, 23, 59, 59, 500}, 1000, {2011, 1, 6, 1, 0, 0, 0, 500}},
      {{2011, 2, 1, 28, 23, 0, 0, 0}, 3600 * 1000, {2011, 3, 2, 1, 0, 0, 0, 0}},
      {{2012, 2, 2, 28, 23, 0, 0, 0}, 3600 * 1000, {2012, 2, 3, 29, 0, 0, 0, 0}},
      {{2010, 1, 5, 1, 10, 20, 30, 0}, 45 * 60 * 1000 + 999, {2010, 1, 5, 1, 11, 5, 30, 999}},
  };
  for (const Case& c : cases) {
    ScopedVirtualClock clock;
    clock->SetLocalTime(c.start);
    clock->Advance(c.advanceMs);
    SYSTEMTIME now;
    GetLocalTime(&now);
    SCOPED_TRACE(::testing::Message() << c.start.wYear << "-" << c.start.wMonth << "-" << c.start.wDay);
    EXPECT_EQ(now.wYear, c.expected.wYear);
    EXPECT_EQ(now.wMonth, c.expected.wMonth);
    EXPECT_EQ(now.wDay, c.expected.wDay);
    EXPECT_EQ(now.wDayOfWeek, c.expected.wDayOfWeek);
    EXPECT_EQ(now.wHour, c.expected.wHour);
    EXPECT_EQ(now.wMinute, c.expected.wMinute);
    EXPECT_EQ(now.wSecond, c.expected.wSecond);
    EXPECT_EQ(now.wMilliseconds, c.expected.wMilliseconds);
  }
}

TEST(ClockTest, TheRealClockIsBackWhenTheVirtualOneGoes) {
  {
    ScopedVirtualClock clock;
    EXPECT_EQ(&CurrentClock(), &*clock);
  }
  EXPECT_EQ(&CurrentClock(), &RealClock());
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_GE(now.wYear, 2024);
}

}  // namespace
}  // namespace ce
