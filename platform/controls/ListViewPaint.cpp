// List view geometry and painting, with the custom draw stages.
#include <algorithm>

#include "platform/controls/Metrics.h"
#include "platform/controls/detail/ListViewState.h"
#include "platform/window/Focus.h"

namespace ce::detail {

namespace {

constexpr int kHeaderHeight = 18;  // pixels
constexpr int kTextIndent = 4;     // pixels before a column's text

COLORREF Resolve(COLORREF color, int sysColor) {
  return color == CLR_DEFAULT ? GetSysColor(sysColor) : color;
}

}  // namespace

ListViewGeometry::ListViewGeometry(HWND list, const ListViewState& state) : state_(state) {
  GetClientRect(list, &client_);
  auto style = static_cast<DWORD>(GetWindowLong(list, GWL_STYLE));
  report_ = (style & LVS_TYPEMASK) == LVS_REPORT;
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, ControlFont(list));
  TEXTMETRIC metrics;
  GetTextMetrics(dc, &metrics);
  int textHeight = std::max<int>(1, metrics.tmHeight);
  int iconHeight = 0;
  HIMAGELIST icons = report_ || (style & LVS_TYPEMASK) != LVS_ICON ? state.smallImages : state.normalImages;
  if (icons != nullptr) {
    int w = 0;
    int h = 0;
    ImageList_GetIconSize(icons, &w, &h);
    iconWidth_ = w;
    iconHeight = h;
  }
  if (report_) {
    rowHeight_ = std::max(textHeight, iconHeight) + 2;
    headerHeight_ = (style & LVS_NOCOLUMNHEADER) != 0 ? 0 : kHeaderHeight;
    hasBar_ = (style & LVS_NOSCROLL) == 0 && static_cast<int>(state.items.size()) > RowsPerPage();
  } else {
    rowHeight_ = std::max(textHeight, iconHeight);
    for (const ListViewItem& item : state.items) {
      SIZE size;
      const std::u16string text = item.texts.empty() ? std::u16string() : item.texts[0];
      GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
      itemWidths_.push_back((iconWidth_ > 0 ? iconWidth_ + 2 : 0) + size.cx + 2);
    }
  }
  DeleteDC(dc);
}

int ListViewGeometry::RowsPerPage() const {
  return std::max(1, static_cast<int>((client_.bottom - client_.top - headerHeight_) / rowHeight_));
}

RECT ListViewGeometry::BarRect() const {
  return RECT{client_.right - GetSystemMetrics(SM_CXVSCROLL), client_.top + headerHeight_,
              client_.right, client_.bottom};
}

RECT ListViewGeometry::RowsArea() const {
  RECT area{client_.left, client_.top + headerHeight_, client_.right, client_.bottom};
  if (hasBar_) area.right = BarRect().left;
  return area;
}

RECT ListViewGeometry::ColumnSpan(int column) const {
  int x = client_.left;
  for (int i = 0; i < column && i < static_cast<int>(state_.columns.size()); ++i) x += state_.columns[i].width;
  int width = column < static_cast<int>(state_.columns.size()) ? state_.columns[column].width : 0;
  return RECT{x, 0, x + width, 0};
}

RECT ListViewGeometry::ItemRect(int index) const {
  if (index < 0 || index >= static_cast<int>(state_.items.size())) return RECT{};
  if (report_) {
    int top = client_.top + headerHeight_ + (index - state_.top) * rowHeight_;
    int right = client_.left;
    for (const ListViewColumn& column : state_.columns) right += column.width;
    if (state_.columns.empty()) right = RowsArea().right;
    return RECT{client_.left, top, right, top + rowHeight_};
  }
  const ListViewItem& item = state_.items[index];
  POINT at = item.placed ? item.position : POINT{0, (index - state_.top) * rowHeight_};
  return RECT{at.x, at.y, at.x + itemWidths_[index], at.y + rowHeight_};
}

int ListViewGeometry::HitItem(POINT point, int* column) const {
  if (column != nullptr) *column = 0;
  RECT rows = RowsArea();
  if (!PtInRect(&rows, point)) return -1;
  if (report_) {
    int index = state_.top + static_cast<int>((point.y - rows.top) / rowHeight_);
    if (index < 0 || index >= static_cast<int>(state_.items.size())) return -1;
    RECT rect = ItemRect(index);
    if (point.x >= rect.right) return -1;
    if (column != nullptr) {
      for (int c = 0; c < static_cast<int>(state_.columns.size()); ++c) {
        RECT span = ColumnSpan(c);
        if (point.x >= span.left && point.x < span.right) *column = c;
      }
    }
    return index;
  }
  // Icon views: the topmost item drawn last wins.
  for (int i = static_cast<int>(state_.items.size()) - 1; i >= 0; --i) {
    RECT rect = ItemRect(i);
    if (PtInRect(&rect, point)) return i;
  }
  return -1;
}

