// Menu bars: a bar at the bottom of the screen made from a menu resource.
// Every top-level item of the menu becomes a key of the bar, side by side
// as the handset's touch shell shows them; the two soft keys press the
// first and the last (a single popup sits on the right, where the handset
// keeps its menu). An item that is a popup opens above the bar when its key
// is pressed or tapped, an item that is a command sends it at once. Commands reach hwndParent as
// WM_COMMAND, and hwndParent gets WM_INITMENUPOPUP before a popup opens.
//
// A menu bar is a window owned by hwndParent's top-level window and shown
// while that window is active; the program shows and hides its bars with
// ShowWindow, and it is destroyed with its owner or with DestroyWindow.
#pragma once

#include "platform/base/Types.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/window/Message.h"

namespace ce {

// SHMENUBARINFO dwFlags.
constexpr DWORD SHCMBF_EMPTYBAR = 0x0001;
constexpr DWORD SHCMBF_HIDDEN = 0x0002;
constexpr DWORD SHCMBF_HIDESIPBUTTON = 0x0004;
constexpr DWORD SHCMBF_COLORBK = 0x0008;
// nToolBarId names a menu resource (the only kind of bar resource here, so
// the flag changes nothing).
constexpr DWORD SHCMBF_HMENU = 0x0010;

struct SHMENUBARINFO {
  DWORD cbSize = sizeof(SHMENUBARINFO);
  HWND hwndParent = nullptr;
  DWORD dwFlags = 0;
  UINT nToolBarId = 0;           // the menu resource
  HINSTANCE hInstRes = nullptr;  // its module; null for the program's own
  int nBmpId = 0;
  int cBmpImages = 0;
  HWND hwndMB = nullptr;         // out: the menu bar window
  COLORREF clrBk = 0;            // with SHCMBF_COLORBK
};

// Messages a program sends to its menu bar window.
// lParam: the soft key's position (0 or 1) or the command id of a popup
// item; returns the popup's HMENU, null when that key has no popup.
constexpr UINT SHCMBM_GETSUBMENU = WM_USER + 401;
// Returns the HMENU the bar was made from (its items are the soft keys).
constexpr UINT SHCMBM_GETMENU = WM_USER + 402;

// Last error when the menu resource does not exist.
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// Creates the bar on the calling thread. FALSE with the last error set when
// the size or the parent is wrong or the menu resource is missing.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

}  // namespace ce
