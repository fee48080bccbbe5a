// Tap-and-hold on the virtual clock: a window on its own thread asks for
// the gesture when the stylus or the action key goes down, while the test
// moves the clock and delivers the release.
#include "platform/shell/Gesture.h"

#include <atomic>
#include <thread>

#include "tests/shell/ShellTesting.h"
#include "tests/support/Wait.h"

namespace ce::testing {
namespace {

constexpr UINT kActionKey = 0x86;
constexpr UINT kMsgStop = WM_APP + 1;

// A list-like window on its own UI thread, inside a parent that hears of
// gestures with SHRG_NOTIFYPARENT.
class GestureProbe {
 public:
  explicit GestureProbe(DWORD flags) : flags_(flags) {
    thread_ = std::thread([this] { Run(); });
    EXPECT_TRUE(ready_.Wait());
  }
  ~GestureProbe() {
    PostMessage(window_, kMsgStop, 0, 0);
    thread_.join();
  }

  HWND Window() const { return window_; }

  test_support::Flag entered;  // the press is being recognised
  test_support::Flag done;
  std::atomic<DWORD> result{0};
  std::atomic<int> releasesAfter{0};  // releases the window got after the answer
  std::atomic<UINT> parentNotice{0};

 private:
  LRESULT Recognise(HWND hwnd, POINT down) {
    entered.Raise();
    SHRGINFO info;
    info.hwndClient = hwnd;
    info.ptDown = down;
    info.dwFlags = flags_;
    result = SHRecognizeGesture(&info);
    done.Raise();
    return 0;
  }

  void Run() {
    TestWindow parent([this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_NOTIFY) parentNotice = reinterpret_cast<NMHDR*>(lp)->code;
      return DefWindowProc(w, m, wp, lp);
    }, nullptr, WS_POPUP | WS_VISIBLE);
    TestWindow list([this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      switch (m) {
        case WM_LBUTTONDOWN:
          return Recognise(w, POINT{LOWORD(static_cast<uintptr_t>(lp)), HIWORD(static_cast<uintptr_t>(lp))});
        case WM_KEYDOWN:
          return wp == kActionKey ? Recognise(w, POINT{}) : 0;
        case WM_LBUTTONUP:
        case WM_KEYUP:
          if (done.Raised()) ++releasesAfter;
          return 0;
        case kMsgStop:
          PostQuitMessage(0);
          return 0;
        default:
          return DefWindowProc(w, m, wp, lp);
      }
    }, parent, WS_VISIBLE);
    window_ = list.Handle();
    ready_.Raise();
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }

  DWORD flags_;
  test_support::Flag ready_;
  HWND window_ = nullptr;
  std::thread thread_;
};

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

class GestureTest : public ::testing::Test {
 protected:
  // Presses, then waits until the probe blocks in the recognition.
  void Press(GestureProbe& probe, bool key = false) {
    if (key) {
      PostMessage(probe.Window(), WM_KEYDOWN, kActionKey, 1);
    } else {
      PostMessage(probe.Window(), WM_LBUTTONDOWN, 1, At(10, 10));
    }
    ASSERT_TRUE(probe.entered.Wait());
    ASSERT_TRUE(clock_->WaitForWaiters(1));
  }
  void Settle() { ASSERT_TRUE(clock_->WaitForWaiters(1)); }

  TempDeviceRoot root_;
  ScopedVirtualClock clock_;
};

TEST_F(GestureTest, AStylusHeldForTheHoldPeriodIsAContextMenuGesture) {
  GestureProbe probe(SHRG_RETURNCMD | SHRG_NOTIFYPARENT);
  Press(probe);
  clock_->Advance(kTapAndHoldMs - 1);
  Settle();
  EXPECT_FALSE(probe.done.Raised());
  clock_->Advance(1);
  ASSERT_TRUE(probe.done.Wait());
  EXPECT_EQ(probe.result, GN_CONTEXTMENU);
  EXPECT_EQ(probe.parentNotice, GN_CONTEXTMENU);
}

TEST_F(GestureTest, AReleaseOrAMoveBeforeThePeriodEndsIsATap) {
  struct Case {
    const char* name;
    UINT message;
    LPARAM where;
    int releases;
  };
  for (const Case& c : {Case{"release", WM_LBUTTONUP, At(10, 10), 1},
                        Case{"move away", WM_MOUSEMOVE, At(10 + kGestureSlop + 3, 10), 0}}) {
    GestureProbe probe(SHRG_RETURNCMD);
    Press(probe);
    clock_->Advance(300);
    Settle();
    PostMessage(probe.Window(), c.message, c.message == WM_LBUTTONUP ? 0 : 1, c.where);
    ASSERT_TRUE(probe.done.Wait()) << c.name;
    EXPECT_EQ(probe.result, 0u) << c.name;
    // The release stays for the control itself.
    PostMessage(probe.Window(), WM_NULL, 0, 0);
    Settle();
    EXPECT_EQ(probe.releasesAfter, c.releases) << c.name;
  }
}

TEST_F(GestureTest, ASmallWobbleStillHolds) {
  GestureProbe probe(SHRG_RETURNCMD);
  Press(probe);
  PostMessage(probe.Window(), WM_MOUSEMOVE, 1, At(12, 11));
  Settle();
  EXPECT_FALSE(probe.done.Raised());
  clock_->Advance(kTapAndHoldMs);
  ASSERT_TRUE(probe.done.Wait());
  EXPECT_EQ(probe.result, GN_CONTEXTMENU);
}

TEST_F(GestureTest, TheLongDelayWaitsLonger) {
  GestureProbe probe(SHRG_RETURNCMD | SHRG_LONGDELAY);
  Press(probe);
  clock_->Advance(kTapAndHoldMs);
  Settle();
  EXPECT_FALSE(probe.done.Raised());
  clock_->Advance(kTapAndHoldLongMs - kTapAndHoldMs);
  ASSERT_TRUE(probe.done.Wait());
  EXPECT_EQ(probe.result, GN_CONTEXTMENU);
}

TEST_F(GestureTest, TheActionKeyHeldIsAGestureAndReleasedIsAPress) {
  {
    GestureProbe probe(SHRG_RETURNCMD);
    Press(probe, true);
    PostMessage(probe.Window(), WM_KEYDOWN, kActionKey, 1 | (LPARAM{1} << 30));  // auto-repeat
    Settle();
    clock_->Advance(kTapAndHoldMs);
    ASSERT_TRUE(probe.done.Wait());
    EXPECT_EQ(probe.result, GN_CONTEXTMENU);
  }
  GestureProbe probe(SHRG_RETURNCMD);
  Press(probe, true);
  clock_->Advance(100);
  Settle();
  PostMessage(probe.Window(), WM_KEYUP, kActionKey, 0);
  ASSERT_TRUE(probe.done.Wait());
  EXPECT_EQ(probe.result, 0u);
  Settle();
  EXPECT_EQ(probe.releasesAfter, 1);
}

TEST(GestureRecord, AWrongRecordIsNoGesture) {
  TempDeviceRoot root;
  SHRGINFO info;
  EXPECT_EQ(SHRecognizeGesture(&info), 0u);  // no window
  EXPECT_EQ(SHRecognizeGesture(nullptr), 0u);
  TestWindow window([](HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); });
  info.hwndClient = window;
  info.cbSize = 3;
  EXPECT_EQ(SHRecognizeGesture(&info), 0u);
}

}  // namespace
}  // namespace ce::testing
