// The title-bar OK button and full-screen windows.
//
// The title bar shows an OK button for an active window with the extended
// style WS_EX_CAPTIONOKBTN; tapping it sends WM_COMMAND with IDOK to that
// window. Full-screen dialogs fill the screen below the title bar (and
// above the menu bar unless told otherwise) and are resized with the screen
// when it rotates.
#pragma once

#include "platform/base/Types.h"

namespace ce {

// SHDoneButton states.
constexpr DWORD SHDB_SHOW = 0x0001;
constexpr DWORD SHDB_HIDE = 0x0002;

// Shows or hides the OK button of the window's top-level window (a child
// screen may ask for its dialog). FALSE for an invalid window or state.
BOOL SHDoneButton(HWND window, DWORD state);

// SHINITDLGINFO.
constexpr DWORD SHIDIM_FLAGS = 0x0001;
constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
constexpr DWORD SHIDIF_SIZEDLG = 0x0002;
constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
constexpr DWORD SHIDIF_SIPDOWN = 0x0008;
constexpr DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x0010;
constexpr DWORD SHIDIF_EMPTYMENU = 0x0020;

struct SHINITDLGINFO {
  DWORD dwMask = 0;
  HWND hDlg = nullptr;
  DWORD dwFlags = 0;
};

// Prepares a top-level dialog for the handset's screen, usually from
// WM_INITDIALOG: SHIDIF_DONEBUTTON shows the OK button; SHIDIF_SIZEDLG and
// SHIDIF_SIZEDLGFULLSCREEN size it to the screen between the title bar and
// the menu bar, SHIDIF_FULLSCREENNOMENUBAR down to the bottom edge;
// SHIDIF_EMPTYMENU gives it an empty menu bar. SHIDIF_SIPDOWN changes
// nothing (there is no input panel to lower). FALSE for a missing record,
// an unknown mask or a window that is not top-level.
BOOL SHInitDialog(SHINITDLGINFO* info);

// SHFullScreen states. The input panel button and the start icon are not
// part of this screen; asking for them succeeds and changes nothing.
constexpr DWORD SHFS_SHOWTASKBAR = 0x0001;
constexpr DWORD SHFS_HIDETASKBAR = 0x0002;
constexpr DWORD SHFS_SHOWSIPBUTTON = 0x0004;
constexpr DWORD SHFS_HIDESIPBUTTON = 0x0008;
constexpr DWORD SHFS_SHOWSTARTICON = 0x0010;
constexpr DWORD SHFS_HIDESTARTICON = 0x0020;

// SHFS_HIDETASKBAR hides the title bar while the window is active;
// SHFS_SHOWTASKBAR brings it back. FALSE for an invalid window, or when
// both are given.
BOOL SHFullScreen(HWND window, DWORD state);

}  // namespace ce
