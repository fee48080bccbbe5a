// Helpers of the control tests: a parent window that records what its
// controls tell it, and taps and keys sent the way the device delivers them.
#pragma once

#include <vector>

#include "platform/controls/CommonControls.h"
#include "platform/controls/ControlMessages.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Focus.h"
#include "platform/window/Message.h"
#include "platform/window/Paint.h"

namespace ce::testing {

inline void Tap(HWND window, int x, int y) {
  SendMessage(window, WM_LBUTTONDOWN, 1, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  SendMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

inline void Key(HWND window, UINT key) {
  PostMessage(window, WM_KEYDOWN, key, 0);
  PostMessage(window, WM_KEYUP, key, 0);
}

// The colour at a window-relative point of a window's surface.
inline COLORREF PixelOf(HWND window, int x, int y) {
  RECT rect;
  GetWindowRect(window, &rect);
  auto surface = GetWindowSurface(window);
  return surface != nullptr ? surface->Pixel(rect.left + x, rect.top + y) : CLR_INVALID;
}

struct Command {
  int id;
  UINT code;
};

}  // namespace ce::testing
