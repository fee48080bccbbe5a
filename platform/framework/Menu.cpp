#include "platform/framework/Menu.h"

#include "platform/controls/Resources.h"
#include "platform/framework/Application.h"

namespace ce {

Menu::~Menu() { DestroyMenu(); }

bool Menu::LoadMenu(UINT id) {
  DestroyMenu();
  menu_ = ce::LoadMenu(FrameworkResourceHandle(), MAKEINTRESOURCE(id));
  owned_ = menu_ != nullptr;
  return menu_ != nullptr;
}

bool Menu::CreatePopupMenu() {
  DestroyMenu();
  menu_ = ce::CreatePopupMenu();
  owned_ = menu_ != nullptr;
  return menu_ != nullptr;
}

void Menu::Borrow(HMENU menu) {
  DestroyMenu();
  menu_ = menu;
  owned_ = false;
}

void Menu::DestroyMenu() {
  if (owned_ && menu_ != nullptr) ce::DestroyMenu(menu_);
  menu_ = nullptr;
  owned_ = false;
}

}  // namespace ce
