// The shell's bars as a whole: starting them, and following the active
// window with the title bar and the menu bar.
#include "platform/shell/Shell.h"

#include <mutex>

#include "platform/controls/CommonControls.h"
#include "platform/controls/Metrics.h"
#include "platform/shell/detail/ShellWindows.h"
#include "platform/window/Focus.h"
#include "platform/window/SystemWindows.h"

namespace ce {

namespace {

struct ShellGlobals {
  std::mutex mutex;
  HWND titleBar = nullptr;
  HWND emptyBar = nullptr;   // shown when the active window has no bar
  HWND activeWindow = nullptr;  // the last program window that was active
  HWND currentBar = nullptr;
  UINT currentBarId = 0;
};

ShellGlobals& Globals() {
  static ShellGlobals* globals = new ShellGlobals;
  return *globals;
}

std::u16string ClassOf(HWND window) {
  char16_t name[64] = {};
  GetClassName(window, name, 64);
  return name;
}

// Windows that never count as the program's active window: the bars
// themselves and the transient windows of menus and combo boxes.
bool IsTransient(HWND window) {
  if (IsShellWindow(window)) return true;
  std::u16string name = ClassOf(window);
  return name == WC_POPUPMENU || name == WC_COMBOLBOX;
}

bool SameRect(HWND window, const RECT& rect) {
  RECT now{};
  GetWindowRect(window, &now);
  return now == rect;
}

void MoveTo(HWND window, const RECT& rect) {
  if (window == nullptr || SameRect(window, rect)) return;
  MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

// Puts a bar above the other bars unless it is there already.
void RaiseAboveBars(HWND bar) {
  for (HWND window : TopLevelWindows()) {
    if (window == bar) return;
    if (detail::IsMenuBarWindow(window) && IsWindowVisible(window)) break;
  }
  SetWindowPos(bar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The topmost visible program bar owned by the window.
HWND BarOwnedBy(HWND owner) {
  if (owner == nullptr) return nullptr;
  for (HWND window : TopLevelWindows()) {
    if (window == Globals().emptyBar || !detail::IsMenuBarWindow(window)) continue;
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == owner) return window;
  }
  return nullptr;
}

}  // namespace

bool StartShell() {
  ShellGlobals& g = Globals();
  {
    std::lock_guard lock(g.mutex);
    if (g.titleBar != nullptr && IsWindow(g.titleBar)) return true;
  }
  if (!detail::RegisterShellClasses()) return false;
  HWND title = detail::CreateTitleBar();
  HWND empty = detail::CreateEmptyMenuBar(nullptr, true);
  if (title == nullptr || empty == nullptr) {
    if (title != nullptr) DestroyWindow(title);
    if (empty != nullptr) DestroyWindow(empty);
    return false;
  }
  std::lock_guard lock(g.mutex);
  g.titleBar = title;
  g.emptyBar = empty;
  g.currentBar = nullptr;
  g.currentBarId = 0;
  return true;
}

void StopShell() {
  ShellGlobals& g = Globals();
  HWND title;
  HWND empty;
  {
    std::lock_guard lock(g.mutex);
    title = g.titleBar;
    empty = g.emptyBar;
    g.titleBar = nullptr;
    g.emptyBar = nullptr;
    g.activeWindow = nullptr;
    g.currentBar = nullptr;
    g.currentBarId = 0;
  }
  if (title != nullptr && IsWindow(title)) DestroyWindow(title);
  if (empty != nullptr && IsWindow(empty)) DestroyWindow(empty);
}

bool ShellStarted() {
  ShellGlobals& g = Globals();
  std::lock_guard lock(g.mutex);
  return g.titleBar != nullptr && IsWindow(g.titleBar);
}

bool UpdateShell() {
  ShellGlobals& g = Globals();
  HWND title;
  HWND empty;
  HWND active = GetActiveWindow();
  bool transient = active != nullptr && IsTransient(active);
  {
    std::lock_guard lock(g.mutex);
    title = g.titleBar;
    empty = g.emptyBar;
    if (transient) active = g.activeWindow;
  }
  if (active != nullptr && !IsWindow(active)) active = nullptr;
  {
    std::lock_guard lock(g.mutex);
    g.activeWindow = active;
  }
  detail::PlaceShellWindows();

  if (title != nullptr && IsWindow(title)) {
    auto* state = active != nullptr ? detail::WindowShellStateOf(active, false) : nullptr;
    bool hideTitle = state != nullptr && state->hideTitleBar;
    bool ok = active != nullptr &&
              (static_cast<DWORD>(GetWindowLong(active, GWL_EXSTYLE)) & WS_EX_CAPTIONOKBTN) != 0;
    detail::SetTitleBarContent(title, active,
                               active != nullptr ? GetWindowTextString(active) : u"", ok);
    if ((IsWindowVisible(title) != FALSE) == hideTitle) {
      ShowWindow(title, hideTitle ? SW_HIDE : SW_SHOWNA);
    }
  }

  HWND bar = BarOwnedBy(active);
  UINT id = 0;
  if (bar != nullptr) {
    if (auto* state = detail::MenuBarStateOf(bar)) id = state->resourceId;
    RaiseAboveBars(bar);
  }
  if (empty != nullptr && IsWindow(empty)) {
    bool showEmpty = bar == nullptr;
    if ((IsWindowVisible(empty) != FALSE) != showEmpty) {
      ShowWindow(empty, showEmpty ? SW_SHOWNA : SW_HIDE);
    }
    if (showEmpty) RaiseAboveBars(empty);
  }
  std::lock_guard lock(g.mutex);
  bool changed = bar != g.currentBar || id != g.currentBarId;
  g.currentBar = bar;
  g.currentBarId = id;
  return changed;
}

HWND CurrentMenuBar() {
  ShellGlobals& g = Globals();
  std::lock_guard lock(g.mutex);
  return g.currentBar;
}

UINT CurrentMenuBarId() {
  ShellGlobals& g = Globals();
  std::lock_guard lock(g.mutex);
  return g.currentBarId;
}

RECT OkButtonRect() { return detail::TitleBarOkRect(detail::TitleBarRect().right); }

bool IsShellWindow(HWND window) {
  if (window == nullptr) return false;
  {
    ShellGlobals& g = Globals();
    std::lock_guard lock(g.mutex);
    if (window == g.titleBar || window == g.emptyBar) return true;
  }
  return detail::IsMenuBarWindow(window);
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  // FindWindow lists this process's windows first; a handle of another
  // process has no siblings here.
  HWND any = FindWindow(nullptr, nullptr);
  HWND first = any != nullptr ? GetWindow(any, GW_HWNDFIRST) : nullptr;
  // The bound guards against a list that changes while it is walked.
  for (HWND w = first; w != nullptr && windows.size() < 100000; w = GetWindow(w, GW_HWNDNEXT)) {
    windows.push_back(w);
  }
  return windows;
}

BOOL PressMenuBarKey(int position) {
  HWND bar = CurrentMenuBar();
  if (bar == nullptr || !IsWindow(bar)) return FALSE;
  auto* state = detail::MenuBarStateOf(bar);
  if (state == nullptr) return FALSE;
  std::vector<detail::SoftKey> keys = detail::MenuBarKeysOf(state->menu);
  if (position < 0 || static_cast<size_t>(position) >= keys.size()) return FALSE;
  const detail::SoftKey& key = keys[static_cast<size_t>(position)];
  if (!key.present || !key.enabled) return FALSE;
  return PostMessage(bar, detail::kMsgSoftKey, static_cast<WPARAM>(position), 0);
}

BOOL PressSoftKey(int index) {
  HWND bar = CurrentMenuBar();
  auto* state = bar != nullptr && IsWindow(bar) ? detail::MenuBarStateOf(bar) : nullptr;
  if (state == nullptr) return FALSE;
  return PressMenuBarKey(detail::SoftKeyPosition(detail::MenuBarKeysOf(state->menu), index));
}

int MenuBarKeyForCommand(UINT command, bool* direct, bool* enabled) {
  HWND bar = CurrentMenuBar();
  auto* state = bar != nullptr ? detail::MenuBarStateOf(bar) : nullptr;
  if (state == nullptr) return -1;
  std::vector<detail::SoftKey> keys = detail::MenuBarKeysOf(state->menu);
  for (size_t i = 0; i < keys.size(); ++i) {
    const detail::SoftKey& key = keys[i];
    if (!key.present) continue;
    if (key.popup == nullptr && key.command == command) {
      if (direct != nullptr) *direct = true;
      if (enabled != nullptr) *enabled = key.enabled;
      return static_cast<int>(i);
    }
    if (key.popup == nullptr) continue;
    UINT flags = GetMenuState(key.popup, command, MF_BYCOMMAND);
    if (flags == kMenuItemMissing) continue;
    if (direct != nullptr) *direct = false;
    if (enabled != nullptr) *enabled = key.enabled && (flags & (MF_GRAYED | MF_DISABLED)) == 0;
    return static_cast<int>(i);
  }
  return -1;
}

namespace detail {

bool RegisterShellClasses() {
  static const bool registered = RegisterMenuBarClass() && RegisterTitleBarClass();
  return registered;
}

RECT TitleBarRect() {
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), kTitleBarHeight};
}

RECT MenuBarRect() {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  return RECT{0, height - kMenuBarHeight, width, height};
}

RECT FullScreenRect(FullScreenKind kind) {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  int bottom = kind == FullScreenKind::kToBottom ? height : height - kMenuBarHeight;
  return RECT{0, kTitleBarHeight, width, bottom};
}

void PlaceShellWindows() {
  HWND title;
  {
    ShellGlobals& g = Globals();
    std::lock_guard lock(g.mutex);
    title = g.titleBar;
  }
  MoveTo(title, TitleBarRect());
  RECT barRect = MenuBarRect();
  for (HWND window : TopLevelWindows()) {
    if (IsMenuBarWindow(window)) MoveTo(window, barRect);
  }
}

HWND TopLevelWindowOf(HWND window) {
  for (int depth = 0; depth < 256 && window != nullptr &&
                      (GetWindowLong(window, GWL_STYLE) & WS_CHILD) != 0;
       ++depth) {
    HWND parent = GetParent(window);
    if (parent == nullptr) break;
    window = parent;
  }
  return window;
}

}  // namespace detail

}  // namespace ce
