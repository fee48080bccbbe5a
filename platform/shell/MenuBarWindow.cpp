// The menu bar window: every top-level entry of its menu drawn as a key of
// the bar at the bottom of the screen, their popups and commands.
#include <algorithm>
#include <vector>

#include "platform/controls/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/MenuBar.h"
#include "platform/shell/Shell.h"
#include "platform/shell/detail/ShellWindows.h"
#include "platform/window/Focus.h"
#include "platform/window/Paint.h"

namespace ce {

namespace detail {

namespace {

constexpr COLORREF kBarColor = RGB(24, 56, 104);
constexpr COLORREF kPressedColor = RGB(70, 120, 190);
constexpr COLORREF kTextColor = RGB(255, 255, 255);
constexpr COLORREF kDisabledTextColor = RGB(130, 145, 170);
constexpr COLORREF kDividerColor = RGB(90, 115, 150);

// What SHCreateMenuBar hands to the new window.
struct MenuBarSpec {
  HWND commandTarget = nullptr;
  UINT resourceId = 0;
  HMENU menu = nullptr;
  bool colorSet = false;
  COLORREF color = 0;
};

// The bar is divided evenly between its keys.
int KeyCount(const MenuBarState* state) { return static_cast<int>(MenuBarKeysOf(state->menu).size()); }

int KeyAt(HWND window, const MenuBarState* state, LPARAM lParam) {
  RECT client;
  GetClientRect(window, &client);
  int x = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
  int y = static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)));
  int count = KeyCount(state);
  if (count == 0 || x < 0 || y < 0 || x >= client.right || y >= client.bottom) return -1;
  return std::min(count - 1, x * count / std::max(1, static_cast<int>(client.right)));
}

RECT KeyRect(HWND window, int index, int count) {
  RECT client;
  GetClientRect(window, &client);
  return RECT{client.right * index / count, 0, client.right * (index + 1) / count, client.bottom};
}

void Paint(HWND window, MenuBarState* state) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  COLORREF back = state->colorSet ? state->color : kBarColor;
  HBRUSH brush = CreateSolidBrush(back);
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  std::vector<SoftKey> keys = MenuBarKeysOf(state->menu);
  int count = static_cast<int>(keys.size());
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < count; ++i) {
    const SoftKey& key = keys[static_cast<size_t>(i)];
    if (!key.present) continue;
    RECT rect = KeyRect(window, i, count);
    if (state->pressed == i || state->tracking == i) {
      HBRUSH pressed = CreateSolidBrush(kPressedColor);
      FillRect(dc, &rect, pressed);
      DeleteObject(pressed);
    }
    SetTextColor(dc, key.enabled ? kTextColor : kDisabledTextColor);
    DrawText(dc, key.text.c_str(), static_cast<int>(key.text.size()), &rect,
             DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    // A divider between two keys that are both there.
    if (i > 0 && keys[static_cast<size_t>(i - 1)].present) {
      RECT divider{rect.left, 5, rect.left + 1, client.bottom - 5};
      HBRUSH line = CreateSolidBrush(kDividerColor);
      FillRect(dc, &divider, line);
      DeleteObject(line);
    }
  }
  SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

void SetPressed(HWND window, MenuBarState* state, int pressed) {
  if (state->pressed == pressed) return;
  state->pressed = pressed;
  InvalidateRect(window, nullptr, TRUE);
}

// Opens the key's popup above the bar (returning when it closes) or sends
// its command.
void Press(HWND window, int index) {
  MenuBarState* state = MenuBarStateOf(window);
  if (state == nullptr || index < 0 || index >= KeyCount(state)) return;
  int count = KeyCount(state);
  SoftKey key = MenuBarKeysOf(state->menu)[static_cast<size_t>(index)];
  if (!key.present || !key.enabled) return;
  if (state->tracking >= 0) {
    // A press while a popup is open closes it; the other key then opens its own.
    if (state->tracking != index) PostMessage(window, kMsgSoftKey, static_cast<WPARAM>(index), 0);
    EndMenu();
    return;
  }
  if (key.popup == nullptr) {
    PostMessage(state->commandTarget, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(key.command), 0), 0);
    return;
  }
  state->tracking = index;
  InvalidateRect(window, nullptr, TRUE);
  RECT bar{};
  GetWindowRect(window, &bar);
  // Popups of the right half open leftwards from their key's right edge.
  RECT keyRect = KeyRect(window, index, count);
  bool leftHalf = 2 * index + 1 < count || (count == 1);
  UINT align = TPM_BOTTOMALIGN | (leftHalf ? TPM_LEFTALIGN : TPM_RIGHTALIGN);
  int x = bar.left + (leftHalf ? keyRect.left : keyRect.right);
  TrackPopupMenu(key.popup, align, x, bar.top, 0, state->commandTarget, nullptr);
  // The menu's loop may have destroyed the bar.
  state = MenuBarStateOf(window);
  if (state == nullptr) return;
  state->tracking = -1;
  state->pressed = -1;
  InvalidateRect(window, nullptr, TRUE);
}

LRESULT OnCreate(HWND window, LPARAM lParam) {
  auto* create = reinterpret_cast<CREATESTRUCT*>(lParam);
  auto* spec = static_cast<MenuBarSpec*>(create->lpCreateParams);
  auto state = std::make_unique<MenuBarState>();
  if (spec != nullptr) {
    state->commandTarget = spec->commandTarget;
    state->resourceId = spec->resourceId;
    state->menu = spec->menu;
    state->colorSet = spec->colorSet;
    state->color = spec->color;
    spec->menu = nullptr;  // the window owns it now
  }
  return SetWindowExtra(window, typeid(ShellState), std::move(state)) ? 0 : -1;
}

