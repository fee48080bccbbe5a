// The menus of the process, by handle.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/controls/Menus.h"

namespace ce::detail {

struct MenuItemData {
  UINT flags = 0;  // MF_SEPARATOR, MF_POPUP, MF_GRAYED, MF_DISABLED, MF_CHECKED
  UINT id = 0;
  std::u16string text;
  HMENU submenu = nullptr;
};

// A copy of a menu's items for drawing and choosing (the menu may change
// while it is shown).
std::vector<MenuItemData> MenuItemsOf(HMENU menu);

}  // namespace ce::detail
