// TrackPopupMenu: the window of an open popup menu and its modal loop.
#include <algorithm>
#include <vector>

#include "platform/controls/CommonControls.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Metrics.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/ControlSupport.h"
#include "platform/controls/detail/MenuTable.h"
#include "platform/window/Focus.h"
#include "platform/window/Keys.h"
#include "platform/window/ModalLoop.h"

namespace ce {

namespace detail {

namespace {

constexpr int kItemHeight = 22;      // pixels
constexpr int kSeparatorHeight = 7;  // pixels
constexpr int kCheckArea = 16;       // pixels before the text
constexpr int kArrowArea = 14;       // pixels after the text for a submenu mark
constexpr int kMinWidth = 80;

class PopupState : public ControlState {
 public:
  HMENU menu = nullptr;
  HWND owner = nullptr;
  std::vector<MenuItemData> items;
  std::vector<RECT> rects;  // client coordinates
  int hot = -1;
  bool pressed = false;
};

thread_local HWND currentPopup = nullptr;

bool Choosable(const MenuItemData& item) {
  return (item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) == 0;
}

SIZE Layout(PopupState* state) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  int width = kMinWidth;
  for (const MenuItemData& item : state->items) {
    SIZE size;
    GetTextExtentPoint32(dc, item.text.c_str(), static_cast<int>(item.text.size()), &size);
    width = std::max<int>(width, kCheckArea + size.cx + kArrowArea + 4);
  }
  DeleteDC(dc);
  int y = 1;
  state->rects.clear();
  for (const MenuItemData& item : state->items) {
    int height = (item.flags & MF_SEPARATOR) != 0 ? kSeparatorHeight : kItemHeight;
    state->rects.push_back(RECT{1, y, width + 1, y + height});
    y += height;
  }
  return SIZE{width + 2, y + 1};
}

void Paint(HWND window, PopupState* state) {
  PaintScope paint(window);
  HDC dc = paint.Dc();
  RECT client;
  GetClientRect(window, &client);
  FillSolid(dc, client, GetSysColor(COLOR_MENU));
  FrameSolid(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  for (size_t i = 0; i < state->items.size(); ++i) {
    const MenuItemData& item = state->items[i];
    RECT rect = state->rects[i];
    if ((item.flags & MF_SEPARATOR) != 0) {
      RECT line{rect.left + 2, (rect.top + rect.bottom) / 2, rect.right - 2, (rect.top + rect.bottom) / 2 + 1};
      FillSolid(dc, line, GetSysColor(COLOR_BTNSHADOW));
      continue;
    }
    bool hot = static_cast<int>(i) == state->hot;
    if (hot) FillSolid(dc, rect, GetSysColor(COLOR_HIGHLIGHT));
    COLORREF ink = !Choosable(item) ? GetSysColor(COLOR_GRAYTEXT)
                   : hot ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                         : GetSysColor(COLOR_MENUTEXT);
    if ((item.flags & MF_CHECKED) != 0) {
      int cx = rect.left + kCheckArea / 2;
      int cy = (rect.top + rect.bottom) / 2;
      for (int d = 0; d < 2; ++d) {
        for (int i2 = 0; i2 < 3; ++i2) SetPixel(dc, cx - 4 + i2, cy + i2 - 1 + d, ink);
        for (int i2 = 0; i2 < 5; ++i2) SetPixel(dc, cx - 1 + i2, cy + 1 - i2 + d, ink);
      }
    }
    RECT textRect{rect.left + kCheckArea, rect.top, rect.right - kArrowArea, rect.bottom};
    DrawLabel(dc, item.text, textRect, DT_LEFT, ink);
    if (item.submenu != nullptr) {
      int cx = rect.right - kArrowArea / 2;
      int cy = (rect.top + rect.bottom) / 2;
      for (int d = 0; d < 4; ++d) {
        RECT column{cx - 2 + d, cy - 3 + d, cx - 1 + d, cy + 4 - d};
        FillSolid(dc, column, ink);
      }
    }
  }
}

int ItemAt(const PopupState* state, POINT point) {
  for (size_t i = 0; i < state->rects.size(); ++i) {
    if (PtInRect(&state->rects[i], point)) return static_cast<int>(i);
  }
  return -1;
}

void SetHot(HWND window, PopupState* state, int hot) {
  if (state->hot == hot) return;
  state->hot = hot;
  InvalidateRect(window, nullptr, TRUE);
}

UINT Track(HMENU menu, UINT flags, int x, int y, HWND owner, int depth);

// Opens a submenu or ends the menu with the item's command.
void Choose(HWND window, PopupState* state, int index) {
  if (index < 0 || index >= static_cast<int>(state->items.size())) return;
  const MenuItemData& item = state->items[index];
  if (!Choosable(item)) return;
  if (item.submenu != nullptr) {
    RECT rect = state->rects[index];
    POINT corner{rect.right, rect.top};
    ClientToScreen(window, &corner);
    UINT id = Track(item.submenu, TPM_RETURNCMD, corner.x, corner.y, state->owner, 1);
    if (id != 0) EndModalLoop(window, static_cast<INT_PTR>(id));
    if (IsWindow(window)) SetCapture(window);
    return;
  }
  EndModalLoop(window, static_cast<INT_PTR>(item.id));
}

void Step(HWND window, PopupState* state, int direction) {
  int count = static_cast<int>(state->items.size());
  int index = state->hot;
  for (int n = 0; n < count; ++n) {
    index = index < 0 ? (direction > 0 ? 0 : count - 1) : (index + direction + count) % count;
    if (Choosable(state->items[index])) {
      SetHot(window, state, index);
      return;
    }
  }
}

LRESULT HandleMessage(HWND window, PopupState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: {
      POINT point = PointFromLParam(lParam);
      RECT client;
      GetClientRect(window, &client);
      if (!PtInRect(&client, point)) {
        EndModalLoop(window, 0);  // a tap outside dismisses the menu
        return 0;
      }
      state->pressed = true;
      SetHot(window, state, ItemAt(state, point));
      return 0;
    }
    case WM_MOUSEMOVE:
      if (state->pressed) SetHot(window, state, ItemAt(state, PointFromLParam(lParam)));
      return 0;
    case WM_LBUTTONUP: {
      if (!state->pressed) return 0;
      state->pressed = false;
      int index = ItemAt(state, PointFromLParam(lParam));
      SetHot(window, state, index);
      Choose(window, state, index);
      return 0;
    }
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_UP: Step(window, state, -1); break;
        case VK_DOWN: Step(window, state, 1); break;
        case VK_RETURN: Choose(window, state, state->hot); break;
        case VK_RIGHT:
          if (state->hot >= 0 && state->items[state->hot].submenu != nullptr) Choose(window, state, state->hot);
          break;
        case VK_ESCAPE:
        case VK_LEFT: EndModalLoop(window, 0); break;
        default: break;
      }
      return 0;
    case WM_CANCELMODE:
      EndModalLoop(window, 0);
      return 0;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

UINT Track(HMENU menu, UINT flags, int x, int y, HWND owner, int depth) {
  InitCommonControls();
  if (!IsMenu(menu) || depth > 8) return 0;
  if (depth == 0 && (flags & TPM_NONOTIFY) == 0 && owner != nullptr) {
    SendMessage(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  }
  HWND popup = CreateWindowEx(WS_EX_TOPMOST, WC_POPUPMENU, u"", WS_POPUP | WS_BORDER, 0, 0, 1, 1,
                              owner, nullptr, nullptr, nullptr);
  if (popup == nullptr) return 0;
  auto* state = StateOf<PopupState>(popup);
  state->menu = menu;
  state->owner = owner;
  state->items = MenuItemsOf(menu);
  SIZE size = Layout(state);
  if ((flags & TPM_CENTERALIGN) != 0) {
    x -= size.cx / 2;
  } else if ((flags & TPM_RIGHTALIGN) != 0) {
    x -= size.cx;
  }
  if ((flags & TPM_BOTTOMALIGN) != 0) {
    y -= size.cy;
  } else if ((flags & TPM_VCENTERALIGN) != 0) {
    y -= size.cy / 2;
  }
  int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  x = std::clamp<int>(x, 0, std::max<int>(0, screenWidth - size.cx));
  y = std::clamp<int>(y, 0, std::max<int>(0, screenHeight - size.cy));
  MoveWindow(popup, x, y, size.cx, size.cy, FALSE);
  ShowWindow(popup, SW_SHOWNOACTIVATE);
  SetCapture(popup);
  HWND outer = currentPopup;
  currentPopup = popup;
  CallModalHook(popup, ModalKind::kPopupMenu);
  // Keys go to the menu whichever window has the focus.
  INT_PTR result = RunModalLoop(popup, [popup](MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.hwnd != popup) {
      SendMessage(popup, WM_KEYDOWN, msg.wParam, msg.lParam);
      return true;
    }
    return msg.message == WM_CHAR || msg.message == WM_KEYUP;
  });
  currentPopup = outer;
  if (GetCapture() == popup) ReleaseCapture();
  if (IsWindow(popup)) DestroyWindow(popup);
  return static_cast<UINT>(result);
}

}  // namespace

WNDPROC PopupMenuProcedure() { return ControlProc<PopupState, Paint, HandleMessage>; }

bool PopupMenuItems(HWND window, std::vector<VisibleControl>* items) {
  auto* state = StateOf<PopupState>(window);
  if (state == nullptr) return false;
  for (size_t i = 0; i < state->items.size(); ++i) {
    const MenuItemData& item = state->items[i];
    if ((item.flags & MF_SEPARATOR) != 0) continue;
    VisibleControl entry;
    entry.window = window;
    entry.id = item.submenu != nullptr ? -1 : static_cast<int>(item.id);
    entry.className = u"MenuItem";
    entry.text = item.text;
    RECT rect = state->rects[i];
    POINT corner{rect.left, rect.top};
    ClientToScreen(window, &corner);
    entry.screenRect = RECT{corner.x, corner.y, corner.x + rect.right - rect.left, corner.y + rect.bottom - rect.top};
    entry.enabled = Choosable(item);
    entry.checked = (item.flags & MF_CHECKED) != 0;
    entry.focused = static_cast<int>(i) == state->hot;
    items->push_back(entry);
  }
  return true;
}

}  // namespace detail

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int /*reserved*/, HWND owner,
                    const RECT* /*excluded*/) {
  UINT id = detail::Track(menu, flags, x, y, owner, 0);
  if ((flags & TPM_RETURNCMD) != 0) return static_cast<BOOL>(id);
  if (id == 0) return FALSE;
  if (owner != nullptr) PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
  return TRUE;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const void* /*params*/) {
  return TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
}

BOOL EndMenu() {
  if (detail::currentPopup == nullptr) return FALSE;
  return EndModalLoop(detail::currentPopup, 0);
}

}  // namespace ce
