// The "BUTTON" class: push buttons (also owner drawn), check boxes and radio
// buttons.
#include <algorithm>
#include <memory>

#include "platform/controls/Button.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/ControlSupport.h"
#include "platform/window/Focus.h"
#include "platform/window/Keys.h"
#include "platform/window/Paint.h"

namespace ce::detail {

namespace {

constexpr int kCheckBoxSide = 13;  // pixels

class ButtonState : public ControlState {
 public:
  WPARAM check = BST_UNCHECKED;
  bool pushed = false;    // drawn pressed (stylus down inside, or BM_SETSTATE)
  bool tracking = false;  // the stylus went down on the button and is held
  bool spaceDown = false;
};

DWORD Kind(HWND button) { return static_cast<DWORD>(GetWindowLong(button, GWL_STYLE)) & BS_TYPEMASK; }

bool IsCheckKind(DWORD kind) {
  return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE ||
         kind == BS_AUTO3STATE;
}

bool IsRadioKind(DWORD kind) { return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON; }

// An automatic radio button that is clicked checks itself and clears the
// other automatic radio buttons of its group.
void CheckInGroup(HWND button) {
  HWND parent = GetParent(button);
  if (parent == nullptr) return;
  // Find the group's first member: walk back to a WS_GROUP sibling.
  HWND first = button;
  while ((GetWindowLong(first, GWL_STYLE) & WS_GROUP) == 0) {
    HWND previous = GetWindow(first, GW_HWNDPREV);
    if (previous == nullptr) break;
    first = previous;
  }
  for (HWND member = first; member != nullptr; member = GetWindow(member, GW_HWNDNEXT)) {
    if (member != first && (GetWindowLong(member, GWL_STYLE) & WS_GROUP) != 0) break;
    if (member != button && Kind(member) == BS_AUTORADIOBUTTON && IsDlgButtonClass(member)) {
      SendMessage(member, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
  SendMessage(button, BM_SETCHECK, BST_CHECKED, 0);
}

void Click(HWND button) {
  DWORD kind = Kind(button);
  auto* state = StateOf<ButtonState>(button);
  if (state != nullptr) {
    if (kind == BS_AUTOCHECKBOX) {
      SendMessage(button, BM_SETCHECK, state->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
    } else if (kind == BS_AUTO3STATE) {
      SendMessage(button, BM_SETCHECK, (state->check + 1) % 3, 0);
    } else if (kind == BS_AUTORADIOBUTTON) {
      CheckInGroup(button);
    }
  }
  NotifyCommand(button, BN_CLICKED);
}

void SetPushed(HWND button, ButtonState* state, bool pushed) {
  if (state->pushed == pushed) return;
  state->pushed = pushed;
  InvalidateRect(button, nullptr, FALSE);
}

void CancelTracking(HWND button, ButtonState* state) {
  bool hadCapture = state->tracking;
  state->tracking = false;
  state->spaceDown = false;
  SetPushed(button, state, false);
  if (hadCapture && GetCapture() == button) ReleaseCapture();
}

void DrawOwner(HWND button, ButtonState* state, HDC dc, const RECT& client) {
  DRAWITEMSTRUCT item;
  item.CtlType = ODT_BUTTON;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID(button));
  item.itemAction = ODA_DRAWENTIRE;
  if (state->pushed) item.itemState |= ODS_SELECTED;
  if (GetFocus() == button) item.itemState |= ODS_FOCUS;
  if (!IsWindowEnabled(button)) item.itemState |= ODS_DISABLED;
  item.hwndItem = button;
  item.hDC = dc;
  item.rcItem = client;
  HWND parent = GetParent(button);
  if (parent != nullptr) {
    SendMessage(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  }
}

void DrawPush(HWND button, ButtonState* state, HDC dc, const RECT& client) {
  ParentColors(button, dc, WM_CTLCOLORBTN);
  bool enabled = IsWindowEnabled(button) != FALSE;
  bool isDefault = Kind(button) == BS_DEFPUSHBUTTON;
  FillSolid(dc, client, state->pushed ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNFACE));
  FrameSolid(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  if (isDefault) {
    RECT inner = client;
    inner.left += 1;
    inner.top += 1;
    inner.right -= 1;
    inner.bottom -= 1;
    FrameSolid(dc, inner, GetSysColor(COLOR_WINDOWFRAME));
  }
  COLORREF text = !enabled ? GetSysColor(COLOR_GRAYTEXT)
                  : state->pushed ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                  : GetSysColor(COLOR_BTNTEXT);
  DcFontScope font(dc, button);
  DrawLabel(dc, WindowText(button), client, DT_CENTER, text);
  if (GetFocus() == button) {
    RECT focus{client.left + 3, client.top + 3, client.right - 3, client.bottom - 3};
    DrawFocusRect(dc, &focus);
  }
}

void DrawCheck(HWND button, ButtonState* state, HDC dc, const RECT& client, bool radio) {
  HBRUSH background = ParentColors(button, dc, WM_CTLCOLORSTATIC);
  COLORREF textColor = GetTextColor(dc);
  FillRect(dc, &client, background);
  bool enabled = IsWindowEnabled(button) != FALSE;
  int top = (client.bottom - client.top - kCheckBoxSide) / 2;
  RECT box{1, top, 1 + kCheckBoxSide, top + kCheckBoxSide};
  HPEN pen = CreatePen(PS_SOLID, 1, enabled ? GetSysColor(COLOR_WINDOWFRAME) : GetSysColor(COLOR_GRAYTEXT));
  HBRUSH face = CreateSolidBrush(state->pushed ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW));
  int saved = SaveDC(dc);
  SelectObject(dc, pen);
  SelectObject(dc, face);
  if (radio) {
    Ellipse(dc, box.left, box.top, box.right, box.bottom);
    if (state->check == BST_CHECKED) {
      SelectObject(dc, GetStockObject(BLACK_BRUSH));
      Ellipse(dc, box.left + 4, box.top + 4, box.right - 4, box.bottom - 4);
    }
  } else {
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    if (state->check == BST_CHECKED) {
      // A tick of two strokes, two pixels thick.
      for (int d = 0; d < 2; ++d) {
        MoveToEx(dc, box.left + 3, box.top + 6 + d, nullptr);
        LineTo(dc, box.left + 5, box.top + 8 + d);
        LineTo(dc, box.left + 10, box.top + 3 + d);
      }
    } else if (state->check == BST_INDETERMINATE) {
      RECT mark{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3};
      FillSolid(dc, mark, GetSysColor(COLOR_GRAYTEXT));
    }
  }
  RestoreDC(dc, saved);
  DeleteObject(pen);
  DeleteObject(face);
  RECT textRect{box.right + 4, client.top, client.right, client.bottom};
  DcFontScope font(dc, button);
  DrawLabel(dc, WindowText(button), textRect, DT_LEFT,
            enabled ? textColor : GetSysColor(COLOR_GRAYTEXT));
  if (GetFocus() == button) {
    SIZE extent;
    std::u16string text = WindowText(button);
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    RECT focus{textRect.left - 1, client.top + 1,
               std::min<LONG>(client.right, textRect.left + extent.cx + 1), client.bottom - 1};
    DrawFocusRect(dc, &focus);
  }
}

void OnPaint(HWND button, ButtonState* state) {
  PaintScope paint(button);
  RECT client;
  GetClientRect(button, &client);
  DWORD kind = Kind(button);
  if (kind == BS_OWNERDRAW) {
    DrawOwner(button, state, paint.Dc(), client);
  } else if (IsCheckKind(kind)) {
    DrawCheck(button, state, paint.Dc(), client, false);
  } else if (IsRadioKind(kind)) {
    DrawCheck(button, state, paint.Dc(), client, true);
  } else if (kind == BS_GROUPBOX) {
    HBRUSH background = ParentColors(button, paint.Dc(), WM_CTLCOLORSTATIC);
    FillRect(paint.Dc(), &client, background);
    RECT frame{client.left, client.top + 6, client.right, client.bottom};
    FrameSolid(paint.Dc(), frame, GetSysColor(COLOR_BTNSHADOW));
    DcFontScope font(paint.Dc(), button);
    RECT textRect{client.left + 6, client.top, client.right - 6, client.top + 13};
    SetBkMode(paint.Dc(), OPAQUE);
    std::u16string text = WindowText(button);
    DrawText(paint.Dc(), text.c_str(), static_cast<int>(text.size()), &textRect,
             DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  } else {
    DrawPush(button, state, paint.Dc(), client);
  }
}

void OnLButtonDown(HWND button, ButtonState* state) {
  if (!IsWindowEnabled(button)) return;
  DWORD kind = Kind(button);
  if (kind == BS_GROUPBOX) return;
  if (GetFocus() != button) SetFocus(button);
  SetCapture(button);
  state->tracking = true;
  SetPushed(button, state, true);
}

void OnMouseMove(HWND button, ButtonState* state, LPARAM lParam) {
  if (!state->tracking) return;
  RECT client;
  GetClientRect(button, &client);
  SetPushed(button, state, PtInRect(&client, PointFromLParam(lParam)) != FALSE);
}

void OnLButtonUp(HWND button, ButtonState* state, LPARAM lParam) {
  if (!state->tracking) return;
  RECT client;
  GetClientRect(button, &client);
  bool inside = PtInRect(&client, PointFromLParam(lParam)) != FALSE;
  CancelTracking(button, state);
  if (inside && IsWindow(button)) Click(button);
}

LRESULT DlgCode(HWND button) {
  DWORD kind = Kind(button);
  if (kind == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
  if (kind == BS_PUSHBUTTON || kind == BS_OWNERDRAW) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
  if (IsRadioKind(kind)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
  if (kind == BS_GROUPBOX) return DLGC_STATIC;
  return DLGC_BUTTON;
}

LRESULT SetCheck(HWND button, ButtonState* state, WPARAM check) {
  DWORD kind = Kind(button);
  if (!IsCheckKind(kind) && !IsRadioKind(kind)) return 0;
  if (check > BST_INDETERMINATE) check = BST_CHECKED;
  if (state->check != check) {
    state->check = check;
    InvalidateRect(button, nullptr, FALSE);
  }
  // A checked radio button becomes a tab stop of its group.
  if (kind == BS_AUTORADIOBUTTON) {
    LONG style = GetWindowLong(button, GWL_STYLE);
    SetWindowLong(button, GWL_STYLE, check == BST_CHECKED ? (style | WS_TABSTOP) : (style & ~static_cast<LONG>(WS_TABSTOP)));
  }
  return 0;
}

LRESULT HandleMessage(HWND button, ButtonState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnLButtonDown(button, state);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(button, state, lParam);
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(button, state, lParam);
      return 0;
    case WM_CAPTURECHANGED:
      if (state->tracking && reinterpret_cast<HWND>(lParam) != button) {
        state->tracking = false;
        SetPushed(button, state, false);
      }
      return 0;
    case WM_CANCELMODE:
      CancelTracking(button, state);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && IsWindowEnabled(button)) {
        state->spaceDown = true;
        SetPushed(button, state, true);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && state->spaceDown) {
        state->spaceDown = false;
        SetPushed(button, state, false);
        Click(button);
      }
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (message == WM_KILLFOCUS) CancelTracking(button, state);
      InvalidateRect(button, nullptr, FALSE);
      if ((GetWindowLong(button, GWL_STYLE) & BS_NOTIFY) != 0) {
        NotifyCommand(button, message == WM_SETFOCUS ? BN_SETFOCUS : BN_KILLFOCUS);
      }
      return 0;
    case WM_ENABLE:
      if (wParam == FALSE) CancelTracking(button, state);
      InvalidateRect(button, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProc(button, message, wParam, lParam);
      InvalidateRect(button, nullptr, FALSE);
      return result;
    }
    case WM_GETDLGCODE:
      return DlgCode(button);
    case BM_GETCHECK:
      return static_cast<LRESULT>(state->check);
    case BM_SETCHECK:
      return SetCheck(button, state, wParam);
    case BM_GETSTATE:
      return static_cast<LRESULT>(state->check) | (state->pushed ? BST_PUSHED : 0) |
             (GetFocus() == button ? BST_FOCUS : 0);
    case BM_SETSTATE:
      SetPushed(button, state, wParam != 0);
      return 0;
    case BM_SETSTYLE: {
      LONG style = GetWindowLong(button, GWL_STYLE);
      SetWindowLong(button, GWL_STYLE, static_cast<LONG>((static_cast<DWORD>(style) & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK)));
      if (lParam != 0) InvalidateRect(button, nullptr, FALSE);
      return 0;
    }
    case BM_CLICK:
      if (IsWindowEnabled(button)) Click(button);
      return 0;
    case WM_SETFONT:
    case WM_GETFONT:
      return HandleFontMessage(button, state, message, wParam, lParam);
    default:
      return DefWindowProc(button, message, wParam, lParam);
  }
}

}  // namespace

WNDPROC ButtonProcedure() { return ControlProc<ButtonState, OnPaint, HandleMessage>; }

bool IsDlgButtonClass(HWND window) { return StateOf<ButtonState>(window) != nullptr; }

WPARAM ButtonCheckState(HWND window) {
  auto* state = StateOf<ButtonState>(window);
  return state != nullptr ? state->check : BST_UNCHECKED;
}

}  // namespace ce::detail
