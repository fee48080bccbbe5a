#include "platform/controls/detail/ControlSupport.h"

#include <algorithm>

#include "platform/window/Message.h"

namespace ce::detail {

void NotifyCommand(HWND control, UINT code) {
  HWND parent = GetParent(control);
  if (parent == nullptr) return;
  SendMessage(parent, WM_COMMAND, MakeCommandWParam(GetDlgCtrlID(control), code),
              reinterpret_cast<LPARAM>(control));
}

LRESULT NotifyParent(HWND control, NMHDR* header, UINT code) {
  HWND parent = GetParent(control);
  if (parent == nullptr) return 0;
  header->hwndFrom = control;
  header->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
  header->code = code;
  return SendMessage(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

HBRUSH ParentColors(HWND control, HDC dc, UINT message) {
  HWND parent = GetParent(control);
  HBRUSH brush = nullptr;
  if (parent != nullptr) {
    brush = reinterpret_cast<HBRUSH>(SendMessage(parent, message, reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(control)));
  } else {
    brush = reinterpret_cast<HBRUSH>(DefWindowProc(control, message, reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(control)));
  }
  return brush != nullptr ? brush : GetSysColorBrush(COLOR_WINDOW);
}

HFONT ControlFont(HWND control) {
  auto* state = StateOf<ControlState>(control);
  if (state != nullptr && state->font != nullptr) return state->font;
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

LRESULT HandleFontMessage(HWND control, ControlState* state, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(state->font);
  state->font = reinterpret_cast<HFONT>(wParam);
  if (LOWORD(static_cast<uintptr_t>(lParam)) != 0) InvalidateRect(control, nullptr, TRUE);
  return 0;
}

PaintScope::PaintScope(HWND window) : window_(window) { BeginPaint(window, &paint_); }

PaintScope::~PaintScope() { EndPaint(window_, &paint_); }

DcFontScope::DcFontScope(HDC dc, HWND control) : dc_(dc), saved_(SaveDC(dc)) {
  SelectObject(dc, ControlFont(control));
}

DcFontScope::~DcFontScope() { RestoreDC(dc_, saved_); }

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FrameRect(dc, &rect, brush);
  DeleteObject(brush);
}

void DrawLabel(HDC dc, const std::u16string& text, RECT rect, UINT align, COLORREF color) {
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  DrawText(dc, text.c_str(), static_cast<int>(text.size()), &rect,
           align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

POINT PointFromLParam(LPARAM lParam) {
  POINT point;
  point.x = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
  point.y = static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)));
  return point;
}

int ClampInt(long long value, int low, int high) {
  if (high < low) return low;
  return static_cast<int>(std::clamp<long long>(value, low, high));
}

std::u16string WindowText(HWND window) { return GetWindowTextString(window); }

}  // namespace ce::detail