void UpdateListViewBar(HWND list, ListViewState* state) {
  ListViewGeometry geometry(list, *state);
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, static_cast<int>(state->items.size()) - 1);
  info.nPage = static_cast<UINT>(geometry.RowsPerPage());
  info.nPos = state->top;
  state->top = state->bar.Set(info);
  if (!geometry.Report() && !std::any_of(state->items.begin(), state->items.end(), [](const ListViewItem& i) { return !i.placed; })) {
    state->top = 0;
  }
}

namespace {

LRESULT SendCustomDraw(HWND list, NMLVCUSTOMDRAW* draw) {
  return NotifyParent(list, &draw->nmcd.hdr, NM_CUSTOMDRAW);
}

void DrawCell(HDC dc, const ListViewState& state, const ListViewItem& item, int column, RECT cell,
              const ListViewGeometry& geometry, COLORREF text) {
  int x = cell.left + (column == 0 ? 2 : kTextIndent);
  if (column == 0) {
    HIMAGELIST icons = geometry.Report() ? state.smallImages : (state.smallImages != nullptr ? state.smallImages : state.normalImages);
    if (icons != nullptr && item.image >= 0) {
      int w = 0;
      int h = 0;
      ImageList_GetIconSize(icons, &w, &h);
      ImageList_Draw(icons, item.image, dc, x, cell.top + (cell.bottom - cell.top - h) / 2, ILD_TRANSPARENT);
      x += w + 2;
    }
  }
  if (column < static_cast<int>(item.texts.size()) && !item.texts[column].empty()) {
    RECT textRect{x, cell.top, cell.right - 1, cell.bottom};
    const std::u16string& value = item.texts[column];
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    int format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    int fmt = column < static_cast<int>(state.columns.size()) ? state.columns[column].format : LVCFMT_LEFT;
    if (fmt == LVCFMT_RIGHT) format |= DT_RIGHT;
    if (fmt == LVCFMT_CENTER) format |= DT_CENTER;
    DrawText(dc, value.c_str(), static_cast<int>(value.size()), &textRect, static_cast<UINT>(format));
  }
}

// Default drawing of one item (or one cell with column >= 0), in the colours
// custom draw left.
void DrawItemDefault(HWND list, const ListViewState& state, const ListViewGeometry& geometry,
                     int index, int onlyColumn, const NMLVCUSTOMDRAW& draw) {
  HDC dc = draw.nmcd.hdc;
  const ListViewItem& item = state.items[index];
  RECT row = geometry.ItemRect(index);
  bool focusedList = GetFocus() == list;
  bool selected = (draw.nmcd.uItemState & CDIS_SELECTED) != 0;
  // The handset shows the selection also while the list has no focus.
  bool showSelected = selected;
  COLORREF background;
  COLORREF text;
  if (showSelected) {
    background = focusedList ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNFACE);
    text = focusedList ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT);
  } else {
    background = draw.clrTextBk != CLR_DEFAULT ? draw.clrTextBk : state.textBackground;
    text = draw.clrText != CLR_DEFAULT ? draw.clrText : Resolve(state.textColor, COLOR_WINDOWTEXT);
  }
  int columns = geometry.Report() ? std::max<int>(1, static_cast<int>(state.columns.size())) : 1;
  for (int column = 0; column < columns; ++column) {
    if (onlyColumn >= 0 && column != onlyColumn) continue;
    RECT cell = row;
    if (geometry.Report() && !state.columns.empty()) {
      RECT span = geometry.ColumnSpan(column);
      cell.left = span.left;
      cell.right = span.right;
    }
    bool fullRow = (state.exStyle & LVS_EX_FULLROWSELECT) != 0 || column == 0;
    COLORREF cellBackground = fullRow || !showSelected ? background : state.textBackground;
    if (cellBackground != CLR_NONE && cellBackground != CLR_DEFAULT) FillSolid(dc, cell, cellBackground);
    DrawCell(dc, state, item, column, cell, geometry,
             fullRow || !showSelected ? text : Resolve(state.textColor, COLOR_WINDOWTEXT));
  }
}

