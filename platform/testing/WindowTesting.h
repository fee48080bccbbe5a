// Helpers for tests of code with windows: pumping the calling thread's
// messages, moving the virtual clock with the thread's timers firing in
// order, and windows whose procedure is a lambda.
#pragma once

#include <functional>

#include "platform/base/VirtualClock.h"
#include "platform/window/Message.h"
#include "platform/window/Window.h"

namespace ce::testing {

// Handles every message of the calling thread that is pending now (sent,
// posted, paints, due timers) without blocking, until none is left. A
// WM_QUIT found on the way is left in the queue. Returns the number of
// messages dispatched; a test fails when a window keeps posting to itself
// (more than 100000 messages).
int PumpUntilIdle();

// Moves the clock forward by ms, stopping at each due time of the calling
// thread's timers in turn and pumping there, so that every period fires, in
// due order, at its own virtual time. Pumps before returning.
void AdvanceClockAndPump(VirtualClock& clock, uint64_t ms);

// Pumps the calling thread (waiting in real time for messages from other
// threads) until done() is true; false when timeoutMs of real time passed.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Waits in real time until a message that another thread sent waits,
// unhandled, in the queue of thread threadId (a thread that is busy or held
// elsewhere); false when timeoutMs passed first.
bool WaitForPendingSend(DWORD threadId, int timeoutMs = 5000);

using WindowHandler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// A window on the calling thread whose messages go to a lambda (which may
// call DefWindowProc); destroyed with the object if still there.
class TestWindow {
 public:
  explicit TestWindow(WindowHandler handler, HWND parent = nullptr, DWORD style = 0,
                      LPCWSTR title = u"", LPCWSTR className = u"CeTestWindow");
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return handle_; }
  operator HWND() const { return handle_; }

 private:
  static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  WindowHandler handler_;
  HWND handle_ = nullptr;
};

}  // namespace ce::testing
