// Update regions and WM_PAINT. A window with a non-empty update region gets
// WM_PAINT when its thread's queue has no sent or posted messages and no
// WM_QUIT; the region is a bounding rectangle in client coordinates.
// DefWindowProc validates on WM_PAINT, and DispatchMessage validates a window
// whose procedure left its region untouched, so a window never repaints in a
// loop.
#pragma once

#include "platform/base/Types.h"
#include "platform/window/Geometry.h"

namespace ce {

// A null rect means the whole client area; a null window every window of the
// process.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
// True when the update region is not empty; the erase flag is not changed.
BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase);
// Sends WM_PAINT now to the window and its visible descendants that need it.
BOOL UpdateWindow(HWND window);
// For BeginPaint: hands out the update rectangle and whether the background
// is to be erased, and validates the window. False when nothing was invalid.
bool TakeUpdateRegion(HWND window, RECT* update, bool* erase);

}  // namespace ce