void DrawHeader(HDC dc, const ListViewState& state, const ListViewGeometry& geometry) {
  RECT client = geometry.Client();
  RECT header{client.left, client.top, client.right, client.top + geometry.HeaderHeight()};
  FillSolid(dc, header, GetSysColor(COLOR_BTNFACE));
  for (int c = 0; c < static_cast<int>(state.columns.size()); ++c) {
    RECT span = geometry.ColumnSpan(c);
    RECT cell{span.left, header.top, span.right, header.bottom};
    FrameSolid(dc, cell, GetSysColor(COLOR_BTNSHADOW));
    RECT textRect{cell.left + kTextIndent, cell.top, cell.right - 2, cell.bottom};
    DrawLabel(dc, state.columns[c].text, textRect, DT_LEFT, GetSysColor(COLOR_BTNTEXT));
  }
}

void DrawOneItem(HWND list, ListViewState* state, const ListViewGeometry& geometry, HDC dc,
                 int index, LRESULT prepaint) {
  ListViewItem& item = state->items[index];
  NMLVCUSTOMDRAW draw;
  draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  draw.nmcd.hdc = dc;
  draw.nmcd.rc = geometry.ItemRect(index);
  draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index);
  if ((item.state & LVIS_SELECTED) != 0) draw.nmcd.uItemState |= CDIS_SELECTED;
  if ((item.state & LVIS_FOCUSED) != 0 && GetFocus() == list) draw.nmcd.uItemState |= CDIS_FOCUS;
  draw.nmcd.lItemlParam = item.param;
  int saved = SaveDC(dc);
  SelectObject(dc, ControlFont(list));
  LRESULT answer = (prepaint & CDRF_NOTIFYITEMDRAW) != 0 ? SendCustomDraw(list, &draw) : CDRF_DODEFAULT;
  if (index >= static_cast<int>(state->items.size())) {  // the parent removed items while drawing
    RestoreDC(dc, saved);
    return;
  }
  if ((answer & CDRF_SKIPDEFAULT) == 0) {
    if ((answer & CDRF_NOTIFYSUBITEMDRAW) != 0 && geometry.Report()) {
      int columns = std::max<int>(1, static_cast<int>(state->columns.size()));
      for (int column = 0; column < columns; ++column) {
        NMLVCUSTOMDRAW sub = draw;
        sub.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        sub.iSubItem = column;
        RECT span = geometry.ColumnSpan(column);
        if (!state->columns.empty()) {
          sub.nmcd.rc.left = span.left;
          sub.nmcd.rc.right = span.right;
        }
        LRESULT subAnswer = SendCustomDraw(list, &sub);
        if (index >= static_cast<int>(state->items.size())) break;
        if ((subAnswer & CDRF_SKIPDEFAULT) == 0) DrawItemDefault(list, *state, geometry, index, column, sub);
      }
    } else {
      DrawItemDefault(list, *state, geometry, index, -1, draw);
    }
    if (GetFocus() == list && (item.state & LVIS_FOCUSED) != 0) {
      RECT focus = geometry.ItemRect(index);
      DrawFocusRect(dc, &focus);
    }
  }
  if ((answer & CDRF_NOTIFYPOSTPAINT) != 0 && index < static_cast<int>(state->items.size())) {
    draw.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
    SendCustomDraw(list, &draw);
  }
  RestoreDC(dc, saved);
}

}  // namespace

void PaintListView(HWND list, ListViewState* state) {
  PaintScope paint(list);
  HDC dc = paint.Dc();
  UpdateListViewBar(list, state);
  ListViewGeometry geometry(list, *state);
  RECT client = geometry.Client();
  NMLVCUSTOMDRAW draw;
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  draw.nmcd.hdc = dc;
  draw.nmcd.rc = client;
  LRESULT prepaint = SendCustomDraw(list, &draw);
  if (!IsWindow(list) || StateOf<ListViewState>(list) != state) return;
  if ((prepaint & CDRF_SKIPDEFAULT) != 0) return;
  FillSolid(dc, client, Resolve(state->background, COLOR_WINDOW));
  if (geometry.HeaderHeight() > 0) DrawHeader(dc, *state, geometry);
  RECT rows = geometry.RowsArea();
  int saved = SaveDC(dc);
  IntersectClipRect(dc, rows.left, rows.top, rows.right, rows.bottom);
  for (int index = 0; index < static_cast<int>(state->items.size()); ++index) {
    RECT rect = geometry.ItemRect(index);
    if (rect.bottom <= rows.top || rect.top >= rows.bottom) continue;
    DrawOneItem(list, state, geometry, dc, index, prepaint);
  }
  RestoreDC(dc, saved);
  if (geometry.HasBar()) state->bar.Draw(dc, geometry.BarRect(), IsWindowEnabled(list) != FALSE);
  if ((prepaint & CDRF_NOTIFYPOSTPAINT) != 0) {
    draw.nmcd.dwDrawStage = CDDS_POSTPAINT;
    SendCustomDraw(list, &draw);
  }
}

}  // namespace ce::detail
