// The screen's orientation and the work area.
//
// The screen is 240 x 320 pixels upright and 320 x 240 when turned. A change
// of orientation resizes the screen, moves the shell's bars, resizes the
// full-screen dialogs and then sends WM_SETTINGCHANGE with wParam
// SETTINGCHANGE_RESET to every top-level window of the process.
#pragma once

#include "platform/base/Types.h"
#include "platform/window/Geometry.h"

namespace ce {

constexpr int kScreenShortSide = 240;
constexpr int kScreenLongSide = 320;

// wParam of the WM_SETTINGCHANGE that follows a rotation or resize.
constexpr WPARAM SETTINGCHANGE_RESET = 0x3002;

// DEVMODE fields and orientations.
constexpr DWORD DM_DISPLAYORIENTATION = 0x00800000;
constexpr DWORD DM_DISPLAYQUERYORIENTATION = 0x01000000;
constexpr DWORD DMDO_0 = 0;
constexpr DWORD DMDO_90 = 1;
constexpr DWORD DMDO_180 = 2;
constexpr DWORD DMDO_270 = 4;

struct DEVMODE {
  DWORD dmFields = 0;
  DWORD dmDisplayOrientation = DMDO_0;
  DWORD dmPelsWidth = 0;   // filled in by a query
  DWORD dmPelsHeight = 0;  // filled in by a query
};

// ChangeDisplaySettingsEx flags and results.
constexpr DWORD CDS_TEST = 0x00000002;
constexpr DWORD CDS_RESET = 0x40000000;
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
constexpr LONG DISP_CHANGE_BADMODE = -2;
constexpr LONG DISP_CHANGE_BADFLAGS = -4;
constexpr LONG DISP_CHANGE_BADPARAM = -5;

// With DM_DISPLAYQUERYORIENTATION fills in the orientation and size now;
// with DM_DISPLAYORIENTATION turns the screen (CDS_TEST only checks the
// request). device must be null (the one screen); window and param are not
// used. Call it on the UI thread: the windows are told before it returns.
LONG ChangeDisplaySettingsEx(LPCWSTR device, DEVMODE* mode, HWND window, DWORD flags,
                             void* param);

// The orientation now (DMDO_ value).
DWORD ScreenOrientation();

constexpr UINT SPI_GETWORKAREA = 48;
// SPI_GETWORKAREA: the screen below the title bar (the menu bar's strip
// included), as a RECT at pv. FALSE for other actions.
BOOL SystemParametersInfo(UINT action, UINT param, void* pv, UINT winIni);

}  // namespace ce
