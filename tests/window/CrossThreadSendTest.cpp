// SendMessage between threads: blocking, re-entrancy, and windows that go
// away while a sender waits.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/Thread.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Message.h"

namespace ce {
namespace {

using testing::TestWindow;

constexpr UINT kSent = WM_USER + 1;
constexpr UINT kPosted = WM_USER + 2;
constexpr UINT kPing = WM_USER + 3;
constexpr UINT kPong = WM_USER + 4;
constexpr UINT kStall = WM_USER + 5;

// A thread that owns one window and runs its message loop until the test
// ends. `beforeLoop` runs on the thread after the window exists.
class WindowThread {
 public:
  explicit WindowThread(testing::WindowHandler handler, std::function<void(HWND)> beforeLoop = {}) {
    std::promise<HWND> created;
    auto future = created.get_future();
    thread_ = std::thread([this, handler, beforeLoop, created = std::move(created)]() mutable {
      threadId_ = GetCurrentThreadId();
      auto window = std::make_unique<TestWindow>(handler);
      created.set_value(window->Handle());
      if (beforeLoop) beforeLoop(window->Handle());
      MSG msg;
      while (GetMessage(&msg, nullptr, 0, 0) > 0) DispatchMessage(&msg);
    });
    handle_ = future.get();
  }
  ~WindowThread() {
    PostThreadMessage(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  HWND Handle() const { return handle_; }
  DWORD ThreadId() const { return threadId_; }

 private:
  std::thread thread_;
  HWND handle_ = nullptr;
  std::atomic<DWORD> threadId_{0};
};

class CrossThreadSendTest : public ::testing::Test {
 protected:
  testing::TempDeviceRoot device_;
  testing::ScopedVirtualClock clock_;
};

TEST_F(CrossThreadSendTest, SentMessagesRunOnTheOwnerBeforePostedOnesAndWhileItSends) {
  // The main thread's window; the worker's send to it stays pending until
  // the main thread pumps.
  TestWindow mainWindow([](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == kPing) return 1;
    return DefWindowProc(w, m, wp, lp);
  });
  std::vector<std::string> order;
  std::atomic<DWORD> handlerThread{0};
  std::atomic<bool> workerSendDone{false};
  std::atomic<bool> postedSeen{false};
  std::latch posted(1);
  WindowThread worker(
      [&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == kSent) {
          handlerThread = GetCurrentThreadId();
          order.push_back(InSendMessage() ? "sent (from another thread)" : "sent");
          return static_cast<LRESULT>(wp) + lp;
        }
        if (m == kPosted) {
          order.push_back(InSendMessage() ? "posted?" : "posted");
          postedSeen = true;
        }
        return DefWindowProc(w, m, wp, lp);
      },
      [&](HWND) {
        posted.wait();
        // Blocks until the main thread pumps; messages sent to this thread
        // meanwhile are handled inside the wait.
        SendMessage(mainWindow, kPing, 0, 0);
        workerSendDone = true;
      });
  PostMessage(worker.Handle(), kPosted, 0, 0);
  posted.count_down();
  LRESULT sum = 0;
  std::thread sender([&] { sum = SendMessage(worker.Handle(), kSent, 20, 22); });
  sender.join();  // handled although the worker has not reached its loop
  EXPECT_EQ(sum, 42);
  EXPECT_EQ(handlerThread, worker.ThreadId());
  EXPECT_FALSE(workerSendDone);
  ASSERT_TRUE(testing::PumpUntil([&] { return workerSendDone.load(); }));
  ASSERT_TRUE(testing::PumpUntil([&] { return postedSeen.load(); }));
  EXPECT_EQ(order, (std::vector<std::string>{"sent (from another thread)", "posted"}));
}

TEST_F(CrossThreadSendTest, TwoThreadsSendingToEachOtherBothGoOn) {
  TestWindow mainWindow([](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == kPong) return static_cast<LRESULT>(wp) * 10;
    return DefWindowProc(w, m, wp, lp);
  });
  HWND mainHandle = mainWindow;
  WindowThread worker([mainHandle](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    // The main thread is still waiting in its own send to us.
    if (m == kPing) return SendMessage(mainHandle, kPong, wp + 1, 0) * 2;
    return DefWindowProc(w, m, wp, lp);
  });
  EXPECT_EQ(SendMessage(worker.Handle(), kPing, 1, 0), 40);
}

TEST_F(CrossThreadSendTest, ReplyMessageReleasesTheSenderEarly) {
  std::latch finish(1);
  WindowThread worker([&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == kSent) {
      ReplyMessage(7);
      finish.wait();
      return 99;  // too late: the sender already has its answer
    }
    return DefWindowProc(w, m, wp, lp);
  });
  EXPECT_EQ(SendMessage(worker.Handle(), kSent, 0, 0), 7);
  finish.count_down();
}

