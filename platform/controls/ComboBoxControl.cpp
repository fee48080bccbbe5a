// The "COMBOBOX" class and the drop-down list window it opens.
#include <algorithm>
#include <vector>

#include "platform/controls/ComboBox.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Metrics.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/ControlSupport.h"
#include "platform/controls/detail/ScrollBarModel.h"
#include "platform/window/Focus.h"
#include "platform/window/Keys.h"
#include "platform/window/Paint.h"

namespace ce::detail {

namespace {

constexpr int kFieldHeight = 20;  // pixels of the closed combo box
constexpr int kItemHeight = 18;   // pixels of a row of the list
constexpr int kMinVisibleRows = 4;

struct ComboItem {
  std::u16string text;
  LPARAM data = 0;
};

class ComboState : public ControlState {
 public:
  std::vector<ComboItem> items;
  int current = -1;
  HWND edit = nullptr;
  HWND list = nullptr;  // the open drop-down list
  int dropHeight = kItemHeight * kMinVisibleRows;
  int limit = 0;
  bool settingText = false;  // the edit's change comes from a selection
};

class ComboListState : public ControlState {
 public:
  HWND combo = nullptr;
  int hot = -1;
  ScrollBarModel bar{true};
  bool draggingBar = false;
};

DWORD Kind(HWND combo) { return static_cast<DWORD>(GetWindowLong(combo, GWL_STYLE)) & 0x3; }

int ButtonWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

void SetEditText(ComboState* state, const std::u16string& text) {
  if (state->edit == nullptr) return;
  state->settingText = true;
  SetWindowText(state->edit, text.c_str());
  SendMessage(state->edit, EM_SETSEL, 0, -1);
  state->settingText = false;
}

void Select(HWND combo, ComboState* state, int index, bool notify) {
  if (index < -1 || index >= static_cast<int>(state->items.size())) return;
  state->current = index;
  SetEditText(state, index >= 0 ? state->items[index].text : std::u16string());
  InvalidateRect(combo, nullptr, TRUE);
  if (notify) NotifyCommand(combo, CBN_SELCHANGE);
}

int VisibleRows(const ComboState* state) {
  int rows = std::max(1, state->dropHeight / kItemHeight);
  return std::min<int>(rows, std::max<size_t>(1, state->items.size()));
}

void CloseList(HWND combo, ComboState* state) {
  if (state->list == nullptr) return;
  HWND list = state->list;
  state->list = nullptr;
  DestroyWindow(list);
  InvalidateRect(combo, nullptr, TRUE);
  NotifyCommand(combo, CBN_CLOSEUP);
}

void OpenList(HWND combo, ComboState* state) {
  if (state->list != nullptr || !IsWindowEnabled(combo)) return;
  NotifyCommand(combo, CBN_DROPDOWN);
  RECT rect;
  GetWindowRect(combo, &rect);
  int height = VisibleRows(state) * kItemHeight + 2;
  int top = rect.bottom;
  if (top + height > GetSystemMetrics(SM_CYSCREEN) && rect.top - height >= 0) top = rect.top - height;
  state->list = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, WC_COMBOLBOX, u"", WS_POPUP | WS_BORDER,
                               rect.left, top, rect.right - rect.left, height, combo, nullptr,
                               nullptr, combo);
  if (state->list == nullptr) return;
  ShowWindow(state->list, SW_SHOWNOACTIVATE);
  SetCapture(state->list);
  InvalidateRect(combo, nullptr, TRUE);
}

void OnPaint(HWND combo, ComboState* state) {
  PaintScope paint(combo);
  HDC dc = paint.Dc();
  RECT client;
  GetClientRect(combo, &client);
  bool enabled = IsWindowEnabled(combo) != FALSE;
  HBRUSH background = ParentColors(combo, dc, WM_CTLCOLOREDIT);
  FillRect(dc, &client, background);
  FrameSolid(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  RECT button{client.right - ButtonWidth(), client.top, client.right, client.bottom};
  FillSolid(dc, button, state->list != nullptr ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNFACE));
  FrameSolid(dc, button, GetSysColor(COLOR_WINDOWFRAME));
  int cx = (button.left + button.right) / 2;
  int cy = (button.top + button.bottom) / 2 - 1;
  for (int i = 0; i < 4; ++i) {
    RECT line{cx - 3 + i, cy + i, cx + 4 - i, cy + i + 1};
    FillSolid(dc, line, enabled ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
  }
  if (Kind(combo) == CBS_DROPDOWNLIST) {
    RECT field{client.left + 1, client.top + 1, button.left, client.bottom - 1};
    bool focused = GetFocus() == combo;
    if (focused) FillSolid(dc, field, GetSysColor(COLOR_HIGHLIGHT));
    std::u16string text = state->current >= 0 ? state->items[state->current].text : std::u16string();
    DcFontScope font(dc, combo);
    RECT textRect{field.left + 2, field.top, field.right - 2, field.bottom};
    DrawLabel(dc, text, textRect, DT_LEFT,
              !enabled ? GetSysColor(COLOR_GRAYTEXT)
              : focused ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                        : GetSysColor(COLOR_WINDOWTEXT));
  }
}

void OnCreate(HWND combo, ComboState* state, const CREATESTRUCT* create) {
  state->dropHeight = std::max(kItemHeight * kMinVisibleRows, create->cy - kFieldHeight);
  MoveWindow(combo, create->x, create->y, create->cx, kFieldHeight, FALSE);
  if (Kind(combo) == CBS_DROPDOWN || Kind(combo) == CBS_SIMPLE) {
    DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    state->edit = CreateWindowEx(0, WC_EDIT, u"", editStyle, 1, 1,
                                 std::max(1, create->cx - ButtonWidth() - 1), kFieldHeight - 2,
                                 combo, reinterpret_cast<HMENU>(static_cast<uintptr_t>(kComboEditId)),
                                 nullptr, nullptr);
    MarkComboEdit(state->edit);
  }
}

LRESULT AddString(HWND combo, ComboState* state, int index, LPCWSTR text) {
  ComboItem item;
  item.text = text != nullptr ? text : u"";
  if (index < 0 || index > static_cast<int>(state->items.size())) {
    index = static_cast<int>(state->items.size());
    if ((GetWindowLong(combo, GWL_STYLE) & CBS_SORT) != 0) {
      index = static_cast<int>(std::upper_bound(state->items.begin(), state->items.end(), item.text,
                                                [](const std::u16string& t, const ComboItem& i) { return t < i.text; }) -
                               state->items.begin());
    }
  }
  state->items.insert(state->items.begin() + index, item);
  if (state->current >= index) ++state->current;
  if (state->list != nullptr) InvalidateRect(state->list, nullptr, TRUE);
  return index;
}

LRESULT Find(const ComboState* state, WPARAM start, LPCWSTR text, bool exact) {
  if (text == nullptr) return CB_ERR;
  std::u16string wanted(text);
  int count = static_cast<int>(state->items.size());
  int first = static_cast<int>(static_cast<intptr_t>(start)) + 1;
  for (int n = 0; n < count; ++n) {
    int i = (first + n) % count;
    if (i < 0) i += count;
    const std::u16string& item = state->items[i].text;
    if (exact ? item == wanted : item.compare(0, wanted.size(), wanted) == 0) return i;
  }
  return CB_ERR;
}

void OnKeyDown(HWND combo, ComboState* state, WPARAM key) {
  int count = static_cast<int>(state->items.size());
  if (count == 0) return;
  if (key == VK_UP && state->current > 0) Select(combo, state, state->current - 1, true);
  if (key == VK_DOWN && state->current + 1 < count) Select(combo, state, state->current + 1, true);
  if (key == VK_RETURN || key == VK_ESCAPE) CloseList(combo, state);
}

LRESULT HandleMessage(HWND combo, ComboState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(combo, state, reinterpret_cast<const CREATESTRUCT*>(lParam));
      return 0;
    case WM_DESTROY:
      CloseList(combo, state);
      return 0;
    case WM_LBUTTONDOWN:
      if (!IsWindowEnabled(combo)) return 0;
      if (state->list != nullptr) {
        CloseList(combo, state);
      } else {
        SetFocus(state->edit != nullptr ? state->edit : combo);
        OpenList(combo, state);
      }
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(combo, state, wParam);
      return 0;
    case WM_SETFOCUS:
      if (state->edit != nullptr) {
        SetFocus(state->edit);
      } else {
        InvalidateRect(combo, nullptr, TRUE);
      }
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(combo, nullptr, TRUE);
      return 0;
    case WM_ENABLE:
      if (state->edit != nullptr) EnableWindow(state->edit, static_cast<BOOL>(wParam));
      if (wParam == FALSE) CloseList(combo, state);
      InvalidateRect(combo, nullptr, TRUE);
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == state->edit && HIWORD(wParam) == EN_CHANGE && !state->settingText) {
        NotifyCommand(combo, CBN_EDITCHANGE);
      }
      return 0;
    case WM_SETTEXT:
      if (state->edit != nullptr) {
        SetEditText(state, reinterpret_cast<LPCWSTR>(lParam) != nullptr ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string());
        return TRUE;
      }
      return DefWindowProc(combo, message, wParam, lParam);
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      if (state->edit != nullptr) return SendMessage(state->edit, message, wParam, lParam);
      if (state->current >= 0) {
        const std::u16string& text = state->items[state->current].text;
        if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (buffer == nullptr || wParam == 0) return 0;
        size_t count = std::min(text.size(), static_cast<size_t>(wParam - 1));
        std::copy_n(text.data(), count, buffer);
        buffer[count] = 0;
        return static_cast<LRESULT>(count);
      }
      if (message == WM_GETTEXT && lParam != 0 && wParam != 0) reinterpret_cast<LPWSTR>(lParam)[0] = 0;
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case CB_ADDSTRING:
      return AddString(combo, state, -1, reinterpret_cast<LPCWSTR>(lParam));
    case CB_INSERTSTRING:
      return AddString(combo, state, static_cast<int>(static_cast<intptr_t>(wParam)), reinterpret_cast<LPCWSTR>(lParam));
    case CB_DELETESTRING: {
      if (wParam >= state->items.size()) return CB_ERR;
      auto index = static_cast<int>(wParam);
      state->items.erase(state->items.begin() + index);
      if (state->current == index) {
        state->current = -1;
      } else if (state->current > index) {
        --state->current;
      }
      InvalidateRect(combo, nullptr, TRUE);
      return static_cast<LRESULT>(state->items.size());
    }
    case CB_RESETCONTENT:
      CloseList(combo, state);
      state->items.clear();
      state->current = -1;
      SetEditText(state, u"");
      InvalidateRect(combo, nullptr, TRUE);
      return CB_OKAY;
    case CB_GETCOUNT:
      return static_cast<LRESULT>(state->items.size());
    case CB_GETCURSEL:
      return state->current;
    case CB_SETCURSEL:
      if (static_cast<intptr_t>(wParam) < -1 || static_cast<intptr_t>(wParam) >= static_cast<intptr_t>(state->items.size())) {
        Select(combo, state, -1, false);
        return CB_ERR;
      }
      Select(combo, state, static_cast<int>(static_cast<intptr_t>(wParam)), false);
      return state->current;
    case CB_GETLBTEXT: {
      if (wParam >= state->items.size() || lParam == 0) return CB_ERR;
      const std::u16string& text = state->items[wParam].text;
      std::copy(text.begin(), text.end(), reinterpret_cast<LPWSTR>(lParam));
      reinterpret_cast<LPWSTR>(lParam)[text.size()] = 0;
      return static_cast<LRESULT>(text.size());
    }
    case CB_GETLBTEXTLEN:
      if (wParam >= state->items.size()) return CB_ERR;
      return static_cast<LRESULT>(state->items[wParam].text.size());
    case CB_SETITEMDATA:
      if (wParam >= state->items.size()) return CB_ERR;
      state->items[wParam].data = lParam;
      return CB_OKAY;
    case CB_GETITEMDATA:
      if (wParam >= state->items.size()) return CB_ERR;
      return state->items[wParam].data;
    case CB_FINDSTRING:
      return Find(state, wParam, reinterpret_cast<LPCWSTR>(lParam), false);
    case CB_FINDSTRINGEXACT:
      return Find(state, wParam, reinterpret_cast<LPCWSTR>(lParam), true);
    case CB_SELECTSTRING: {
      LRESULT found = Find(state, wParam, reinterpret_cast<LPCWSTR>(lParam), false);
      if (found != CB_ERR) Select(combo, state, static_cast<int>(found), false);
      return found;
    }
    case CB_SHOWDROPDOWN:
      if (wParam != 0) {
        OpenList(combo, state);
      } else {
        CloseList(combo, state);
      }
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return state->list != nullptr ? TRUE : FALSE;
    case CB_LIMITTEXT:
      state->limit = static_cast<int>(wParam);
      if (state->edit != nullptr) SendMessage(state->edit, EM_LIMITTEXT, wParam, 0);
      return TRUE;
    case CB_SETEDITSEL:
      if (state->edit == nullptr) return CB_ERR;
      SendMessage(state->edit, EM_SETSEL, static_cast<WPARAM>(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)))),
                  static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam))));
      return TRUE;
    case CB_GETEDITSEL:
      if (state->edit == nullptr) return CB_ERR;
      return SendMessage(state->edit, EM_GETSEL, wParam, lParam);
    case WM_SETFONT:
      if (state->edit != nullptr) SendMessage(state->edit, WM_SETFONT, wParam, lParam);
      return HandleFontMessage(combo, state, message, wParam, lParam);
    case WM_GETFONT:
      return HandleFontMessage(combo, state, message, wParam, lParam);
    default:
      return DefWindowProc(combo, message, wParam, lParam);
  }
}

