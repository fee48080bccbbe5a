#include "platform/controls/CommonControls.h"

#include <mutex>

#include "platform/controls/ControlMessages.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/Window.h"

namespace ce {

namespace {

// Default answers to the colour messages a parent did not handle: the
// system colours of the window, text and scroll bar.
LRESULT DefaultControlColor(HWND /*window*/, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  auto dc = reinterpret_cast<HDC>(wParam);
  if (message == WM_CTLCOLORSCROLLBAR) {
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
  }
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

// The controls' answers to the colour messages, installed when the layer is
// loaded, before any control can send one.
struct ColorDefaults {
  ColorDefaults() {
    for (UINT message : {WM_CTLCOLORMSGBOX, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
                         WM_CTLCOLORDLG, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC}) {
      SetDefaultMessageHandler(message, DefaultControlColor);
    }
  }
} const colorDefaults;

void Register(const char16_t* name, WNDPROC proc, int extraBytes, UINT style) {
  WNDCLASS wndClass;
  wndClass.style = style | CS_GLOBALCLASS;
  wndClass.lpfnWndProc = proc;
  wndClass.cbWndExtra = extraBytes;
  wndClass.lpszClassName = name;
  RegisterClass(&wndClass);
}

}  // namespace

void InitCommonControls() {
  static std::once_flag once;
  std::call_once(once, [] {
    Register(WC_BUTTON, detail::ButtonProcedure(), 0, CS_DBLCLKS);
    Register(WC_STATIC, detail::StaticProcedure(), 0, 0);
    Register(WC_EDIT, detail::EditProcedure(), 0, CS_DBLCLKS);
    Register(WC_COMBOBOX, detail::ComboBoxProcedure(), 0, 0);
    Register(WC_COMBOLBOX, detail::ComboListProcedure(), 0, 0);
    Register(WC_LISTVIEW, detail::ListViewProcedure(), 0, CS_DBLCLKS);
    Register(TRACKBAR_CLASS, detail::TrackbarProcedure(), 0, 0);
    Register(WC_TABCONTROL, detail::TabControlProcedure(), 0, 0);
    Register(WC_SCROLLBAR, detail::ScrollBarProcedure(), 0, 0);
    Register(WC_DIALOG, detail::DialogProcedure(), DLGWINDOWEXTRA, 0);
    Register(WC_POPUPMENU, detail::PopupMenuProcedure(), 0, 0);
  });
}

}  // namespace ce
