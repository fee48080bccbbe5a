// Internal: the shell's window classes and the state kept on windows.
#pragma once

#include <vector>
#include <string>
#include <vector>

#include "platform/controls/Menus.h"
#include "platform/window/Message.h"
#include "platform/window/Window.h"

namespace ce::detail {

inline constexpr char16_t kMenuBarClass[] = u"menu_worker";
inline constexpr char16_t kTitleBarClass[] = u"ShellTitleBar";

// Posted to a menu bar window: wParam is the key of the bar to press (its
// position, 0 for the leftmost).
constexpr UINT kMsgSoftKey = WM_USER + 0x2F0;

// Registers the shell's classes once per process; false when it failed.
bool RegisterShellClasses();
bool RegisterMenuBarClass();
bool RegisterTitleBarClass();

// Where the bars and full-screen windows go on the screen as it is now.
RECT TitleBarRect();
RECT MenuBarRect();

// One key of the bar as the menu makes it now.
struct SoftKey {
  bool present = false;
  bool enabled = true;
  std::u16string text;
  HMENU popup = nullptr;  // belongs to the bar's menu
  UINT command = 0;       // when it is not a popup
};
// Every top-level entry of the menu, left to right. A menu of one popup
// keeps it on the right: an absent key comes first.
std::vector<SoftKey> MenuBarKeysOf(HMENU menu);
// The position of soft key 0 (the first key) or 1 (the last); -1 for a bar
// without keys or another index.
int SoftKeyPosition(const std::vector<SoftKey>& keys, int softKey);

// The shell's window extra: one per window, whichever kind it is. Every
// kind is stored under this owner.
class ShellState : public WindowExtra {};

// The shell's extra of every menu bar window.
class MenuBarState final : public ShellState {
 public:
  ~MenuBarState() override;
  HWND commandTarget = nullptr;  // hwndParent of the creation
  UINT resourceId = 0;
  HMENU menu = nullptr;  // owned; null for an empty bar
  bool colorSet = false;
  COLORREF color = 0;
  int pressed = -1;   // key under the stylus
  int tracking = -1;  // key whose popup is open
};
MenuBarState* MenuBarStateOf(HWND window);

// The shell's extra of program windows the shell was asked about.
enum class FullScreenKind { kNone, kAboveMenuBar, kToBottom };
class WindowShellState final : public ShellState {
 public:
  FullScreenKind fullScreen = FullScreenKind::kNone;
  bool hideTitleBar = false;
};
// Creates the state when asked and missing; null for an invalid window.
WindowShellState* WindowShellStateOf(HWND window, bool create);
RECT FullScreenRect(FullScreenKind kind);

// The title bar window and what it shows.
HWND CreateTitleBar();
void SetTitleBarContent(HWND titleBar, HWND target, const std::u16string& title, bool okButton);
// The OK button's rectangle in the client coordinates of a title bar
// width pixels wide.
RECT TitleBarOkRect(int width);

HWND CreateEmptyMenuBar(HWND owner, bool visible);

// Moves the bars to the screen's edges (after a rotation).
void PlaceShellWindows();

bool IsMenuBarWindow(HWND window);
// The top-level window at the root of window's parent chain.
HWND TopLevelWindowOf(HWND window);

}  // namespace ce::detail
