// Static texts and pictures (class "STATIC"). The parent chooses the colours
// with WM_CTLCOLORSTATIC.
#pragma once

#include "platform/base/Types.h"

namespace ce {

constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_LEFTNOWORDWRAP = 0x000C;
constexpr DWORD SS_BITMAP = 0x000E;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOPREFIX = 0x0080;
constexpr DWORD SS_NOTIFY = 0x0100;
// A single line, centred vertically.
constexpr DWORD SS_CENTERIMAGE = 0x0200;

// Pictures: wParam IMAGE_BITMAP, lParam the HBITMAP (the caller keeps it);
// returns the previous one.
constexpr UINT STM_SETIMAGE = 0x0172;
constexpr UINT STM_GETIMAGE = 0x0173;
constexpr WPARAM IMAGE_BITMAP = 0;

// With SS_NOTIFY a tap is reported as WM_COMMAND with STN_CLICKED.
constexpr UINT STN_CLICKED = 0;

}  // namespace ce
