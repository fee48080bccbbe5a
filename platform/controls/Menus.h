// Menus: popup menus with items, separators and submenus, loaded from
// resources or built in code, and shown at a point with TrackPopupMenu.
//
// A chosen command reaches the owner window as WM_COMMAND (low word the
// command id, high word 0, lParam 0), posted after TrackPopupMenu returns;
// with TPM_RETURNCMD it is returned instead. Grayed items cannot be chosen.
#pragma once

#include <string>

#include "platform/base/Types.h"
#include "platform/controls/ResourceSet.h"
#include "platform/window/Window.h"

namespace ce {

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_SEPARATOR = 0x0800;

constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// Result of EnableMenuItem / CheckMenuItem / GetMenuState for a missing item.
constexpr UINT kMenuItemMissing = 0xFFFFFFFFu;

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and its submenus.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
// The menu of a resource: its items (for the popups of a menu bar, its
// submenus). Null when missing.
HMENU LoadMenu(HINSTANCE module, LPCWSTR name);
HMENU LoadMenuIndirect(const MenuTemplate* menu);

// flags: MF_STRING / MF_SEPARATOR / MF_POPUP (id is then the submenu) with
// MF_GRAYED, MF_CHECKED.
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text);
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCWSTR text);
// Both search submenus when MF_BYCOMMAND. RemoveMenu keeps a submenu alive
// (the caller owns it then); DeleteMenu destroys it.
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
// Return the previous MF_GRAYED|MF_DISABLED or MF_CHECKED bits, or
// kMenuItemMissing.
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
UINT CheckMenuItem(HMENU menu, UINT item, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);
// The command of the item at position; -1 for a submenu or a missing item,
// 0 for a separator.
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuString(HMENU menu, UINT item, LPWSTR buffer, int bufferMax, UINT flags);
std::u16string GetMenuText(HMENU menu, UINT item, UINT flags);

// Shows the menu at the screen point until the user chooses an item or
// dismisses it (a tap outside, Escape). The owner gets WM_INITMENUPOPUP
// first (unless TPM_NONOTIFY). Returns the command with TPM_RETURNCMD (0
// when dismissed), otherwise TRUE when a command was chosen.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* excluded);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const void* params);
// Dismisses the open popup menu of this thread, if any.
BOOL EndMenu();

}  // namespace ce
