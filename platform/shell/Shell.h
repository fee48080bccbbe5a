// The shell of the device screen: a title bar across the top that shows the
// title of the active window and its OK button, and the menu bar at the
// bottom with a key for every top-level entry of its menu.
//
// The shell's bars are windows of the thread that starts the shell (the UI
// thread of the program). The device host brings them up to date on every
// frame with UpdateShell; tests call it after changing windows.
#pragma once

#include <vector>

#include "platform/base/Types.h"
#include "platform/window/Geometry.h"

namespace ce {

// Heights of the bars in pixels.
constexpr int kTitleBarHeight = 26;
constexpr int kMenuBarHeight = 26;

// Creates the title bar and the empty menu bar on the calling thread; true
// when they exist afterwards (a second call changes nothing).
bool StartShell();
// Destroys the bars; only the thread that started the shell may call it.
void StopShell();
bool ShellStarted();

// Follows the active window: its title and OK button in the title bar, the
// menu bar it owns at the bottom, the bars' places on the screen. Returns
// true when the menu bar shown has changed since the last call.
bool UpdateShell();

// The menu bar window shown now (null when the screen shows an empty bar)
// and the resource id it was made from (0 for an empty bar).
HWND CurrentMenuBar();
UINT CurrentMenuBarId();

// Where the title bar's OK button is on the screen (whether shown or not).
RECT OkButtonRect();

// True for the shell's own windows (title bar, menu bars).
bool IsShellWindow(HWND window);

// The top-level windows of this process, topmost first.
std::vector<HWND> TopLevelWindows();

// The key of the menu bar shown (its position, 0 for the leftmost) whose
// popup holds the command (*direct false) or that sends it itself (*direct
// true); -1 when none does. *enabled tells whether the command can be chosen.
int MenuBarKeyForCommand(UINT command, bool* direct, bool* enabled);

// Presses the key of the menu bar shown at that position: opens its popup or
// sends its command, as a tap on it does. A press while the key's popup is
// open closes it. False when the key does nothing.
BOOL PressMenuBarKey(int position);

// Soft key 0 (left) or 1 (right): the first and the last key of the menu bar
// shown, as the handset's keys press them.
BOOL PressSoftKey(int index);

}  // namespace ce