// The receiver is stuck in the handler of a posted message (blocked on a
// latch, not on the clock); the test knows that the sender waits from the
// virtual clock's count of waiting threads.
TEST_F(CrossThreadSendTest, ASendToAWindowDestroyedWhileTheSenderWaitsReturnsZero) {
  std::latch inHandler(1);
  std::latch destroy(1);
  std::atomic<bool> sentSeen{false};
  WindowThread worker([&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == kStall) {
      inHandler.count_down();
      destroy.wait();
      DestroyWindow(w);
      return 0;
    }
    if (m == kSent) sentSeen = true;
    return DefWindowProc(w, m, wp, lp);
  });
  PostMessage(worker.Handle(), kStall, 0, 0);
  inHandler.wait();
  auto result = std::async(std::launch::async, [&] {
    SetLastError(0);
    return SendMessage(worker.Handle(), kSent, 1, 1);
  });
  ASSERT_TRUE(clock_->WaitForWaiters(1));
  destroy.count_down();
  EXPECT_EQ(result.get(), 0);
  EXPECT_FALSE(sentSeen);
  // Being destroyed or gone, the window takes no further sends.
  EXPECT_EQ(SendMessage(worker.Handle(), kSent, 1, 1), 0);
  EXPECT_FALSE(sentSeen);
}

TEST_F(CrossThreadSendTest, ASendToAWindowWhoseThreadEndedReturnsZero) {
  // The thread ends without destroying its window: a waiting sender is
  // woken, and later sends return at once.
  HWND window = nullptr;
  std::latch created(1);
  std::latch end(1);
  std::thread owner([&] {
    static const WNDCLASS wndClass = [] {
      WNDCLASS c;
      c.lpfnWndProc = DefWindowProc;
      c.lpszClassName = u"Abandoned";
      return c;
    }();
    RegisterClass(&wndClass);
    window = CreateWindowEx(0, u"Abandoned", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                            nullptr);
    created.count_down();
    end.wait();
  });
  created.wait();
  ASSERT_NE(window, nullptr);
  auto waiting = std::async(std::launch::async, [&] { return SendMessage(window, kSent, 0, 0); });
  ASSERT_TRUE(clock_->WaitForWaiters(1));
  end.count_down();
  owner.join();
  EXPECT_EQ(waiting.get(), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(SendMessage(window, kSent, 0, 0), 0);
  EXPECT_FALSE(PostMessage(window, kPosted, 0, 0));
}

TEST_F(CrossThreadSendTest, ATimedOutSendIsTakenBack) {
  std::latch inHandler(1);
  std::latch release(1);
  std::atomic<int> sentSeen{0};
  WindowThread worker([&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == kStall) {
      inHandler.count_down();
      release.wait();
      return 0;
    }
    if (m == kSent) ++sentSeen;
    return DefWindowProc(w, m, wp, lp);
  });
  PostMessage(worker.Handle(), kStall, 0, 0);
  inHandler.wait();
  auto result = std::async(std::launch::async, [&] {
    DWORD_PTR answer = 123;
    BOOL ok = SendMessageTimeout(worker.Handle(), kSent, 0, 0, SMTO_NORMAL, 500, &answer);
    return std::make_tuple(ok, answer, GetLastError());
  });
  ASSERT_TRUE(clock_->WaitForWaiters(1));
  clock_->Advance(499);
  clock_->Advance(1);
  auto [ok, answer, error] = result.get();
  EXPECT_FALSE(ok);
  EXPECT_EQ(answer, 0u);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_TIMEOUT));
  release.count_down();
  // The worker is free again: a later send is handled, the timed-out one is not.
  EXPECT_EQ(SendMessage(worker.Handle(), WM_NULL, 0, 0), 0);
  EXPECT_EQ(sentSeen, 0);
}

}  // namespace
}  // namespace ce
