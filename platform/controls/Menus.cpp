// Menu objects: items, submenus, states, and loading from resources.
#include "platform/controls/Menus.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "platform/controls/Resources.h"
#include "platform/controls/detail/MenuTable.h"

namespace ce {

namespace {

using detail::MenuItemData;

struct MenuObject {
  bool popup = true;
  std::vector<MenuItemData> items;
};

class MenuTable {
 public:
  static MenuTable& Get() {
    static MenuTable* table = new MenuTable;
    return *table;
  }

  std::recursive_mutex mutex_;
  std::map<HMENU, std::unique_ptr<MenuObject>> menus_;
  uintptr_t counter_ = 0;

  HMENU Create(bool popup) {
    std::lock_guard lock(mutex_);
    auto handle = reinterpret_cast<HMENU>(++counter_ << 4);
    auto menu = std::make_unique<MenuObject>();
    menu->popup = popup;
    menus_[handle] = std::move(menu);
    return handle;
  }

  MenuObject* Find(HMENU handle) {
    auto it = menus_.find(handle);
    return it != menus_.end() ? it->second.get() : nullptr;
  }

  void Destroy(HMENU handle) {
    MenuObject* menu = Find(handle);
    if (menu == nullptr) return;
    std::vector<HMENU> submenus;
    for (const MenuItemData& item : menu->items) {
      if (item.submenu != nullptr) submenus.push_back(item.submenu);
    }
    menus_.erase(handle);
    for (HMENU sub : submenus) Destroy(sub);
  }

  // The menu and index of an item; by command, submenus are searched too.
  bool Locate(HMENU handle, UINT item, UINT flags, MenuObject** owner, size_t* index, int depth = 0) {
    MenuObject* menu = Find(handle);
    if (menu == nullptr || depth > 16) return false;
    if ((flags & MF_BYPOSITION) != 0) {
      if (item >= menu->items.size()) return false;
      *owner = menu;
      *index = item;
      return true;
    }
    for (size_t i = 0; i < menu->items.size(); ++i) {
      const MenuItemData& entry = menu->items[i];
      if (entry.submenu == nullptr && (entry.flags & MF_SEPARATOR) == 0 && entry.id == item) {
        *owner = menu;
        *index = i;
        return true;
      }
    }
    for (const MenuItemData& entry : menu->items) {
      if (entry.submenu != nullptr && Locate(entry.submenu, item, flags, owner, index, depth + 1)) return true;
    }
    return false;
  }
};

MenuItemData MakeItem(UINT flags, UINT_PTR id, LPCWSTR text) {
  MenuItemData item;
  item.flags = flags & (MF_SEPARATOR | MF_POPUP | MF_GRAYED | MF_DISABLED | MF_CHECKED);
  if ((flags & MF_POPUP) != 0) {
    item.submenu = reinterpret_cast<HMENU>(id);
  } else {
    item.id = static_cast<UINT>(id);
  }
  if ((flags & MF_SEPARATOR) == 0 && text != nullptr) item.text = text;
  return item;
}

HMENU Build(const std::vector<MenuItemTemplate>& items, bool popup, int depth) {
  HMENU menu = MenuTable::Get().Create(popup);
  if (depth > 16) return menu;
  for (const MenuItemTemplate& item : items) {
    if ((item.flags & MF_POPUP) != 0) {
      HMENU sub = Build(item.children, true, depth + 1);
      AppendMenu(menu, MF_POPUP | (item.flags & (MF_GRAYED | MF_DISABLED)), reinterpret_cast<UINT_PTR>(sub), item.text.c_str());
    } else if ((item.flags & MF_SEPARATOR) != 0) {
      AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenu(menu, MF_STRING | (item.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED)), item.id, item.text.c_str());
    }
  }
  return menu;
}

}  // namespace

namespace detail {

std::vector<MenuItemData> MenuItemsOf(HMENU handle) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  MenuObject* menu = table.Find(handle);
  return menu != nullptr ? menu->items : std::vector<MenuItemData>();
}

}  // namespace detail

HMENU CreateMenu() { return MenuTable::Get().Create(false); }
HMENU CreatePopupMenu() { return MenuTable::Get().Create(true); }

BOOL DestroyMenu(HMENU menu) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  if (table.Find(menu) == nullptr) return FALSE;
  table.Destroy(menu);
  return TRUE;
}

BOOL IsMenu(HMENU menu) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  return table.Find(menu) != nullptr ? TRUE : FALSE;
}

