// The list view class: items, selection, input and notifications.
#include <algorithm>
#include <optional>

#include "platform/controls/CommonControls.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/ListViewState.h"
#include "platform/window/Focus.h"
#include "platform/window/Keys.h"

namespace ce::detail {

namespace {

// Room beside the widest text when a column is fitted to its texts, in
// pixels.
constexpr int kColumnFitPaddingPx = 12;

bool SingleSelection(HWND list) { return (GetWindowLong(list, GWL_STYLE) & LVS_SINGLESEL) != 0; }

int Count(const ListViewState* state) { return static_cast<int>(state->items.size()); }

void NotifyChanged(HWND list, const ListViewState* state, int index, UINT oldState, UINT newState) {
  NMLISTVIEW change;
  change.iItem = index;
  change.uOldState = oldState;
  change.uNewState = newState;
  change.uChanged = LVIF_STATE;
  change.lParam = state->items[index].param;
  NotifyParent(list, &change.hdr, LVN_ITEMCHANGED);
}

// Sets state bits of one item (index >= 0) or all (-1), keeping one focused
// item and, with LVS_SINGLESEL, one selected item.
void SetItemState(HWND list, ListViewState* state, int index, UINT bits, UINT mask) {
  if (index < -1 || index >= Count(state)) return;
  std::vector<std::pair<int, UINT>> changes;  // index, old state
  auto apply = [&](int i, UINT newBits, UINT newMask) {
    UINT old = state->items[i].state;
    UINT updated = (old & ~newMask) | (newBits & newMask);
    if (updated != old) {
      state->items[i].state = updated;
      changes.emplace_back(i, old);
    }
  };
  for (int i = 0; i < Count(state); ++i) {
    if (index != -1 && i != index) {
      // Another item loses the focus or the single selection.
      UINT clear = 0;
      if ((mask & bits & LVIS_FOCUSED) != 0) clear |= LVIS_FOCUSED;
      if ((mask & bits & LVIS_SELECTED) != 0 && SingleSelection(list)) clear |= LVIS_SELECTED;
      if (clear != 0) apply(i, 0, clear);
    }
  }
  if (index == -1) {
    UINT allMask = mask;
    if (SingleSelection(list)) allMask &= ~(bits & LVIS_SELECTED);
    allMask &= ~(bits & LVIS_FOCUSED);  // setting focus on all items makes no sense
    for (int i = 0; i < Count(state); ++i) apply(i, bits, allMask);
  } else {
    apply(index, bits, mask);
  }
  if (changes.empty()) return;
  InvalidateRect(list, nullptr, TRUE);
  for (auto [i, old] : changes) {
    if (i < Count(state)) NotifyChanged(list, state, i, old, state->items[i].state);
  }
}

void EnsureVisible(HWND list, ListViewState* state, int index) {
  if (index < 0 || index >= Count(state)) return;
  ListViewGeometry geometry(list, *state);
  if (!geometry.Report()) return;
  int page = geometry.RowsPerPage();
  int top = state->top;
  if (index < top) top = index;
  if (index >= top + page) top = index - page + 1;
  if (top != state->top) {
    state->top = std::max(0, top);
    UpdateListViewBar(list, state);
    InvalidateRect(list, nullptr, TRUE);
  }
}

// Selects only this item and gives it the focus, as a tap or a key does.
void SelectOnly(HWND list, ListViewState* state, int index) {
  for (int i = 0; i < Count(state); ++i) {
    if (i != index && (state->items[i].state & LVIS_SELECTED) != 0) SetItemState(list, state, i, 0, LVIS_SELECTED);
  }
  if (index >= 0 && index < Count(state)) {
    SetItemState(list, state, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    state->mark = index;
    EnsureVisible(list, state, index);
  }
}

int FocusedItem(const ListViewState* state) {
  for (int i = 0; i < Count(state); ++i) {
    if ((state->items[i].state & LVIS_FOCUSED) != 0) return i;
  }
  return -1;
}

void NotifyDeleted(HWND list, ListViewState* state, int index) {
  NMLISTVIEW deleted;
  deleted.iItem = index;
  deleted.lParam = state->items[index].param;
  NotifyParent(list, &deleted.hdr, LVN_DELETEITEM);
}

BOOL DeleteItem(HWND list, ListViewState* state, int index) {
  if (index < 0 || index >= Count(state)) return FALSE;
  NotifyDeleted(list, state, index);
  if (index >= Count(state)) return FALSE;
  state->items.erase(state->items.begin() + index);
  if (state->mark == index) {
    state->mark = -1;
  } else if (state->mark > index) {
    --state->mark;
  }
  UpdateListViewBar(list, state);
  InvalidateRect(list, nullptr, TRUE);
  return TRUE;
}

BOOL DeleteAll(HWND list, ListViewState* state) {
  NMLISTVIEW all;
  all.iItem = -1;
  bool quiet = NotifyParent(list, &all.hdr, LVN_DELETEALLITEMS) != 0;
  if (!quiet) {
    for (int i = 0; i < Count(state); ++i) NotifyDeleted(list, state, i);
  }
  state->items.clear();
  state->top = 0;
  state->mark = -1;
  UpdateListViewBar(list, state);
  InvalidateRect(list, nullptr, TRUE);
  return TRUE;
}

void SetText(ListViewItem* item, int column, LPCWSTR text) {
  if (column < 0 || column > 255) return;
  if (static_cast<int>(item->texts.size()) <= column) item->texts.resize(static_cast<size_t>(column) + 1);
  item->texts[column] = text != nullptr ? text : u"";
}

LRESULT InsertItem(HWND list, ListViewState* state, const LVITEM* in) {
  if (in == nullptr || in->iSubItem != 0) return -1;
  ListViewItem item;
  if ((in->mask & LVIF_TEXT) != 0) SetText(&item, 0, in->pszText);
  if ((in->mask & LVIF_IMAGE) != 0) item.image = in->iImage;
  if ((in->mask & LVIF_PARAM) != 0) item.param = in->lParam;
  int index = ClampInt(in->iItem, 0, Count(state));
  state->items.insert(state->items.begin() + index, item);
  if (state->mark >= index) ++state->mark;
  if ((in->mask & LVIF_STATE) != 0 && (in->state & in->stateMask) != 0) {
    SetItemState(list, state, index, in->state, in->stateMask);
  }
  UpdateListViewBar(list, state);
  InvalidateRect(list, nullptr, TRUE);
  NMLISTVIEW inserted;
  inserted.iItem = index;
  inserted.lParam = item.param;
  NotifyParent(list, &inserted.hdr, LVN_INSERTITEM);
  return index;
}

int CopyText(const std::u16string& text, LPWSTR buffer, int max) {
  if (buffer == nullptr || max <= 0) return 0;
  size_t count = std::min(text.size(), static_cast<size_t>(max - 1));
  std::copy_n(text.data(), count, buffer);
  buffer[count] = 0;
  return static_cast<int>(count);
}

LRESULT GetItem(const ListViewState* state, LVITEM* out) {
  if (out == nullptr || out->iItem < 0 || out->iItem >= Count(state)) return FALSE;
  const ListViewItem& item = state->items[out->iItem];
  if ((out->mask & LVIF_TEXT) != 0) {
    std::u16string text = out->iSubItem < static_cast<int>(item.texts.size()) && out->iSubItem >= 0 ? item.texts[out->iSubItem] : std::u16string();
    CopyText(text, out->pszText, out->cchTextMax);
  }
  if ((out->mask & LVIF_IMAGE) != 0) out->iImage = item.image;
  if ((out->mask & LVIF_PARAM) != 0) out->lParam = item.param;
  if ((out->mask & LVIF_STATE) != 0) out->state = item.state & out->stateMask;
  return TRUE;
}

LRESULT SetItem(HWND list, ListViewState* state, const LVITEM* in) {
  if (in == nullptr || in->iItem < 0 || in->iItem >= Count(state)) return FALSE;
  ListViewItem& item = state->items[in->iItem];
  if ((in->mask & LVIF_TEXT) != 0) SetText(&item, in->iSubItem, in->pszText);
  if (in->iSubItem == 0) {
    if ((in->mask & LVIF_IMAGE) != 0) item.image = in->iImage;
    if ((in->mask & LVIF_PARAM) != 0) item.param = in->lParam;
    if ((in->mask & LVIF_STATE) != 0) SetItemState(list, state, in->iItem, in->state, in->stateMask);
  }
  InvalidateRect(list, nullptr, TRUE);
  return TRUE;
}

LRESULT GetNextItem(const ListViewState* state, int start, UINT flags) {
  UINT wanted = flags & (LVNI_SELECTED | LVNI_FOCUSED);
  int step = (flags & LVNI_ABOVE) != 0 ? -1 : 1;
  for (int i = start + step; i >= 0 && i < Count(state); i += step) {
    UINT bits = state->items[i].state;
    bool match = ((wanted & LVNI_SELECTED) == 0 || (bits & LVIS_SELECTED) != 0) &&
                 ((wanted & LVNI_FOCUSED) == 0 || (bits & LVIS_FOCUSED) != 0);
    if (match) return i;
  }
  return -1;
}

LRESULT HitTest(HWND list, ListViewState* state, LVHITTESTINFO* info) {
  if (info == nullptr) return -1;
  ListViewGeometry geometry(list, *state);
  int column = 0;
  info->iItem = geometry.HitItem(info->pt, &column);
  info->iSubItem = column;
  info->flags = info->iItem >= 0 ? LVHT_ONITEM : LVHT_NOWHERE;
  if (info->iItem < 0 && geometry.Report() && info->pt.y >= geometry.RowsArea().top &&
      state->top + (info->pt.y - geometry.RowsArea().top) / geometry.RowHeight() >= Count(state)) {
    info->flags |= LVHT_BELOW;
  }
  return info->iItem;
}

LRESULT GetItemRect(HWND list, ListViewState* state, int index, RECT* rect) {
  if (rect == nullptr || index < 0 || index >= Count(state)) return FALSE;
  ListViewGeometry geometry(list, *state);
  LONG part = rect->left;
  *rect = geometry.ItemRect(index);
  if (part == LVIR_ICON || part == LVIR_LABEL) {
    int iconWidth = 0;
    int iconHeight = 0;
    if (state->smallImages != nullptr) ImageList_GetIconSize(state->smallImages, &iconWidth, &iconHeight);
    if (part == LVIR_ICON) rect->right = rect->left + 2 + iconWidth;
    if (part == LVIR_LABEL) rect->left += 2 + (iconWidth > 0 ? iconWidth + 2 : 0);
  }
  return TRUE;
}

void Scroll(HWND list, ListViewState* state, int top) {
  int old = state->top;
  state->top = state->bar.SetPos(top);
  if (state->top != old) InvalidateRect(list, nullptr, TRUE);
}

void OnBarDown(HWND list, ListViewState* state, const ListViewGeometry& geometry, POINT point) {
  RECT bar = geometry.BarRect();
  int page = geometry.RowsPerPage();
  switch (state->bar.HitTest(bar, point)) {
    case ScrollBarModel::Part::kLineUp: Scroll(list, state, state->top - 1); break;
    case ScrollBarModel::Part::kLineDown: Scroll(list, state, state->top + 1); break;
    case ScrollBarModel::Part::kPageUp: Scroll(list, state, state->top - page); break;
    case ScrollBarModel::Part::kPageDown: Scroll(list, state, state->top + page); break;
    case ScrollBarModel::Part::kThumb:
      state->bar.BeginDrag(bar, point);
      state->draggingBar = true;
      SetCapture(list);
      break;
    case ScrollBarModel::Part::kNone: break;
  }
}

void OnLButtonDown(HWND list, ListViewState* state, POINT point) {
  if (!IsWindowEnabled(list)) return;
  if (GetFocus() != list) SetFocus(list);
  if (!IsWindow(list)) return;
  UpdateListViewBar(list, state);
  ListViewGeometry geometry(list, *state);
  if (geometry.HasBar()) {
    RECT bar = geometry.BarRect();
    if (PtInRect(&bar, point)) {
      OnBarDown(list, state, geometry, point);
      return;
    }
  }
  int index = geometry.HitItem(point, nullptr);
  state->pressed = index;
  state->tracking = true;
  SetCapture(list);
  SelectOnly(list, state, index);
}

void OnLButtonUp(HWND list, ListViewState* state, POINT point) {
  if (state->draggingBar) {
    ListViewGeometry geometry(list, *state);
    Scroll(list, state, state->bar.DragTo(geometry.BarRect(), point));
    state->bar.EndDrag();
    state->draggingBar = false;
    ReleaseCapture();
    return;
  }
  if (!state->tracking) return;
  state->tracking = false;
  ReleaseCapture();
  NMITEMACTIVATE click;
  click.iItem = state->pressed;
  click.ptAction = point;
  if (click.iItem >= 0 && click.iItem < Count(state)) click.lParam = state->items[click.iItem].param;
  NotifyParent(list, &click.hdr, NM_CLICK);
}

void OnKeyDown(HWND list, ListViewState* state, WPARAM key) {
  NMLVKEYDOWN keyDown;
  keyDown.wVKey = static_cast<WORD>(key);
  NotifyParent(list, &keyDown.hdr, LVN_KEYDOWN);
  if (!IsWindow(list) || Count(state) == 0) return;
  ListViewGeometry geometry(list, *state);
  int focus = FocusedItem(state);
  int page = geometry.RowsPerPage();
  int target;
  switch (key) {
    case VK_UP: target = focus < 0 ? 0 : focus - 1; break;
    case VK_DOWN: target = focus < 0 ? 0 : focus + 1; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = Count(state) - 1; break;
    case VK_PRIOR: target = focus - page; break;
    case VK_NEXT: target = focus + page; break;
    case VK_RETURN: {
      NMHDR header;
      NotifyParent(list, &header, NM_RETURN);
      return;
    }
    default: return;
  }
  SelectOnly(list, state, ClampInt(target, 0, Count(state) - 1));
}

// The answer to a list view message of the item group, or nothing when the
// message belongs to another group: any LRESULT is a valid answer (a stored
// selection mark may be -2), so "not mine" cannot be a number.
std::optional<LRESULT> OnMessage(HWND list, ListViewState* state, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  auto index = static_cast<int>(static_cast<intptr_t>(wParam));
  switch (message) {
    case LVM_INSERTITEM:
      return InsertItem(list, state, reinterpret_cast<const LVITEM*>(lParam));
    case LVM_DELETEITEM:
      return DeleteItem(list, state, index);
    case LVM_DELETEALLITEMS:
      return DeleteAll(list, state);
    case LVM_GETITEMCOUNT:
      return Count(state);
    case LVM_GETITEM:
      return GetItem(state, reinterpret_cast<LVITEM*>(lParam));
    case LVM_SETITEM:
      return SetItem(list, state, reinterpret_cast<const LVITEM*>(lParam));
    case LVM_SETITEMTEXT: {
      auto* item = reinterpret_cast<const LVITEM*>(lParam);
      if (item == nullptr || index < 0 || index >= Count(state)) return FALSE;
      SetText(&state->items[index], item->iSubItem, item->pszText);
      InvalidateRect(list, nullptr, TRUE);
      return TRUE;
    }
    case LVM_GETITEMTEXT: {
      auto* item = reinterpret_cast<LVITEM*>(lParam);
      if (item == nullptr || index < 0 || index >= Count(state)) return 0;
      const ListViewItem& stored = state->items[index];
      std::u16string text = item->iSubItem >= 0 && item->iSubItem < static_cast<int>(stored.texts.size()) ? stored.texts[item->iSubItem] : std::u16string();
      return CopyText(text, item->pszText, item->cchTextMax);
    }
    case LVM_SETITEMSTATE: {
      auto* item = reinterpret_cast<const LVITEM*>(lParam);
      if (item == nullptr) return FALSE;
      SetItemState(list, state, index, item->state, item->stateMask);
      if (index >= 0 && index < Count(state) && (item->state & item->stateMask & LVIS_SELECTED) != 0) state->mark = index;
      return TRUE;
    }
    case LVM_GETITEMSTATE:
      if (index < 0 || index >= Count(state)) return 0;
      return static_cast<LRESULT>(state->items[index].state & static_cast<UINT>(lParam));
    case LVM_GETNEXTITEM:
      return GetNextItem(state, index, static_cast<UINT>(lParam));
    case LVM_GETSELECTEDCOUNT:
      return std::count_if(state->items.begin(), state->items.end(), [](const ListViewItem& i) { return (i.state & LVIS_SELECTED) != 0; });
    case LVM_GETSELECTIONMARK:
      return state->mark;
    case LVM_SETSELECTIONMARK: {
      int old = state->mark;
      state->mark = static_cast<int>(lParam);
      return old;
    }
    case LVM_ENSUREVISIBLE:
      EnsureVisible(list, state, index);
      return TRUE;
    case LVM_HITTEST:
    case LVM_SUBITEMHITTEST:
      return HitTest(list, state, reinterpret_cast<LVHITTESTINFO*>(lParam));
    case LVM_GETITEMRECT:
      return GetItemRect(list, state, index, reinterpret_cast<RECT*>(lParam));
    case LVM_SETITEMPOSITION:
      if (index < 0 || index >= Count(state)) return FALSE;
      state->items[index].position = PointFromLParam(lParam);
      state->items[index].placed = true;
      InvalidateRect(list, nullptr, TRUE);
      return TRUE;
    case LVM_GETITEMPOSITION: {
      auto* point = reinterpret_cast<POINT*>(lParam);
      if (point == nullptr || index < 0 || index >= Count(state)) return FALSE;
      RECT rect = ListViewGeometry(list, *state).ItemRect(index);
      *point = POINT{rect.left, rect.top};
      return TRUE;
    }
    case LVM_GETTOPINDEX:
      return state->top;
    case LVM_GETCOUNTPERPAGE:
      return ListViewGeometry(list, *state).RowsPerPage();
    case LVM_SETIMAGELIST: {
      HIMAGELIST* slot = wParam == LVSIL_SMALL ? &state->smallImages : wParam == LVSIL_STATE ? &state->stateImages : &state->normalImages;
      HIMAGELIST old = *slot;
      *slot = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(list, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(wParam == LVSIL_SMALL ? state->smallImages : wParam == LVSIL_STATE ? state->stateImages : state->normalImages);
    case LVM_SETBKCOLOR:
      state->background = static_cast<COLORREF>(lParam);
      InvalidateRect(list, nullptr, TRUE);
      return TRUE;
    case LVM_GETBKCOLOR:
      return static_cast<LRESULT>(state->background == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : state->background);
    case LVM_SETTEXTCOLOR:
      state->textColor = static_cast<COLORREF>(lParam);
      InvalidateRect(list, nullptr, TRUE);
      return TRUE;
    case LVM_SETTEXTBKCOLOR:
      state->textBackground = static_cast<COLORREF>(lParam);
      InvalidateRect(list, nullptr, TRUE);
      return TRUE;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      DWORD old = state->exStyle;
      auto mask = static_cast<DWORD>(wParam == 0 ? 0xFFFFFFFFu : wParam);
      state->exStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
      InvalidateRect(list, nullptr, TRUE);
      return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
      return state->exStyle;
    case LVM_REDRAWITEMS:
      InvalidateRect(list, nullptr, TRUE);
      return TRUE;
    default:
      return std::nullopt;
  }
}

std::optional<LRESULT> OnColumnMessage(HWND list, ListViewState* state, UINT message,
                                       WPARAM wParam, LPARAM lParam) {
  auto index = static_cast<int>(static_cast<intptr_t>(wParam));
  int count = static_cast<int>(state->columns.size());
  switch (message) {
    case LVM_INSERTCOLUMN: {
      auto* in = reinterpret_cast<const LVCOLUMN*>(lParam);
      if (in == nullptr) return -1;
      ListViewColumn column;
      if ((in->mask & LVCF_TEXT) != 0 && in->pszText != nullptr) column.text = in->pszText;
      if ((in->mask & LVCF_WIDTH) != 0) column.width = std::max(0, in->cx);
      if ((in->mask & LVCF_FMT) != 0) column.format = in->fmt;
      index = ClampInt(index, 0, count);
      state->columns.insert(state->columns.begin() + index, column);
      InvalidateRect(list, nullptr, TRUE);
      return index;
    }
    case LVM_DELETECOLUMN:
      if (index < 0 || index >= count) return FALSE;
      state->columns.erase(state->columns.begin() + index);
      InvalidateRect(list, nullptr, TRUE);
      return TRUE;
    case LVM_SETCOLUMN: {
      auto* in = reinterpret_cast<const LVCOLUMN*>(lParam);
      if (in == nullptr || index < 0 || index >= count) return FALSE;
      if ((in->mask & LVCF_TEXT) != 0 && in->pszText != nullptr) state->columns[index].text = in->pszText;
      if ((in->mask & LVCF_WIDTH) != 0) state->columns[index].width = std::max(0, in->cx);
      if ((in->mask & LVCF_FMT) != 0) state->columns[index].format = in->fmt;
      InvalidateRect(list, nullptr, TRUE);
      return TRUE;
    }
    case LVM_GETCOLUMN: {
      auto* out = reinterpret_cast<LVCOLUMN*>(lParam);
      if (out == nullptr || index < 0 || index >= count) return FALSE;
      if ((out->mask & LVCF_WIDTH) != 0) out->cx = state->columns[index].width;
      if ((out->mask & LVCF_FMT) != 0) out->fmt = state->columns[index].format;
      if ((out->mask & LVCF_TEXT) != 0) CopyText(state->columns[index].text, out->pszText, out->cchTextMax);
      return TRUE;
    }
    case LVM_SETCOLUMNWIDTH: {
      if (index < 0 || index >= count) return FALSE;
      int width = static_cast<int>(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam))));
      if (width < 0) {
        // Fit the widest text of the column.
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, ControlFont(list));
        width = 0;
        for (const ListViewItem& item : state->items) {
          if (index >= static_cast<int>(item.texts.size())) continue;
          SIZE size;
          GetTextExtentPoint32(dc, item.texts[index].c_str(), static_cast<int>(item.texts[index].size()), &size);
          width = std::max<int>(width, size.cx + kColumnFitPaddingPx);
        }
        DeleteDC(dc);
      }
      state->columns[index].width = width;
      InvalidateRect(list, nullptr, TRUE);
      return TRUE;
    }
    case LVM_GETCOLUMNWIDTH:
      if (index < 0 || index >= count) return 0;
      return state->columns[index].width;
    default:
      return std::nullopt;
  }
}

LRESULT HandleMessage(HWND list, ListViewState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= LVM_FIRST && message < LVM_FIRST + 0x100) {
    std::optional<LRESULT> result = OnMessage(list, state, message, wParam, lParam);
    if (!result) result = OnColumnMessage(list, state, message, wParam, lParam);
    return result.value_or(0);
  }
  switch (message) {
    case WM_DESTROY:
      DeleteAll(list, state);
      return 0;
    case WM_SIZE:
      UpdateListViewBar(list, state);
      InvalidateRect(list, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(list, state, PointFromLParam(lParam));
      return 0;
    case WM_MOUSEMOVE:
      if (state->draggingBar) {
        ListViewGeometry geometry(list, *state);
        Scroll(list, state, state->bar.DragTo(geometry.BarRect(), PointFromLParam(lParam)));
      }
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(list, state, PointFromLParam(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != list) {
        state->tracking = false;
        if (state->draggingBar) {
          state->bar.EndDrag();
          state->draggingBar = false;
        }
      }
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(list, state, wParam);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      InvalidateRect(list, nullptr, TRUE);
      NMHDR header;
      NotifyParent(list, &header, message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
      return 0;
    }
    case WM_ENABLE:
      InvalidateRect(list, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT:
    case WM_GETFONT:
      return HandleFontMessage(list, state, message, wParam, lParam);
    default:
      return DefWindowProc(list, message, wParam, lParam);
  }
}

}  // namespace

WNDPROC ListViewProcedure() { return ControlProc<ListViewState, PaintListView, HandleMessage>; }

}  // namespace ce::detail
