// Internal: how scripts and the transcript name windows.
#pragma once

#include <string>

#include "platform/base/Types.h"

namespace ce::detail {

// The template a dialog window was made from, as text ("135"); empty when
// it is not known (dialogs made in code, message boxes).
std::u16string DialogTemplateOf(HWND window);
// The nearest window holding `window` (itself included) that was made from
// a known template, or null.
HWND NearestTemplateDialog(HWND window, std::u16string* name);
// What "show" and "hide" call a window: a dialog's template, or the class
// name of a program's own top-level window; empty for the windows they do
// not report (controls, the shell's bars, menus, message boxes).
std::u16string ReportedName(HWND window);

}  // namespace ce::detail
