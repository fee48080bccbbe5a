// Keyboard focus, the active top-level window and mouse capture of this
// process. Changes are announced with WM_KILLFOCUS / WM_SETFOCUS,
// WM_ACTIVATE and WM_CAPTURECHANGED, sent to the windows concerned.
#pragma once

#include "platform/base/Types.h"

namespace ce {

// Activates the window's top-level window when it is not active. Null
// removes the focus. Returns the window that had the focus.
HWND SetFocus(HWND window);
HWND GetFocus();
// Activates a top-level window of this process (brings it to the top and
// makes it the device's foreground window). Returns the previous one.
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();

HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

}  // namespace ce
