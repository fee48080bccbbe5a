// Window and thread timers on the process clock.
//
// A timer produces WM_TIMER (wParam = id, lParam = the timer procedure) on
// its thread when that thread's queue has nothing else to deliver, at most
// one per timer per retrieval; the next period starts when the message is
// retrieved. Setting an existing id again restarts it with the new period.
#pragma once

#include "platform/base/Types.h"
#include "platform/window/Window.h"

namespace ce {

using TIMERPROC = void (*)(HWND window, UINT message, UINT_PTR id, DWORD tickCount);

// For a window the timer belongs to the window's thread and the id is the
// caller's; with a null window it belongs to the calling thread and a new id
// is returned (unless id names an existing thread timer, which restarts).
// Returns 0 on failure (invalid window). A period of 0 ms counts as 1 ms.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);

}  // namespace ce
