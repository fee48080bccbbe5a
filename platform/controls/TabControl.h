// Tab controls (class "SysTabControl32"). A tap on another tab sends
// TCN_SELCHANGING (a non-zero answer keeps the old tab) and TCN_SELCHANGE;
// TCM_SETCURSEL changes the tab without notifying.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"
#include "platform/controls/ControlMessages.h"

namespace ce {

constexpr DWORD TCS_BOTTOM = 0x0002;
constexpr DWORD TCS_FIXEDWIDTH = 0x0400;

constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr UINT TCM_GETITEM = TCM_FIRST + 60;
constexpr UINT TCM_SETITEM = TCM_FIRST + 61;
constexpr UINT TCM_INSERTITEM = TCM_FIRST + 62;
constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
constexpr UINT TCM_GETITEMRECT = TCM_FIRST + 10;
constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;  // wParam TRUE: display to window rect

constexpr UINT TCIF_TEXT = 0x0001;
constexpr UINT TCIF_IMAGE = 0x0002;
constexpr UINT TCIF_PARAM = 0x0008;

struct TCITEM {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  LPWSTR pszText = nullptr;  // TCM_GETITEM fills it up to cchTextMax
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};

constexpr UINT TCN_FIRST = 0u - 550u;
constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;

}  // namespace ce
