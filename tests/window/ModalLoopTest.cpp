// The nested message loop of dialogs.
#include <gtest/gtest.h>

#include <thread>

#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/ModalLoop.h"

namespace ce {
namespace {

using testing::TestWindow;

constexpr UINT kEnd = WM_USER + 1;      // ends the loop with wParam
constexpr UINT kNested = WM_USER + 2;   // runs a nested loop on another window
constexpr UINT kDestroy = WM_USER + 3;  // destroys the window

class ModalLoopTest : public ::testing::Test {
 protected:
  testing::WindowHandler Handler(HWND* nestedWindow = nullptr, INT_PTR* nestedResult = nullptr) {
    return [nestedWindow, nestedResult](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      switch (m) {
        case kEnd:
          EndModalLoop(w, static_cast<INT_PTR>(wp));
          return 0;
        case kNested:
          PostMessage(*nestedWindow, kEnd, 5, 0);
          *nestedResult = RunModalLoop(*nestedWindow);
          return 0;
        case kDestroy:
          DestroyWindow(w);
          return 0;
        default:
          return DefWindowProc(w, m, wp, lp);
      }
    };
  }

  testing::TempDeviceRoot device_;
  testing::ScopedVirtualClock clock_;
};

TEST_F(ModalLoopTest, LoopsRunUntilEndedAndNest) {
  HWND innerHandle = nullptr;
  INT_PTR innerResult = 0;
  TestWindow inner(Handler());
  innerHandle = inner;
  TestWindow outer(Handler(&innerHandle, &innerResult));
  PostMessage(outer, kNested, 0, 0);
  // Reaches the outer window inside the nested loop; the outer loop ends
  // only after the nested one.
  PostMessage(outer, kEnd, 2, 0);
  EXPECT_EQ(RunModalLoop(outer), 2);
  EXPECT_EQ(innerResult, 5);
  EXPECT_EQ(RunModalLoop(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x99999))), -1);
}

TEST_F(ModalLoopTest, AnEndBeforeTheLoopStartsEndsItAtOnce) {
  TestWindow dialog(Handler());
  EndModalLoop(dialog, 1);  // as a dialog that ends during its initialisation
  EXPECT_EQ(RunModalLoop(dialog), 1);
  PostMessage(dialog, kEnd, 3, 0);
  EXPECT_EQ(RunModalLoop(dialog), 3);  // the first end does not carry over
}

TEST_F(ModalLoopTest, QuitAndDestructionEndTheLoop) {
  TestWindow dialog(Handler());
  PostQuitMessage(9);
  EXPECT_EQ(RunModalLoop(dialog), 0);
  MSG msg;
  ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), 0);  // posted again for the outer loop
  EXPECT_EQ(msg.wParam, 9u);

  PostMessage(dialog, kDestroy, 0, 0);
  EXPECT_EQ(RunModalLoop(dialog), 0);
  EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(ModalLoopTest, AnotherThreadEndsTheLoopDirectlyOrThroughASend) {
  TestWindow dialog(Handler());
  std::thread direct([&] { EndModalLoop(dialog, 4); });
  EXPECT_EQ(RunModalLoop(dialog), 4);
  direct.join();
  // A message sent from another thread is handled inside the loop's wait;
  // an end requested there stops the loop although nothing was posted.
  std::thread sender([&] { SendMessage(dialog, kEnd, 6, 0); });
  EXPECT_EQ(RunModalLoop(dialog), 6);
  sender.join();
}

}  // namespace
}  // namespace ce
