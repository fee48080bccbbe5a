// Windows: classes, creation and destruction, the parent/child tree, text,
// styles, user data, rectangles, visibility and z-order.
//
// A window handle is an id in the process's window table (the upper 32 bits
// name the process, the lower 32 bits count windows), never a pointer: a
// destroyed handle is safe to pass back and is not reused for 2^32 creations.
// Every window belongs to the thread that created it; its procedure runs on
// that thread only. Handles of windows of other processes of the device (from
// FindWindow, GetForegroundWindow) work with IsWindow, GetWindowText,
// GetClassName, PostMessage, SendMessage (integer parameters) and
// SetForegroundWindow.
#pragma once

#include <memory>
#include <typeindex>
#include <string>

#include "platform/base/Types.h"
#include "platform/window/Geometry.h"

namespace ce {

using LONG_PTR = intptr_t;
using INT_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using ATOM = WORD;

struct HMENU__;
using HMENU = HMENU__*;
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// Result codes of the window calls (GetLastError).
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;
constexpr DWORD ERROR_NOT_ENOUGH_QUOTA = 1816;

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;
constexpr DWORD WS_EX_CAPTIONOKBTN = 0x80000000;

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_PARENTDC = 0x0080;
constexpr UINT CS_GLOBALCLASS = 0x4000;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// GetWindowLong / SetWindowLong indexes. Non-negative indexes address the
// class's cbWndExtra bytes.
constexpr int GWL_WNDPROC = -4;
constexpr int GWL_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_USERDATA = -21;
constexpr int GWLP_WNDPROC = GWL_WNDPROC;
constexpr int GWLP_ID = GWL_ID;
constexpr int GWLP_USERDATA = GWL_USERDATA;

// GetClassLong indexes.
constexpr int GCL_STYLE = -26;
constexpr int GCLP_WNDPROC = -24;
constexpr int GCLP_HBRBACKGROUND = -10;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;

// SetWindowPos.
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(static_cast<intptr_t>(1));
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-2));
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;

// GetWindow relations. Siblings are kept in z-order, top first; a new child
// goes below its existing siblings (creation order is tab order), a new
// top-level window goes on top.
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;

// WM_SIZE wParam.
constexpr WPARAM SIZE_RESTORED = 0;

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCWSTR lpszMenuName = nullptr;
  LPCWSTR lpszClassName = nullptr;
};

// lParam of WM_NCCREATE and WM_CREATE; valid during those messages only.
struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  LPCWSTR lpszName = nullptr;
  LPCWSTR lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

inline constexpr WORD LOWORD(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline constexpr WORD HIWORD(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline constexpr LPARAM MAKELPARAM(WORD low, WORD high) {
  return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}
inline constexpr WPARAM MAKEWPARAM(WORD low, WORD high) {
  return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}
// A class named by its atom instead of its name.
inline LPCWSTR MAKEINTATOM(ATOM atom) {
  return reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(atom));
}

// Classes belong to the process; names compare case-insensitively (ASCII).
ATOM RegisterClass(const WNDCLASS* wndClass);
// Fails with ERROR_CLASS_HAS_WINDOWS while windows of the class exist.
BOOL UnregisterClass(LPCWSTR className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, LPCWSTR className, WNDCLASS* wndClass);
int GetClassName(HWND window, LPWSTR buffer, int bufferLen);
LONG_PTR GetClassLongPtr(HWND window, int index);

// Sends WM_NCCREATE, WM_CREATE, WM_SIZE and WM_MOVE, then shows the window
// when WS_VISIBLE is given. For WS_CHILD windows parent is the parent and menu
// the control id; for others parent is the owner. Returns null when the class
// is unknown, the parent invalid, or WM_NCCREATE/WM_CREATE refuse.
HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    void* param);
// Only the owning thread may destroy a window. Destroys owned windows first;
// WM_DESTROY goes to the window and then to its children, WM_NCDESTROY to the
// children and then to the window. Messages sent by other threads and still
// waiting return 0 to their senders at once.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
// The parent of a child window, else the owner.
HWND GetParent(HWND window);
// Reparents a window (null makes it top-level); returns the old parent.
HWND SetParent(HWND window, HWND newParent);
BOOL IsChild(HWND parent, HWND window);
HWND GetWindow(HWND window, UINT relation);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);

// The text goes through WM_SETTEXT / WM_GETTEXT (DefWindowProc keeps it).
BOOL SetWindowText(HWND window, LPCWSTR text);
int GetWindowText(HWND window, LPWSTR buffer, int bufferLen);
int GetWindowTextLength(HWND window);
std::u16string GetWindowTextString(HWND window);

LONG GetWindowLong(HWND window, int index);
LONG SetWindowLong(HWND window, int index, LONG value);
LONG_PTR GetWindowLongPtr(HWND window, int index);
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);

// Returns whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
// True when the window and all its ancestors are visible.
BOOL IsWindowVisible(HWND window);
// Returns whether the window was disabled before; sends WM_ENABLE on change.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);

// Positions are relative to the parent's client area (the screen for
// top-level windows); there is no non-client frame, so the client area is
// the whole window.
BOOL GetWindowRect(HWND window, RECT* rect);  // screen coordinates
BOOL GetClientRect(HWND window, RECT* rect);  // (0, 0, width, height)
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                  UINT flags);
BOOL BringWindowToTop(HWND window);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
// The deepest visible, enabled window of this process under a screen point.
HWND WindowFromPoint(POINT point);

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A layer above this one (the drawing layer for erasing backgrounds, the
// control layer for colour messages) installs the default processing of a
// message; DefWindowProc calls it for that message. Null removes it.
void SetDefaultMessageHandler(UINT message, WNDPROC handler);

// Data another layer keeps per window (a drawing surface, a control's state),
// one piece per owner: the type that owns the data, usually the layer's base
// class of it (typeid(ControlState)). The window owns it and deletes it after
// WM_NCDESTROY; the pointer that GetWindowExtra returns stays valid until then
// or until it is replaced. A null extra removes the owner's piece.
class WindowExtra {
 public:
  virtual ~WindowExtra() = default;
};
BOOL SetWindowExtra(HWND window, std::type_index owner, std::unique_ptr<WindowExtra> extra);
WindowExtra* GetWindowExtra(HWND window, std::type_index owner);

}  // namespace ce