// The drop-down list.

RECT ListBar(HWND list) {
  RECT client;
  GetClientRect(list, &client);
  return RECT{client.right - GetSystemMetrics(SM_CXVSCROLL) - 1, client.top + 1, client.right - 1, client.bottom - 1};
}

bool HasBar(const ComboListState* list, const ComboState* combo) {
  return static_cast<int>(combo->items.size()) > VisibleRows(combo) && list != nullptr;
}

int RowAt(HWND list, const ComboListState* listState, const ComboState* combo, POINT point) {
  RECT client;
  GetClientRect(list, &client);
  if (!PtInRect(&client, point)) return -1;
  int row = listState->bar.Pos() + (point.y - 1) / kItemHeight;
  return row >= 0 && row < static_cast<int>(combo->items.size()) ? row : -1;
}

void PaintList(HWND list, ComboListState* listState) {
  PaintScope paint(list);
  HDC dc = paint.Dc();
  auto* combo = StateOf<ComboState>(listState->combo);
  RECT client;
  GetClientRect(list, &client);
  FillSolid(dc, client, GetSysColor(COLOR_WINDOW));
  FrameSolid(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  if (combo == nullptr) return;
  bool bar = HasBar(listState, combo);
  int right = bar ? ListBar(list).left : client.right - 1;
  DcFontScope font(dc, listState->combo);
  int first = listState->bar.Pos();
  for (int row = 0; row < VisibleRows(combo); ++row) {
    int index = first + row;
    if (index >= static_cast<int>(combo->items.size())) break;
    RECT rect{client.left + 1, client.top + 1 + row * kItemHeight, right, client.top + 1 + (row + 1) * kItemHeight};
    bool hot = index == (listState->hot >= 0 ? listState->hot : combo->current);
    if (hot) FillSolid(dc, rect, GetSysColor(COLOR_HIGHLIGHT));
    RECT textRect{rect.left + 3, rect.top, rect.right - 2, rect.bottom};
    DrawLabel(dc, combo->items[index].text, textRect, DT_LEFT,
              hot ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT));
  }
  if (bar) listState->bar.Draw(dc, ListBar(list), true);
}

