// Per-thread message queues, posted and sent messages.
//
// Every thread gets a queue when it first uses one. A thread retrieves, in
// this order: messages sent to it by other threads (handled inside the
// retrieving call, never returned), posted messages in posting order, WM_QUIT
// after PostQuitMessage, WM_PAINT for windows with an update region, and
// WM_TIMER for due timers. Waits run on the process clock, so a virtual clock
// drives timers and time-outs in tests.
//
// SendMessage to a window of the calling thread calls its procedure
// directly. To a window of another thread it queues the message there and
// blocks until that thread has handled it; while blocked, the sender handles
// messages sent to it (so two threads may send to each other). A send to a
// window that is being destroyed, or whose thread has ended, returns 0 at
// once, also to a sender that is already waiting. To a window of another
// process the parameters travel as integers and the wait is limited to
// kRemoteSendTimeoutMs of real time.
#pragma once

#include "platform/base/Types.h"
#include "platform/window/Geometry.h"
#include "platform/window/Window.h"

namespace ce {

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;  // GetTickCount when posted
  POINT pt;
};

// Window messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_MOUSELAST = 0x0209;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// WM_ACTIVATE wParam (low word).
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;

// PeekMessage flags.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

// SendMessageTimeout flags (the time-out is the only one that matters here).
constexpr UINT SMTO_NORMAL = 0x0000;
constexpr UINT SMTO_BLOCK = 0x0001;
constexpr UINT SMTO_ABORTIFHUNG = 0x0002;

// Addresses every top-level window of every process of the device. Other
// processes receive it as a posted message.
inline HWND const HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<intptr_t>(0xFFFF));

// Real-time limit of a SendMessage to a window of another process.
constexpr DWORD kRemoteSendTimeoutMs = 5000;

// Returns 0 for WM_QUIT, -1 when the window filter is not a window of the
// calling thread, else non-zero. A filter window also matches its
// descendants; (HWND)-1 matches only messages posted to the thread.
BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Posts WM_CHAR for a WM_KEYDOWN of a key that types a character (placed
// before every other posted message); returns whether it did.
BOOL TranslateMessage(const MSG* msg);
// Calls the procedure of the message's window (it must belong to the calling
// thread); WM_TIMER with a timer procedure calls that instead.
LRESULT DispatchMessage(const MSG* msg);

// A null window posts to the calling thread.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The time-out (ms, process clock; real time for other processes) covers the
// wait for another thread. On time-out returns 0 with ERROR_TIMEOUT, and a
// message that had not been started is taken back, so its parameters are not
// used after the sender has returned.
LRESULT SendMessageTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                           UINT timeoutMs, DWORD_PTR* result);
// True while the calling thread handles a message sent by another thread.
BOOL InSendMessage();
// Releases the sender of the message now being handled with this result.
BOOL ReplyMessage(LRESULT result);

}  // namespace ce
