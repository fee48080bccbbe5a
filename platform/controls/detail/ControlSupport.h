// What the control classes share: their per-window state, notifications to
// the parent, colours asked of the parent, fonts and a paint scope.
#pragma once

#include <string>

#include "platform/controls/ControlMessages.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/Paint.h"
#include "platform/window/Window.h"

namespace ce::detail {

// The state every control keeps as its window extra (owner ControlState).
class ControlState : public WindowExtra {
 public:
  HFONT font = nullptr;  // from WM_SETFONT; the caller keeps it
};

template <typename T>
T* StateOf(HWND window) {
  return dynamic_cast<T*>(GetWindowExtra(window, typeid(ControlState)));
}

// Creates the state on WM_NCCREATE; false when it cannot be stored.
template <typename T>
T* CreateState(HWND window) {
  auto state = std::make_unique<T>();
  T* raw = state.get();
  if (!SetWindowExtra(window, typeid(ControlState), std::move(state))) return nullptr;
  return raw;
}

// The window procedure of a control class whose state is T. WM_NCCREATE
// creates the state, refusing the window when it cannot be stored, and lets
// Init fill it from the window's style; every later message finds the state
// (a window without one is left to DefWindowProc). Paint answers WM_PAINT and
// covers the whole control, so WM_ERASEBKGND has nothing to do; the rest goes
// to Handle.
template <typename T, void (*Paint)(HWND, T*), LRESULT (*Handle)(HWND, T*, UINT, WPARAM, LPARAM),
          void (*Init)(HWND, T*) = nullptr>
LRESULT ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    T* state = CreateState<T>(window);
    if (state == nullptr) return FALSE;
    if constexpr (Init != nullptr) Init(window, state);
    return DefWindowProc(window, message, wParam, lParam);
  }
  T* state = StateOf<T>(window);
  if (state == nullptr) return DefWindowProc(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      Paint(window, state);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    default:
      return Handle(window, state, message, wParam, lParam);
  }
}

// WM_COMMAND with the control's id and the code to its parent.
void NotifyCommand(HWND control, UINT code);
// Fills the header and sends WM_NOTIFY to the parent; returns its answer.
LRESULT NotifyParent(HWND control, NMHDR* header, UINT code);
// Asks the parent for colours (WM_CTLCOLOR...): sets the DC's colours and
// returns the brush to fill with.
HBRUSH ParentColors(HWND control, HDC dc, UINT message);
// The control's font (WM_SETFONT) or the default UI font.
HFONT ControlFont(HWND control);
// Handles WM_SETFONT / WM_GETFONT for a control state.
LRESULT HandleFontMessage(HWND control, ControlState* state, UINT message, WPARAM wParam,
                          LPARAM lParam);

// BeginPaint / EndPaint for the life of the object.
class PaintScope {
 public:
  explicit PaintScope(HWND window);
  ~PaintScope();
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC Dc() const { return paint_.hdc; }
  const RECT& Update() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
};

// Saves the DC state and selects the control's font for the object's life.
class DcFontScope {
 public:
  DcFontScope(HDC dc, HWND control);
  ~DcFontScope();
  DcFontScope(const DcFontScope&) = delete;
  DcFontScope& operator=(const DcFontScope&) = delete;

 private:
  HDC dc_;
  int saved_;
};

void FillSolid(HDC dc, const RECT& rect, COLORREF color);
// A one-pixel frame.
void FrameSolid(HDC dc, const RECT& rect, COLORREF color);
// Single-line text, vertically centred, no prefix processing.
void DrawLabel(HDC dc, const std::u16string& text, RECT rect, UINT align, COLORREF color);

POINT PointFromLParam(LPARAM lParam);
int ClampInt(long long value, int low, int high);
std::u16string WindowText(HWND window);

}  // namespace ce::detail
