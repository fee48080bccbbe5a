// Dialogs made from templates: modal ones with their own message loop and
// result, and modeless ones (also child dialogs embedded in another window).
//
// A dialog's procedure answers TRUE for a message it handled; where the
// message has a result (WM_NOTIFY) it is stored with
// SetWindowLongPtr(dialog, DWL_MSGRESULT, ...). The dialog manager moves the
// focus with Tab and the arrow keys (within a group), presses the default
// button on Enter and sends IDCANCEL on Escape.
//
// Dialog units: x units are dialog base width / 4 pixels, y units base
// height / 8 pixels; the base units of this screen are 6 x 12 pixels.
#pragma once

#include "platform/base/MessageBox.h"
#include "platform/base/Types.h"
#include "platform/controls/ResourceSet.h"
#include "platform/window/Message.h"

namespace ce {

using DLGPROC = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog styles.
constexpr DWORD DS_ABSALIGN = 0x0001;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_SETFOREGROUND = 0x0200;
constexpr DWORD DS_CONTROL = 0x0400;
constexpr DWORD DS_CENTER = 0x0800;

// Window extra indexes of a dialog.
constexpr int DWL_MSGRESULT = 0;
constexpr int DWL_DLGPROC = static_cast<int>(sizeof(LONG_PTR));
constexpr int DWL_USER = static_cast<int>(2 * sizeof(LONG_PTR));
constexpr int DLGWINDOWEXTRA = static_cast<int>(3 * sizeof(LONG_PTR));

// The default button (DM_GETDEFID answers MAKELRESULT(id, DC_HASDEFID)).
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;

constexpr int kDialogBaseUnitX = 6;
constexpr int kDialogBaseUnitY = 12;

// MAKELONG(kDialogBaseUnitX, kDialogBaseUnitY).
LONG GetDialogBaseUnits();
// Dialog units to pixels.
BOOL MapDialogRect(HWND dialog, RECT* rect);

// Modeless: returns the dialog after WM_INITDIALOG, null when the template
// is missing or a window cannot be made. A template with WS_CHILD makes a
// child of parent; otherwise parent owns it.
HWND CreateDialogParam(HINSTANCE module, LPCWSTR templateName, HWND parent, DLGPROC proc,
                       LPARAM param);
HWND CreateDialogIndirectParam(HINSTANCE module, const DialogTemplate* dialog, HWND parent,
                               DLGPROC proc, LPARAM param);
// Modal: disables the owner, runs until EndDialog and returns its result;
// -1 when the dialog cannot be made.
INT_PTR DialogBoxParam(HINSTANCE module, LPCWSTR templateName, HWND owner, DLGPROC proc,
                       LPARAM param);
INT_PTR DialogBoxIndirectParam(HINSTANCE module, const DialogTemplate* dialog, HWND owner,
                               DLGPROC proc, LPARAM param);
// The number of the resource template the dialog was made from; 0 for a
// window that is not a dialog, or a dialog made from a named or built
// template.
UINT GetDialogTemplateId(HWND dialog);
// Ends a modal dialog with a result (the dialog is hidden now and destroyed
// when its loop returns). For a modeless dialog it only hides it.
BOOL EndDialog(HWND dialog, INT_PTR result);
// The default processing of dialog windows.
LRESULT DefDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Handles keyboard navigation for the dialog and dispatches the message when
// it belongs to the dialog or one of its descendants; false otherwise.
BOOL IsDialogMessage(HWND dialog, MSG* msg);
// The next (or previous) control with WS_TABSTOP, looking into child
// dialogs; wraps around.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
// The next (or previous) control of control's group (WS_GROUP starts one).
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemText(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPWSTR buffer, int bufferMax);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
// Checks last..first's button id and clears the others of the range.
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);

}  // namespace ce
