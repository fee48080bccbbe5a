// What the processes of one device share about windows: registered message
// numbers, finding a top-level window, the foreground window and broadcasts.
//
// The device's run area holds the shared table: every process with top-level
// windows lists them there and takes messages for them through a local
// socket. An entry of a process that has ended (even by a crash) is ignored
// and removed by the next reader.
#pragma once

#include "platform/base/Types.h"

namespace ce {

// The same name (compared case-insensitively) gives the same number,
// 0xC000..0xFFFF, in every process of the device. 0 on failure (empty or
// longer than 255 characters, table full or not writable).
UINT RegisterWindowMessage(LPCWSTR name);

// A top-level window of any process of the device by class name and title;
// null for either matches any. Windows of this process come first.
HWND FindWindow(LPCWSTR className, LPCWSTR windowName);

// Makes a window (of any process of the device) the foreground window: its
// process activates it and the previous foreground window is deactivated.
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();

}  // namespace ce
