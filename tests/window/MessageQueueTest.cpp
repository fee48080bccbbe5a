// One thread's queue: order of retrieval, filters, quit, paint and keys.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/base/Thread.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Keys.h"
#include "platform/window/Message.h"
#include "platform/window/Paint.h"
#include "platform/window/Timer.h"
#include "tests/support/Wait.h"

namespace ce {
namespace {

using testing::TestWindow;

LRESULT Default(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); }

class MessageQueueTest : public ::testing::Test {
 protected:
  // Drains the queue without dispatching; returns the messages in order.
  std::vector<UINT> Drain() {
    std::vector<UINT> messages;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      messages.push_back(msg.message);
      if (msg.message == WM_PAINT) ValidateRect(msg.hwnd, nullptr);
      if (msg.message == WM_TIMER) KillTimer(msg.hwnd, msg.wParam);
    }
    return messages;
  }

  testing::TempDeviceRoot device_;
  testing::ScopedVirtualClock clock_;
};

TEST_F(MessageQueueTest, PostedComeInOrderThenQuitThenPaintThenTimers) {
  TestWindow window(Default, nullptr, 0);
  TestWindow other(Default, nullptr, 0);
  ShowWindow(window, SW_SHOWNA);  // marks it for painting
  SetTimer(window, 7, 100, nullptr);
  clock_->Advance(100);
  PostQuitMessage(3);
  PostMessage(window, WM_USER + 1, 0, 0);
  PostMessage(other, WM_USER + 2, 0, 0);
  PostMessage(nullptr, WM_USER + 3, 0, 0);  // to the thread

  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER + 1);  // still there
  ASSERT_TRUE(PeekMessage(&msg, other, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 2);
  ASSERT_TRUE(PeekMessage(&msg, reinterpret_cast<HWND>(static_cast<intptr_t>(-1)), 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 3);  // thread messages only
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_TIMER + 1, WM_USER, PM_REMOVE));

  EXPECT_EQ(Drain(), (std::vector<UINT>{WM_USER + 1, WM_QUIT, WM_PAINT, WM_TIMER}));
  EXPECT_EQ(GetMessage(&msg, reinterpret_cast<HWND>(static_cast<intptr_t>(0x12345)), 0, 0), -1);
}

TEST_F(MessageQueueTest, GetMessageReturnsZeroForQuitWithItsCode) {
  PostMessage(nullptr, WM_USER, 0, 0);
  PostQuitMessage(42);
  MSG msg;
  EXPECT_GT(GetMessage(&msg, nullptr, 0, 0), 0);
  EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), 0);
  EXPECT_EQ(msg.wParam, 42u);
}

TEST_F(MessageQueueTest, AWindowThatDoesNotValidateIsNotPaintedForever) {
  int paints = 0;
  TestWindow lazy([&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_PAINT) {
      ++paints;
      return 0;  // neither validates nor calls DefWindowProc
    }
    return DefWindowProc(w, m, wp, lp);
  });
  ShowWindow(lazy, SW_SHOWNA);
  EXPECT_EQ(testing::PumpUntilIdle(), 1);
  EXPECT_EQ(paints, 1);
  RECT part{10, 10, 20, 20};
  InvalidateRect(lazy, &part, FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(lazy, &update, FALSE));
  EXPECT_EQ(update, part);
  testing::PumpUntilIdle();
  EXPECT_EQ(paints, 2);
  EXPECT_FALSE(GetUpdateRect(lazy, &update, FALSE));
}

TEST_F(MessageQueueTest, KeysThatTypeBecomeCharacters) {
  TestWindow window(Default);
  struct Case {
    WPARAM key;
    WPARAM typed;  // 0: nothing typed
  } const cases[] = {{'5', '5'},          {'A', 'a'},          {VK_NUMPAD0 + 7, '7'},
                     {VK_TSTAR, '*'},     {VK_TPOUND, '#'},    {VK_RETURN, '\r'},
                     {VK_BACK, '\b'},     {VK_SPACE, ' '},     {VK_LEFT, 0},
                     {VK_TSOFT1, 0},      {VK_SHIFT, 0}};
  for (const auto& c : cases) {
    PostMessage(window, WM_USER, 0, 0);  // a later message stays behind the character
    MSG key{window, WM_KEYDOWN, c.key, 1, 0, {}};
    EXPECT_EQ(TranslateMessage(&key) != FALSE, c.typed != 0) << c.key;
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    if (c.typed != 0) {
      EXPECT_EQ(msg.message, WM_CHAR);
      EXPECT_EQ(msg.wParam, c.typed);
      ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    }
    EXPECT_EQ(msg.message, WM_USER);
  }
  MSG keyUp{window, WM_KEYUP, '5', 1, 0, {}};
  EXPECT_FALSE(TranslateMessage(&keyUp));
}

void RecordingTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  static_cast<void>(id);
  ADD_FAILURE() << "a forged timer message reached a procedure";
}

TEST_F(MessageQueueTest, ThreadMessagesAndForgedTimerMessages) {
  // A thread without a queue cannot be posted to; once it has one it can.
  std::atomic<DWORD> workerId{0};
  test_support::Flag started;
  test_support::Flag mayCreateQueue;
  test_support::Flag queueCreated;
  std::atomic<UINT> received{0};
  std::thread worker([&] {
    workerId = GetCurrentThreadId();
    started.Raise();
    mayCreateQueue.Wait();
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);  // creates the queue
    queueCreated.Raise();
    if (GetMessage(&msg, nullptr, 0, 0) > 0) received = msg.message;
  });
  EXPECT_TRUE(started.Wait());
  EXPECT_FALSE(PostThreadMessage(workerId, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
  mayCreateQueue.Raise();
  EXPECT_TRUE(queueCreated.Wait());
  EXPECT_TRUE(PostThreadMessage(workerId, WM_USER + 9, 0, 0));
  worker.join();
  EXPECT_EQ(received, WM_USER + 9);

  // Another process may post WM_TIMER with any lParam; only a real timer's
  // procedure is ever called.
  TestWindow window(Default);
  PostMessage(window, WM_TIMER, 1, reinterpret_cast<LPARAM>(&RecordingTimerProc));
  testing::PumpUntilIdle();
}

}  // namespace
}  // namespace ce
