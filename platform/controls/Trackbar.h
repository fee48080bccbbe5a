// Trackbars (sliders, class "msctls_trackbar32"). Moves are reported to the
// parent as WM_HSCROLL (WM_VSCROLL with TBS_VERT): low word of wParam the
// TB_ code, high word the position for TB_THUMBTRACK / TB_THUMBPOSITION,
// lParam the trackbar.
#pragma once

#include "platform/base/Types.h"
#include "platform/window/Message.h"

namespace ce {

constexpr DWORD TBS_HORZ = 0x0000;
constexpr DWORD TBS_VERT = 0x0002;
constexpr DWORD TBS_NOTICKS = 0x0010;
constexpr DWORD TBS_BOTH = 0x0008;

constexpr UINT TBM_GETPOS = WM_USER;
constexpr UINT TBM_GETRANGEMIN = WM_USER + 1;
constexpr UINT TBM_GETRANGEMAX = WM_USER + 2;
constexpr UINT TBM_SETPOS = WM_USER + 5;  // wParam: redraw, lParam: position
constexpr UINT TBM_SETRANGE = WM_USER + 6;  // wParam: redraw, lParam: MAKELPARAM(min, max)
constexpr UINT TBM_SETRANGEMIN = WM_USER + 7;
constexpr UINT TBM_SETRANGEMAX = WM_USER + 8;
constexpr UINT TBM_SETTICFREQ = WM_USER + 20;
constexpr UINT TBM_SETPAGESIZE = WM_USER + 21;
constexpr UINT TBM_GETPAGESIZE = WM_USER + 22;
constexpr UINT TBM_SETLINESIZE = WM_USER + 23;
constexpr UINT TBM_GETLINESIZE = WM_USER + 24;

constexpr WORD TB_LINEUP = 0;
constexpr WORD TB_LINEDOWN = 1;
constexpr WORD TB_PAGEUP = 2;
constexpr WORD TB_PAGEDOWN = 3;
constexpr WORD TB_THUMBPOSITION = 4;
constexpr WORD TB_THUMBTRACK = 5;
constexpr WORD TB_TOP = 6;
constexpr WORD TB_BOTTOM = 7;
constexpr WORD TB_ENDTRACK = 8;

}  // namespace ce
