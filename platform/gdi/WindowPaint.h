// Drawing on windows: window DCs and the paint pass.
//
// A window DC's logical origin is the window's top-left corner; it draws
// into the surface of the window's top-level window, clipped to the part of
// the window that its ancestors, its visible children and the visible
// siblings above it leave (nothing at all for a hidden child window).
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace ce {

// A DC for the window's client area (null window: the device screen).
// Release it with ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// Starts a paint pass: takes the window's update rectangle (validating the
// window), sends WM_ERASEBKGND with the DC when the background is to be
// erased, and returns a DC clipped to the update rectangle. fErase tells
// whether the background still needs erasing (WM_ERASEBKGND returned 0).
// Called with nothing invalid, the DC draws nothing.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// DefWindowProc answers WM_ERASEBKGND for the drawing layer: it fills the
// client area with the class background brush and returns 1 (0 without one).

}  // namespace ce