HMENU LoadMenu(HINSTANCE module, LPCWSTR name) {
  return LoadMenuIndirect(FindMenuTemplate(module, ResourceName(name)));
}

HMENU LoadMenuIndirect(const MenuTemplate* menu) {
  if (menu == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return Build(menu->items, false, 0);
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text) {
  return InsertMenu(menu, 0xFFFFFFFFu, flags | MF_BYPOSITION, id, text);
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCWSTR text) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  MenuObject* owner = table.Find(menu);
  size_t index = 0;
  if (owner == nullptr) return FALSE;
  if ((flags & MF_BYPOSITION) != 0) {
    index = std::min<size_t>(position, owner->items.size());
  } else if (!table.Locate(menu, position, flags, &owner, &index)) {
    index = owner->items.size();  // a missing command appends, as on the platform
  }
  if ((flags & MF_POPUP) != 0 && table.Find(reinterpret_cast<HMENU>(id)) == nullptr) return FALSE;
  owner->items.insert(owner->items.begin() + static_cast<std::ptrdiff_t>(index), MakeItem(flags, id, text));
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  MenuObject* owner = nullptr;
  size_t index = 0;
  if (!table.Locate(menu, position, flags, &owner, &index)) return FALSE;
  owner->items.erase(owner->items.begin() + static_cast<std::ptrdiff_t>(index));
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  MenuObject* owner = nullptr;
  size_t index = 0;
  if (!table.Locate(menu, position, flags, &owner, &index)) return FALSE;
  HMENU submenu = owner->items[index].submenu;
  owner->items.erase(owner->items.begin() + static_cast<std::ptrdiff_t>(index));
  if (submenu != nullptr) table.Destroy(submenu);
  return TRUE;
}

namespace {

UINT ChangeFlags(HMENU menu, UINT item, UINT flags, UINT bits) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  MenuObject* owner = nullptr;
  size_t index = 0;
  if (!table.Locate(menu, item, flags, &owner, &index)) return kMenuItemMissing;
  UINT& current = owner->items[index].flags;
  UINT previous = current & bits;
  current = (current & ~bits) | (flags & bits);
  return previous;
}

}  // namespace

UINT EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  return ChangeFlags(menu, item, flags, MF_GRAYED | MF_DISABLED);
}

UINT CheckMenuItem(HMENU menu, UINT item, UINT flags) { return ChangeFlags(menu, item, flags, MF_CHECKED); }

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  MenuObject* owner = nullptr;
  size_t index = 0;
  if (!table.Locate(menu, item, flags, &owner, &index)) return kMenuItemMissing;
  const MenuItemData& entry = owner->items[index];
  if (entry.submenu != nullptr) {
    MenuObject* sub = table.Find(entry.submenu);
    UINT count = sub != nullptr ? static_cast<UINT>(sub->items.size()) : 0;
    return (count << 8) | (entry.flags & 0xFF) | MF_POPUP;
  }
  return entry.flags;
}

int GetMenuItemCount(HMENU menu) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  MenuObject* owner = table.Find(menu);
  return owner != nullptr ? static_cast<int>(owner->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  MenuObject* owner = table.Find(menu);
  if (owner == nullptr || position < 0 || position >= static_cast<int>(owner->items.size())) return kMenuItemMissing;
  const MenuItemData& entry = owner->items[position];
  if (entry.submenu != nullptr) return kMenuItemMissing;
  return entry.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  MenuObject* owner = table.Find(menu);
  if (owner == nullptr || position < 0 || position >= static_cast<int>(owner->items.size())) return nullptr;
  return owner->items[position].submenu;
}

std::u16string GetMenuText(HMENU menu, UINT item, UINT flags) {
  MenuTable& table = MenuTable::Get();
  std::lock_guard lock(table.mutex_);
  MenuObject* owner = nullptr;
  size_t index = 0;
  if (!table.Locate(menu, item, flags, &owner, &index)) return std::u16string();
  return owner->items[index].text;
}

int GetMenuString(HMENU menu, UINT item, LPWSTR buffer, int bufferMax, UINT flags) {
  std::u16string text = GetMenuText(menu, item, flags);
  if (buffer == nullptr || bufferMax <= 0) return static_cast<int>(text.size());
  size_t count = std::min(text.size(), static_cast<size_t>(bufferMax - 1));
  std::copy_n(text.data(), count, buffer);
  buffer[count] = 0;
  return static_cast<int>(count);
}

}  // namespace ce