void ListButtonDown(HWND list, ComboListState* listState, ComboState* combo, POINT point) {
  RECT client;
  GetClientRect(list, &client);
  if (!PtInRect(&client, point)) {
    CloseList(listState->combo, combo);  // a tap outside dismisses the list
    return;
  }
  RECT barRect = ListBar(list);
  if (HasBar(listState, combo) && PtInRect(&barRect, point)) {
    RECT bar = ListBar(list);
    ScrollBarModel& model = listState->bar;
    switch (model.HitTest(bar, point)) {
      case ScrollBarModel::Part::kLineUp: model.SetPos(model.Pos() - 1); break;
      case ScrollBarModel::Part::kLineDown: model.SetPos(model.Pos() + 1); break;
      case ScrollBarModel::Part::kPageUp: model.SetPos(model.Pos() - static_cast<int>(model.Page())); break;
      case ScrollBarModel::Part::kPageDown: model.SetPos(model.Pos() + static_cast<int>(model.Page())); break;
      case ScrollBarModel::Part::kThumb:
        model.BeginDrag(bar, point);
        listState->draggingBar = true;
        break;
      case ScrollBarModel::Part::kNone: break;
    }
    InvalidateRect(list, nullptr, TRUE);
    return;
  }
  listState->hot = RowAt(list, listState, combo, point);
  InvalidateRect(list, nullptr, TRUE);
}

