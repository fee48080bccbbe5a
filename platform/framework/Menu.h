// A menu of the framework: owns a menu loaded from the resources or made
// empty, or borrows one (a submenu of another).
#pragma once

#include <string>

#include "platform/controls/Menus.h"

namespace ce {

class Menu {
 public:
  Menu() = default;
  ~Menu();
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;

  // Loads the menu resource of the application; false when missing.
  bool LoadMenu(UINT id);
  bool CreatePopupMenu();
  // Borrows a menu the caller keeps alive.
  void Borrow(HMENU menu);
  void DestroyMenu();
  HMENU Handle() const { return menu_; }
  HMENU GetSubMenu(int position) const { return ce::GetSubMenu(menu_, position); }
  UINT EnableMenuItem(UINT item, UINT flags) const { return ce::EnableMenuItem(menu_, item, flags); }
  UINT CheckMenuItem(UINT item, UINT flags) const { return ce::CheckMenuItem(menu_, item, flags); }
  BOOL RemoveMenu(UINT item, UINT flags) const { return ce::RemoveMenu(menu_, item, flags); }
  BOOL DeleteMenu(UINT item, UINT flags) const { return ce::DeleteMenu(menu_, item, flags); }
  BOOL AppendMenu(UINT flags, UINT_PTR id, const std::u16string& text) const {
    return ce::AppendMenu(menu_, flags, id, text.c_str());
  }
  int GetMenuItemCount() const { return ce::GetMenuItemCount(menu_); }
  UINT GetMenuItemID(int position) const { return ce::GetMenuItemID(menu_, position); }
  BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner) const {
    return ce::TrackPopupMenu(menu_, flags, x, y, 0, owner, nullptr);
  }

 private:
  HMENU menu_ = nullptr;
  bool owned_ = false;
};

}  // namespace ce
