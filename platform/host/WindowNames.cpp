#include "platform/host/detail/WindowNames.h"

#include "platform/controls/CommonControls.h"
#include "platform/controls/Dialogs.h"
#include "platform/shell/Shell.h"

namespace ce::detail {

namespace {

std::u16string ClassOf(HWND window) {
  char16_t name[64] = {};
  GetClassName(window, name, 64);
  return name;
}

}  // namespace

std::u16string DialogTemplateOf(HWND window) {
  // Every dialog made from a numbered template, the framework's and those
  // made with CreateDialogParam or DialogBoxParam alike.
  UINT id = GetDialogTemplateId(window);
  if (id == 0) return {};
  std::string number = std::to_string(id);
  return std::u16string(number.begin(), number.end());
}

HWND NearestTemplateDialog(HWND window, std::u16string* name) {
  for (int depth = 0; depth < 256 && window != nullptr; ++depth) {
    std::u16string found = DialogTemplateOf(window);
    if (!found.empty()) {
      if (name != nullptr) *name = found;
      return window;
    }
    if ((GetWindowLong(window, GWL_STYLE) & WS_CHILD) == 0) break;
    window = GetParent(window);
  }
  return nullptr;
}

std::u16string ReportedName(HWND window) {
  std::u16string dialog = DialogTemplateOf(window);
  if (!dialog.empty()) return dialog;
  if ((GetWindowLong(window, GWL_STYLE) & WS_CHILD) != 0 || IsShellWindow(window)) return {};
  std::u16string name = ClassOf(window);
  if (name == WC_DIALOG || name == WC_POPUPMENU || name == WC_COMBOLBOX) return {};
  return name;
}

}  // namespace ce::detail
