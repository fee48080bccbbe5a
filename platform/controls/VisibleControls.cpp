#include "platform/controls/VisibleControls.h"

#include <mutex>

#include "platform/controls/Button.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/window/Focus.h"

namespace ce {

namespace {

std::mutex& HookMutex() {
  static std::mutex mutex;
  return mutex;
}

ModalHook& Hook() {
  static ModalHook* hook = new ModalHook;
  return *hook;
}

void Collect(HWND window, std::vector<VisibleControl>* out) {
  if (!IsWindowVisible(window)) return;
  if (detail::PopupMenuItems(window, out)) return;
  VisibleControl entry;
  entry.window = window;
  entry.id = (GetWindowLong(window, GWL_STYLE) & WS_CHILD) != 0 ? GetDlgCtrlID(window) : 0;
  char16_t className[64] = {};
  GetClassName(window, className, 64);
  entry.className = className;
  if (!detail::EditShownText(window, &entry.text)) entry.text = GetWindowTextString(window);
  GetWindowRect(window, &entry.screenRect);
  entry.enabled = IsWindowEnabled(window) != FALSE;
  entry.checked = detail::IsDlgButtonClass(window) && detail::ButtonCheckState(window) == BST_CHECKED;
  entry.focused = GetFocus() == window;
  out->push_back(entry);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    Collect(child, out);
  }
}

}  // namespace

std::vector<VisibleControl> ListVisibleControls(HWND topLevel) {
  std::vector<VisibleControl> controls;
  if (IsWindow(topLevel)) Collect(topLevel, &controls);
  return controls;
}

bool FindVisibleControl(HWND topLevel, int id, VisibleControl* found) {
  for (const VisibleControl& control : ListVisibleControls(topLevel)) {
    if (control.id == id && control.enabled && control.window != topLevel) {
      if (found != nullptr) *found = control;
      return true;
    }
    if (control.id == id && control.className == u"MenuItem" && control.enabled) {
      if (found != nullptr) *found = control;
      return true;
    }
  }
  return false;
}

ModalHook SetModalHook(ModalHook hook) {
  std::lock_guard lock(HookMutex());
  ModalHook previous = std::move(Hook());
  Hook() = std::move(hook);
  return previous;
}

namespace detail {

void CallModalHook(HWND window, ModalKind kind) {
  ModalHook hook;
  {
    std::lock_guard lock(HookMutex());
    hook = Hook();
  }
  if (hook) hook(window, kind);
}

}  // namespace detail

}  // namespace ce
