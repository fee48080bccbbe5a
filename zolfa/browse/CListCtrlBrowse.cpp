#include "zolfa/browse/CListCtrlBrowse.h"

#include "platform/controls/Metrics.h"
#include "platform/framework/Bitmap.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/ImageList.h"
#include "platform/shell/Gesture.h"

using namespace ce;
using zolfa::FeedItem;

CListCtrlBrowse::~CListCtrlBrowse() {
  if (icons_ != nullptr) ImageList_Destroy(icons_);
}

bool CListCtrlBrowse::Attach(int id, HWND dialog) {
  if (!SubclassDlgItem(id, dialog)) return false;
  SetExtendedStyle(LVS_EX_FULLROWSELECT);
  SetBkColor(kOddRowFill);
  InsertColumn(0, u"", kScreenWidth - GetSystemMetrics(SM_CXVSCROLL));
  Bitmap strip;
  if (strip.LoadResource(kIconsBitmap)) {
    icons_ = ImageList_Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, 4, 0);
    ImageList_AddMasked(icons_, strip.Handle(), kIconsTransparent);
    SetImageList(icons_, LVSIL_SMALL);
  }
  return true;
}

void CListCtrlBrowse::AddRow(const FeedItem& item) {
  items_.push_back(std::make_unique<FeedItem>(item));
  const int row = RowCount() - 1;
  InsertItem(row, item.title, IconOf(row), reinterpret_cast<LPARAM>(items_.back().get()));
}

void CListCtrlBrowse::FillRows(const std::vector<FeedItem>& items) {
  DeleteAllRows();
  for (const FeedItem& item : items) AddRow(item);
}

void CListCtrlBrowse::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  DeleteItem(row);
  items_.erase(items_.begin() + row);
}

void CListCtrlBrowse::DeleteAllRows() {
  DeleteAllItems();
  items_.clear();
}

void CListCtrlBrowse::SetRowText(int row, const std::u16string& text) {
  if (row < 0 || row >= RowCount()) return;
  items_[static_cast<size_t>(row)]->title = text;
  SetItemText(row, 0, text);
}

const FeedItem* CListCtrlBrowse::Item(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  return items_[static_cast<size_t>(row)].get();
}

std::vector<int> CListCtrlBrowse::SelectedRows() const {
  std::vector<int> rows;
  for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) {
    rows.push_back(row);
  }
  return rows;
}

void CListCtrlBrowse::SelectRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EnsureVisible(row);
}

void CListCtrlBrowse::FitColumn(int width) {
  if (width < 0) {
    width = GetClientRect().right;
    if (RowCount() > GetCountPerPage()) width -= GetSystemMetrics(SM_CXVSCROLL);
  }
  SetColumnWidth(0, width);
}

int CListCtrlBrowse::IconOf(int row) const {
  const FeedItem* item = Item(row);
  if (item == nullptr) return kIconOther;
  if (zolfa::IsPlayable(*item)) {
    if (form_ == Form::kBrowse) {
      const std::u16string playing = core_.NowPlayingLink();
      if (!playing.empty() && playing == item->link) return kIconPlaying;
    } else if (core_.CurrentTab() == 0 && core_.NowPlayingIndex() == row) {
      return kIconPlaying;
    }
    return kIconPlayable;
  }
  return item->category == zolfa::kCategoryArtist ? kIconArtist : kIconOther;
}

void CListCtrlBrowse::DrawRow(HDC dc, const RECT& rect, int row, bool selected) const {
  const COLORREF fill = RowFill(row, selected);
  HBRUSH brush = CreateSolidBrush(fill);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
  if (icons_ != nullptr) {
    ImageList_Draw(icons_, IconOf(row), dc, rect.left + 1,
                   rect.top + (rect.bottom - rect.top - kIconSize) / 2, ILD_TRANSPARENT);
  }
  const FeedItem* item = Item(row);
  if (item == nullptr) return;
  RECT text{rect.left + kTextIndent, rect.top, rect.right, rect.bottom};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, selected ? kSelectedText : kText);
  DrawText(dc, item->title.c_str(), static_cast<int>(item->title.size()), &text,
           DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

bool CListCtrlBrowse::ConsumeHold() {
  const bool held = held_;
  held_ = false;
  return held;
}

void CListCtrlBrowse::OnLButtonDown(UINT flags, POINT point) {
  held_ = false;
  ListView::OnLButtonDown(flags, point);  // selects the row
  SHRGINFO info;
  info.hwndClient = Handle();
  info.ptDown = point;
  info.dwFlags = SHRG_NOTIFYPARENT;
  if (SHRecognizeGesture(&info) == GN_CONTEXTMENU) held_ = true;
}

void CListCtrlBrowse::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  constexpr UINT kActionKey = 134;
  if (key == kActionKey) {
    SHRGINFO info;
    info.hwndClient = Handle();
    int row = FirstSelectedRow();
    if (row >= 0) {
      RECT rect = GetItemRect(row);
      info.ptDown = POINT{rect.left + 1, rect.top + 1};
    }
    info.dwFlags = SHRG_NOTIFYPARENT;
    if (SHRecognizeGesture(&info) == GN_CONTEXTMENU) return;
  }
  ListView::OnKeyDown(key, repeat, flags);
}

void CListCtrlBrowse::OnDestroy() {
  DeleteAllItems();
  items_.clear();
  ListView::OnDestroy();
}
