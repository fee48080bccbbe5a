// Keyboard navigation in dialogs: tab order, groups, the default button and
// Escape.
#include <vector>

#include "platform/base/MessageBox.h"
#include "platform/controls/Button.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/DialogState.h"
#include "platform/window/Focus.h"
#include "platform/window/Keys.h"

namespace ce {

namespace {

// Shown (by its own style; the dialog itself may still be hidden) and enabled.
bool Usable(HWND window) {
  return (GetWindowLong(window, GWL_STYLE) & WS_VISIBLE) != 0 && IsWindowEnabled(window);
}

// Tab stops in tab order; child dialogs (WS_EX_CONTROLPARENT) are entered.
void CollectTabStops(HWND parent, std::vector<HWND>* stops) {
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!Usable(child)) continue;
    if ((GetWindowLong(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0) {
      CollectTabStops(child, stops);
    } else if ((GetWindowLong(child, GWL_STYLE) & WS_TABSTOP) != 0) {
      stops->push_back(child);
    }
  }
}

// The control of the dialog tree that holds the window (a combo box for its
// text field).
HWND ControlOf(HWND dialog, HWND window) {
  while (window != nullptr && window != dialog) {
    HWND parent = GetParent(window);
    if (parent == dialog || (parent != nullptr && detail::DialogStateOf(parent) != nullptr)) return window;
    window = parent;
  }
  return nullptr;
}

void FocusControl(HWND control) {
  SetFocus(control);
  if ((SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
    SendMessage(control, 0x00B1 /* EM_SETSEL */, 0, -1);
  }
}

void PressDefault(HWND control) {
  HWND dialog = detail::NearestDialog(control);
  if (dialog == nullptr) return;
  LRESULT code = SendMessage(control, WM_GETDLGCODE, 0, 0);
  HWND button = nullptr;
  int id = 0;
  if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0) {
    button = control;
    id = GetDlgCtrlID(control);
  } else {
    LRESULT defId = SendMessage(dialog, DM_GETDEFID, 0, 0);
    id = HIWORD(static_cast<uintptr_t>(defId)) == DC_HASDEFID ? LOWORD(static_cast<uintptr_t>(defId)) : IDOK;
    button = GetDlgItem(dialog, id);
  }
  if (button != nullptr && !IsWindowEnabled(button)) return;
  SendMessage(dialog, WM_COMMAND, MakeCommandWParam(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool Navigate(HWND dialog, HWND focus, WPARAM key, LRESULT code) {
  HWND control = ControlOf(dialog, focus);
  switch (key) {
    case VK_TAB: {
      if ((code & DLGC_WANTTAB) != 0) return false;
      HWND next = GetNextDlgTabItem(dialog, control, FALSE);
      if (next != nullptr) FocusControl(next);
      return true;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
      if ((code & DLGC_WANTARROWS) != 0 || control == nullptr) return false;
      HWND next = GetNextDlgGroupItem(GetParent(control), control, key == VK_LEFT || key == VK_UP);
      if (next == nullptr || next == control) return true;
      FocusControl(next);
      if ((SendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0 &&
          (GetWindowLong(next, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
        SendMessage(next, BM_CLICK, 0, 0);
      }
      return true;
    }
    case VK_RETURN:
      PressDefault(focus != nullptr ? focus : dialog);
      return true;
    case VK_ESCAPE: {
      HWND target = detail::NearestDialog(focus != nullptr ? focus : dialog);
      if (target == nullptr) target = dialog;
      SendMessage(target, WM_COMMAND, MakeCommandWParam(IDCANCEL, BN_CLICKED),
                  reinterpret_cast<LPARAM>(GetDlgItem(target, IDCANCEL)));
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

BOOL IsDialogMessage(HWND dialog, MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr || dialog == nullptr) return FALSE;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
  if (msg->message == WM_KEYDOWN) {
    LRESULT code = SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    if ((code & DLGC_WANTALLKEYS) == 0 && Navigate(dialog, msg->hwnd, msg->wParam, code)) return TRUE;
  }
  TranslateMessage(msg);
  DispatchMessage(msg);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> stops;
  CollectTabStops(dialog, &stops);
  if (stops.empty()) return nullptr;
  if (control == nullptr) return previous ? stops.back() : stops.front();
  size_t at = stops.size();
  for (size_t i = 0; i < stops.size(); ++i) {
    if (stops[i] == control || IsChild(stops[i], control)) at = i;
  }
  if (at == stops.size()) {
    // Not a tab stop itself: continue from the tab stop before it in tree order.
    return previous ? stops.back() : stops.front();
  }
  size_t next = previous ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
  return stops[next];
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (control == nullptr) return nullptr;
  HWND parent = GetParent(control);
  if (parent == nullptr) return nullptr;
  (void)dialog;
  // The group: from the last WS_GROUP sibling at or before control up to the
  // next WS_GROUP sibling.
  std::vector<HWND> siblings;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    siblings.push_back(child);
  }
  size_t at = 0;
  while (at < siblings.size() && siblings[at] != control) ++at;
  if (at == siblings.size()) return nullptr;
  size_t first = at;
  while (first > 0 && (GetWindowLong(siblings[first], GWL_STYLE) & WS_GROUP) == 0) --first;
  size_t end = at + 1;
  while (end < siblings.size() && (GetWindowLong(siblings[end], GWL_STYLE) & WS_GROUP) == 0) ++end;
  size_t count = end - first;
  for (size_t step = 1; step < count; ++step) {
    size_t index = previous ? first + (at - first + count - step) % count : first + (at - first + step) % count;
    if (Usable(siblings[index])) return siblings[index];
  }
  return control;
}

}  // namespace ce
