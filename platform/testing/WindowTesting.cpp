#include "platform/testing/WindowTesting.h"

#include <gtest/gtest.h>

#include "platform/base/Clock.h"
#include "platform/window/Timer.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce::testing {

namespace {

constexpr int kRunawayLimit = 100000;
constexpr int kSelfOffset = 0;  // the TestWindow, in the class's extra bytes

}  // namespace

int PumpUntilIdle() {
  int dispatched = 0;
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    if (++dispatched > kRunawayLimit) {
      ADD_FAILURE() << "the message queue never became idle";
      break;
    }
  }
  return dispatched;
}

void AdvanceClockAndPump(VirtualClock& clock, uint64_t ms) {
  const uint64_t target = clock.NowMs() + ms;
  PumpUntilIdle();
  for (;;) {
    uint64_t next = detail::NextTimerDueMs();
    if (next > target) break;
    uint64_t now = clock.NowMs();
    if (next > now) clock.Advance(next - now);
    PumpUntilIdle();
  }
  uint64_t now = clock.NowMs();
  if (target > now) clock.Advance(target - now);
  PumpUntilIdle();
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    PumpUntilIdle();
    if (done()) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) return false;
    detail::WaitForQueueRealTime(static_cast<int>(std::min<long long>(left, 50)));
  }
}

bool WaitForPendingSend(DWORD threadId, int timeoutMs) {
  return detail::WaitForSentMessage(threadId, timeoutMs);
}

TestWindow::TestWindow(WindowHandler handler, HWND parent, DWORD style, LPCWSTR title,
                       LPCWSTR className)
    : handler_(std::move(handler)) {
  WNDCLASS wndClass;
  if (!GetClassInfo(nullptr, className, &wndClass)) {
    wndClass = WNDCLASS{};
    wndClass.lpfnWndProc = &TestWindow::Procedure;
    wndClass.cbWndExtra = sizeof(TestWindow*);  // GWLP_USERDATA stays the test's own
    wndClass.lpszClassName = className;
    RegisterClass(&wndClass);
  }
  if (parent != nullptr) style |= WS_CHILD;
  handle_ = CreateWindowEx(0, className, title, style, 0, 0, 100, 100, parent, nullptr, nullptr,
                           this);
}

TestWindow::~TestWindow() {
  if (IsWindow(handle_)) DestroyWindow(handle_);
}

LRESULT TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCT*>(lParam);
    SetWindowLongPtr(window, kSelfOffset, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtr(window, kSelfOffset));
  if (self == nullptr || !self->handler_) return DefWindowProc(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    LRESULT result = self->handler_(window, message, wParam, lParam);
    SetWindowLongPtr(window, kSelfOffset, 0);
    return result;
  }
  return self->handler_(window, message, wParam, lParam);
}

}  // namespace ce::testing
