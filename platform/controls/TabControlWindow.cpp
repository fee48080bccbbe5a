// The tab control class: a row of tabs, one of them current.
#include <algorithm>
#include <vector>

#include "platform/controls/TabControl.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/ControlSupport.h"
#include "platform/window/Focus.h"
#include "platform/window/Keys.h"
#include "platform/window/Paint.h"

namespace ce::detail {

namespace {

constexpr int kTabHeight = 20;   // pixels
constexpr int kTabPadding = 8;   // pixels each side of a tab's text

struct Tab {
  std::u16string text;
  LPARAM param = 0;
};

class TabState : public ControlState {
 public:
  std::vector<Tab> tabs;
  int current = -1;
};

bool Bottom(HWND window) { return (GetWindowLong(window, GWL_STYLE) & TCS_BOTTOM) != 0; }

std::vector<RECT> TabRects(HWND window, const TabState& state) {
  RECT client;
  GetClientRect(window, &client);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, ControlFont(window));
  std::vector<RECT> rects;
  int x = client.left;
  int top = Bottom(window) ? client.bottom - kTabHeight : client.top;
  for (const Tab& tab : state.tabs) {
    SIZE size;
    GetTextExtentPoint32(dc, tab.text.c_str(), static_cast<int>(tab.text.size()), &size);
    int width = size.cx + 2 * kTabPadding;
    rects.push_back(RECT{x, top, x + width, top + kTabHeight});
    x += width;
  }
  DeleteDC(dc);
  return rects;
}

void OnPaint(HWND window, TabState* state) {
  PaintScope paint(window);
  HDC dc = paint.Dc();
  RECT client;
  GetClientRect(window, &client);
  HBRUSH background = ParentColors(window, dc, WM_CTLCOLORSTATIC);
  FillRect(dc, &client, background);
  bool bottom = Bottom(window);
  int edge = bottom ? client.bottom - kTabHeight : client.top + kTabHeight - 1;
  RECT line{client.left, edge, client.right, edge + 1};
  FillSolid(dc, line, GetSysColor(COLOR_WINDOWFRAME));
  std::vector<RECT> rects = TabRects(window, *state);
  DcFontScope font(dc, window);
  for (size_t i = 0; i < rects.size(); ++i) {
    bool current = static_cast<int>(i) == state->current;
    RECT tab = rects[i];
    FillSolid(dc, tab, current ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE));
    FrameSolid(dc, tab, GetSysColor(COLOR_WINDOWFRAME));
    if (current) {
      // The current tab opens into the page.
      RECT gap = bottom ? RECT{tab.left + 1, tab.top, tab.right - 1, tab.top + 1}
                        : RECT{tab.left + 1, tab.bottom - 1, tab.right - 1, tab.bottom};
      FillSolid(dc, gap, GetSysColor(COLOR_WINDOW));
    }
    DrawLabel(dc, state->tabs[i].text, tab, DT_CENTER,
              IsWindowEnabled(window) ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
    if (current && GetFocus() == window) {
      RECT focus{tab.left + 2, tab.top + 2, tab.right - 2, tab.bottom - 2};
      DrawFocusRect(dc, &focus);
    }
  }
}

// Changes the tab as the user does: asks first, then tells.
void Choose(HWND window, TabState* state, int index) {
  if (index < 0 || index >= static_cast<int>(state->tabs.size()) || index == state->current) return;
  NMHDR header;
  if (NotifyParent(window, &header, TCN_SELCHANGING) != 0) return;
  state->current = index;
  InvalidateRect(window, nullptr, TRUE);
  NotifyParent(window, &header, TCN_SELCHANGE);
}

LRESULT InsertTab(HWND window, TabState* state, WPARAM wParam, const TCITEM* item) {
  if (item == nullptr) return -1;
  Tab tab;
  if ((item->mask & TCIF_TEXT) != 0 && item->pszText != nullptr) tab.text = item->pszText;
  if ((item->mask & TCIF_PARAM) != 0) tab.param = item->lParam;
  int index = ClampInt(static_cast<long long>(wParam), 0, static_cast<int>(state->tabs.size()));
  state->tabs.insert(state->tabs.begin() + index, tab);
  if (state->current < 0) {
    state->current = 0;
  } else if (index <= state->current) {
    ++state->current;
  }
  InvalidateRect(window, nullptr, TRUE);
  return index;
}

LRESULT GetTab(const TabState* state, WPARAM wParam, TCITEM* item) {
  if (item == nullptr || wParam >= state->tabs.size()) return FALSE;
  const Tab& tab = state->tabs[wParam];
  if ((item->mask & TCIF_TEXT) != 0 && item->pszText != nullptr && item->cchTextMax > 0) {
    size_t count = std::min(tab.text.size(), static_cast<size_t>(item->cchTextMax - 1));
    std::copy_n(tab.text.data(), count, item->pszText);
    item->pszText[count] = 0;
  }
  if ((item->mask & TCIF_PARAM) != 0) item->lParam = tab.param;
  return TRUE;
}

LRESULT HandleMessage(HWND window, TabState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: {
      if (!IsWindowEnabled(window)) return 0;
      POINT point = PointFromLParam(lParam);
      std::vector<RECT> rects = TabRects(window, *state);
      for (size_t i = 0; i < rects.size(); ++i) {
        if (PtInRect(&rects[i], point)) {
          Choose(window, state, static_cast<int>(i));
          break;
        }
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_LEFT) Choose(window, state, state->current - 1);
      if (wParam == VK_RIGHT) Choose(window, state, state->current + 1);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case TCM_INSERTITEM:
      return InsertTab(window, state, wParam, reinterpret_cast<const TCITEM*>(lParam));
    case TCM_GETITEM:
      return GetTab(state, wParam, reinterpret_cast<TCITEM*>(lParam));
    case TCM_SETITEM: {
      auto* item = reinterpret_cast<const TCITEM*>(lParam);
      if (item == nullptr || wParam >= state->tabs.size()) return FALSE;
      if ((item->mask & TCIF_TEXT) != 0 && item->pszText != nullptr) state->tabs[wParam].text = item->pszText;
      if ((item->mask & TCIF_PARAM) != 0) state->tabs[wParam].param = item->lParam;
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    }
    case TCM_DELETEITEM:
      if (wParam >= state->tabs.size()) return FALSE;
      state->tabs.erase(state->tabs.begin() + static_cast<std::ptrdiff_t>(wParam));
      if (state->current >= static_cast<int>(state->tabs.size())) state->current = static_cast<int>(state->tabs.size()) - 1;
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    case TCM_DELETEALLITEMS:
      state->tabs.clear();
      state->current = -1;
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    case TCM_GETITEMCOUNT:
      return static_cast<LRESULT>(state->tabs.size());
    case TCM_GETCURSEL:
      return state->current;
    case TCM_SETCURSEL: {
      int old = state->current;
      if (wParam >= state->tabs.size()) return -1;
      state->current = static_cast<int>(wParam);
      InvalidateRect(window, nullptr, TRUE);
      return old;
    }
    case TCM_GETITEMRECT: {
      std::vector<RECT> rects = TabRects(window, *state);
      if (wParam >= rects.size() || lParam == 0) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = rects[wParam];
      return TRUE;
    }
    case TCM_ADJUSTRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      if (rect == nullptr) return 0;
      int sign = wParam != 0 ? -1 : 1;
      if (Bottom(window)) {
        rect->bottom -= sign * kTabHeight;
      } else {
        rect->top += sign * kTabHeight;
      }
      return 0;
    }
    case WM_SETFONT:
    case WM_GETFONT:
      return HandleFontMessage(window, state, message, wParam, lParam);
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

WNDPROC TabControlProcedure() { return ControlProc<TabState, OnPaint, HandleMessage>; }

}  // namespace ce::detail
