// The control classes of the platform. Every class is registered by
// InitCommonControls (dialogs, menus and message boxes call it themselves);
// code that creates controls with CreateWindowEx calls it first.
#pragma once

#include "platform/base/Types.h"

namespace ce {

inline constexpr char16_t WC_BUTTON[] = u"BUTTON";
inline constexpr char16_t WC_STATIC[] = u"STATIC";
inline constexpr char16_t WC_EDIT[] = u"EDIT";
inline constexpr char16_t WC_COMBOBOX[] = u"COMBOBOX";
inline constexpr char16_t WC_LISTVIEW[] = u"SysListView32";
inline constexpr char16_t TRACKBAR_CLASS[] = u"msctls_trackbar32";
inline constexpr char16_t WC_TABCONTROL[] = u"SysTabControl32";
inline constexpr char16_t WC_SCROLLBAR[] = u"SCROLLBAR";
inline constexpr char16_t WC_DIALOG[] = u"#32770";
// The window of an open popup menu and the drop-down list of a combo box.
inline constexpr char16_t WC_POPUPMENU[] = u"#32768";
inline constexpr char16_t WC_COMBOLBOX[] = u"ComboLBox";

// Registers every control class once per process; safe to call again.
void InitCommonControls();

}  // namespace ce
