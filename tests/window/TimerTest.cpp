// Timers on the virtual clock.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Message.h"
#include "platform/window/Timer.h"

namespace ce {
namespace {

using testing::TestWindow;

struct Tick {
  UINT_PTR id;
  uint64_t atMs;
  bool operator==(const Tick&) const = default;
};

std::vector<Tick>* threadTicks = nullptr;

void ThreadTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  threadTicks->push_back({id + 1000, CurrentClock().NowMs()});
}

class TimerTest : public ::testing::Test {
 protected:
  TimerTest()
      : window_([this](HWND w, UINT m, WPARAM wp, LPARAM lp) {
          if (m == WM_TIMER) ticks_.push_back({wp, CurrentClock().NowMs()});
          return DefWindowProc(w, m, wp, lp);
        }) {
    threadTicks = &ticks_;
  }
  ~TimerTest() override { threadTicks = nullptr; }

  testing::TempDeviceRoot device_;
  testing::ScopedVirtualClock clock_{0};
  std::vector<Tick> ticks_;
  TestWindow window_;
};

TEST_F(TimerTest, TimersFireInDueOrderAndSettingAgainRestarts) {
  SetTimer(window_, 1, 300, nullptr);
  SetTimer(window_, 2, 200, nullptr);
  UINT_PTR threadTimer = SetTimer(nullptr, 0, 250, ThreadTimerProc);
  ASSERT_NE(threadTimer, 0u);
  testing::AdvanceClockAndPump(*clock_, 650);
  std::vector<Tick> expected = {{2, 200}, {threadTimer + 1000, 250}, {1, 300}, {2, 400},
                                {threadTimer + 1000, 500}, {1, 600}, {2, 600}};
  EXPECT_EQ(ticks_, expected);

  ticks_.clear();
  KillTimer(nullptr, threadTimer);
  SetTimer(window_, 1, 300, nullptr);  // restarts: next at 950, not 900
  testing::AdvanceClockAndPump(*clock_, 350);
  expected = {{2, 800}, {1, 950}, {2, 1000}};
  EXPECT_EQ(ticks_, expected);

  ticks_.clear();
  EXPECT_TRUE(KillTimer(window_, 2));
  EXPECT_FALSE(KillTimer(window_, 2));
  testing::AdvanceClockAndPump(*clock_, 300);
  EXPECT_EQ(ticks_, (std::vector<Tick>{{1, 1250}}));
}

TEST_F(TimerTest, AnOverdueTimerFiresOnceAndYieldsToPostedMessages) {
  SetTimer(window_, 5, 100, nullptr);
  clock_->Advance(1000);  // ten periods pass without a pump
  PostMessage(window_, WM_USER, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.wParam, 5u);
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));  // next period from now
  EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234)), 1, 10, nullptr), 0u);
}

TEST_F(TimerTest, AThreadWaitingInGetMessageWakesForItsTimer) {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<uint64_t> seen;
  std::thread worker([&] {
    TestWindow window([&](HWND w, UINT m, WPARAM wp, LPARAM lp) {
      if (m == WM_TIMER) {
        std::lock_guard lock(mutex);
        seen.push_back(CurrentClock().NowMs());
        changed.notify_all();
        if (seen.size() == 2) PostQuitMessage(0);
      }
      return DefWindowProc(w, m, wp, lp);
    });
    SetTimer(window, 1, 1000, nullptr);
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) DispatchMessage(&msg);
  });
  for (size_t tick = 1; tick <= 2; ++tick) {
    ASSERT_TRUE(clock_->WaitForWaiters(1));  // the worker waits for its timer
    clock_->Advance(999);
    {
      std::lock_guard lock(mutex);
      EXPECT_EQ(seen.size(), tick - 1);
    }
    clock_->Advance(1);
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(5), [&] { return seen.size() == tick; }));
  }
  worker.join();
  EXPECT_EQ(seen, (std::vector<uint64_t>{1000, 2000}));
}

}  // namespace
}  // namespace ce