void ListButtonUp(HWND list, ComboListState* listState, ComboState* combo, POINT point) {
  if (listState->draggingBar) {
    listState->bar.SetPos(listState->bar.DragTo(ListBar(list), point));
    listState->bar.EndDrag();
    listState->draggingBar = false;
    InvalidateRect(list, nullptr, TRUE);
    return;
  }
  int row = RowAt(list, listState, combo, point);
  if (row < 0 || row != listState->hot) return;
  HWND comboWindow = listState->combo;
  CloseList(comboWindow, combo);
  Select(comboWindow, combo, row, true);
}

LRESULT ComboListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* listState = CreateState<ComboListState>(list);
    if (listState == nullptr) return FALSE;
    listState->combo = static_cast<HWND>(reinterpret_cast<const CREATESTRUCT*>(lParam)->lpCreateParams);
    if (auto* combo = StateOf<ComboState>(listState->combo)) {
      SCROLLINFO info;
      info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      info.nMax = std::max(0, static_cast<int>(combo->items.size()) - 1);
      info.nPage = static_cast<UINT>(VisibleRows(combo));
      info.nPos = std::max(0, combo->current - VisibleRows(combo) + 1);
      listState->bar.Set(info);
    }
    return DefWindowProc(list, message, wParam, lParam);
  }
  auto* listState = StateOf<ComboListState>(list);
  ComboState* combo = listState != nullptr ? StateOf<ComboState>(listState->combo) : nullptr;
  if (listState == nullptr || combo == nullptr) return DefWindowProc(list, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      PaintList(list, listState);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      ListButtonDown(list, listState, combo, PointFromLParam(lParam));
      return 0;
    case WM_MOUSEMOVE:
      if (listState->draggingBar) {
        listState->bar.SetPos(listState->bar.DragTo(ListBar(list), PointFromLParam(lParam)));
        InvalidateRect(list, nullptr, TRUE);
      } else if ((wParam & 1) != 0) {
        listState->hot = RowAt(list, listState, combo, PointFromLParam(lParam));
        InvalidateRect(list, nullptr, TRUE);
      }
      return 0;
    case WM_LBUTTONUP:
      ListButtonUp(list, listState, combo, PointFromLParam(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != list && IsWindow(list) && combo->list == list) {
        CloseList(listState->combo, combo);
      }
      return 0;
    default:
      return DefWindowProc(list, message, wParam, lParam);
  }
}

}  // namespace

WNDPROC ComboBoxProcedure() { return ControlProc<ComboState, OnPaint, HandleMessage>; }
WNDPROC ComboListProcedure() { return ComboListProc; }

}  // namespace ce::detail
