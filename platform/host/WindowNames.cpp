#include "platform/host/detail/WindowNames.h"

#include "platform/controls/CommonControls.h"
#include "platform/framework/Dialog.h"
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
  // The framework's dialogs know their template.
  auto* dialog = dynamic_cast<Dialog*>(Window::FromHandle(window));
  if (dialog == nullptr || dialog->Handle() != window) return {};
  std::string number = std::to_string(dialog->TemplateId());
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