LRESULT OnButtonDown(HWND window, MenuBarState* state, LPARAM lParam) {
  SetCapture(window);
  SetPressed(window, state, KeyAt(window, state, lParam));
  return 0;
}

LRESULT OnButtonUp(HWND window, MenuBarState* state, LPARAM lParam) {
  if (GetCapture() == window) ReleaseCapture();
  int pressed = state->pressed;
  SetPressed(window, state, -1);
  if (pressed >= 0 && pressed == KeyAt(window, state, lParam)) Press(window, pressed);
  return 0;
}

LRESULT OnGetSubMenu(MenuBarState* state, LPARAM lParam) {
  std::vector<SoftKey> keys = MenuBarKeysOf(state->menu);
  if (lParam >= 0 && static_cast<size_t>(lParam) < keys.size()) {
    return reinterpret_cast<LRESULT>(keys[static_cast<size_t>(lParam)].popup);
  }
  for (const SoftKey& key : keys) {
    if (key.popup != nullptr &&
        GetMenuState(key.popup, static_cast<UINT>(lParam), MF_BYCOMMAND) != kMenuItemMissing) {
      return reinterpret_cast<LRESULT>(key.popup);
    }
  }
  return 0;
}

LRESULT MenuBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return OnCreate(window, lParam);
  MenuBarState* state = MenuBarStateOf(window);
  if (state == nullptr) return DefWindowProc(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      Paint(window, state);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      return OnButtonDown(window, state, lParam);
    case WM_MOUSEMOVE:
      if (GetCapture() == window) SetPressed(window, state, KeyAt(window, state, lParam));
      return 0;
    case WM_LBUTTONUP:
      return OnButtonUp(window, state, lParam);
    case kMsgSoftKey:
      Press(window, static_cast<int>(wParam));
      return 0;
    case SHCMBM_GETMENU:
      return reinterpret_cast<LRESULT>(state->menu);
    case SHCMBM_GETSUBMENU:
      return OnGetSubMenu(state, lParam);
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

MenuBarState::~MenuBarState() {
  if (menu != nullptr) DestroyMenu(menu);
}

MenuBarState* MenuBarStateOf(HWND window) {
  return dynamic_cast<MenuBarState*>(GetWindowExtra(window, typeid(ShellState)));
}

bool IsMenuBarWindow(HWND window) { return MenuBarStateOf(window) != nullptr; }

std::vector<SoftKey> MenuBarKeysOf(HMENU menu) {
  std::vector<SoftKey> keys;
  if (menu == nullptr || !IsMenu(menu)) return keys;
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    UINT position = static_cast<UINT>(i);
    SoftKey key;
    key.present = true;
    key.text = GetMenuText(menu, position, MF_BYPOSITION);
    key.popup = GetSubMenu(menu, i);
    UINT flags = GetMenuState(menu, position, MF_BYPOSITION);
    key.enabled = flags == kMenuItemMissing || (flags & (MF_GRAYED | MF_DISABLED)) == 0;
    if (key.popup == nullptr) key.command = GetMenuItemID(menu, i);
    keys.push_back(key);
  }
  // A lone popup is the menu, which the handset keeps on the right key.
  if (count == 1 && keys[0].popup != nullptr) keys.insert(keys.begin(), SoftKey{});
  return keys;
}

int SoftKeyPosition(const std::vector<SoftKey>& keys, int softKey) {
  if (keys.empty() || (softKey != 0 && softKey != 1)) return -1;
  return softKey == 0 ? 0 : static_cast<int>(keys.size()) - 1;
}

bool RegisterMenuBarClass() {
  WNDCLASS bar;
  bar.lpfnWndProc = MenuBarProc;
  bar.lpszClassName = kMenuBarClass;
  return RegisterClass(&bar) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateMenuBarWindow(const MenuBarSpec& input, HWND owner, bool visible) {
  if (!RegisterShellClasses()) return nullptr;
  MenuBarSpec spec = input;
  RECT rect = MenuBarRect();
  HWND bar = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kMenuBarClass, u"",
                            WS_POPUP | (visible ? WS_VISIBLE : 0), rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, owner, nullptr,
                            nullptr, &spec);
  // A menu the window did not take is still the caller's to free.
  if (bar == nullptr && spec.menu != nullptr) DestroyMenu(spec.menu);
  return bar;
}

HWND CreateEmptyMenuBar(HWND owner, bool visible) {
  return CreateMenuBarWindow(MenuBarSpec{}, owner, visible);
}

}  // namespace detail

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
  if (info == nullptr || info->cbSize != sizeof(SHMENUBARINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  info->hwndMB = nullptr;
  if (!IsWindow(info->hwndParent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  detail::MenuBarSpec spec;
  spec.commandTarget = info->hwndParent;
  spec.colorSet = (info->dwFlags & SHCMBF_COLORBK) != 0;
  spec.color = info->clrBk;
  if ((info->dwFlags & SHCMBF_EMPTYBAR) == 0) {
    spec.resourceId = info->nToolBarId;
    spec.menu = LoadMenu(info->hInstRes, MAKEINTRESOURCE(info->nToolBarId));
    if (spec.menu == nullptr) {
      SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
      return FALSE;
    }
  }
  HWND bar = detail::CreateMenuBarWindow(spec, info->hwndParent,
                                         (info->dwFlags & SHCMBF_HIDDEN) == 0);
  if (bar == nullptr) return FALSE;
  info->hwndMB = bar;
  return TRUE;
}

}  // namespace ce
