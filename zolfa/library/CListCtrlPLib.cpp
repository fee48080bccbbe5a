#include "zolfa/library/CListCtrlPLib.h"

#include "platform/controls/Metrics.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Gesture.h"

using namespace ce;

namespace {

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

}  // namespace

bool CListCtrlPLib::Attach(int id, HWND dialog) {
  if (!SubclassDlgItem(id, dialog)) return false;
  SetExtendedStyle(LVS_EX_FULLROWSELECT);
  SetBkColor(kOddRowFill);
  InsertColumn(0, u"", GetClientRect().right);
  icons_.LoadResource(kIconsPicture);
  selectedIcons_.LoadResource(kSelectedIconsPicture);
  return true;
}

int CListCtrlPLib::AddRow(const std::u16string& text, LPARAM data) {
  return InsertItem(GetItemCount(), text, 0, data);
}

void CListCtrlPLib::SelectRow(int row) {
  if (row < 0 || row >= GetItemCount()) return;
  SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EnsureVisible(row);
}

void CListCtrlPLib::FitColumn() {
  int width = GetClientRect().right;
  if (GetItemCount() > GetCountPerPage()) width -= GetSystemMetrics(SM_CXVSCROLL);
  SetColumnWidth(0, width);
}

bool CListCtrlPLib::ConsumeHold() {
  const bool held = held_;
  held_ = false;
  return held;
}

void CListCtrlPLib::OnLButtonDown(UINT flags, POINT point) {
  held_ = false;
  ListView::OnLButtonDown(flags, point);
  SHRGINFO info;
  info.hwndClient = Handle();
  info.ptDown = point;
  info.dwFlags = SHRG_NOTIFYPARENT;
  if (SHRecognizeGesture(&info) == GN_CONTEXTMENU) held_ = true;
}

void CListCtrlPLib::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  constexpr UINT kActionKey = 134;
  if (key == kActionKey) {
    SHRGINFO info;
    info.hwndClient = Handle();
    const int row = SelectedRow();
    if (row >= 0) {
      RECT rect = GetItemRect(row);
      info.ptDown = POINT{rect.left + 1, rect.top + 1};
    }
    info.dwFlags = SHRG_NOTIFYPARENT;
    if (SHRecognizeGesture(&info) == GN_CONTEXTMENU) return;
  }
  ListView::OnKeyDown(key, repeat, flags);
}

void CListCtrlPLib::DrawRow(HDC dc, const RECT& rect, int row, bool selected) const {
  Fill(dc, rect, RowFill(row, selected));
  const Bitmap& icons = selected ? selectedIcons_ : icons_;
  if (!icons.Empty()) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, icons.Handle());
    BitBlt(dc, rect.left, rect.top + (rect.bottom - rect.top - kIconSize) / 2, kIconSize,
           kIconSize, source, kind_ == kKindSongs ? kSongIconX : 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
  const std::u16string text = GetItemText(row, 0);
  SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  RECT place{rect.left + kTextIndent, rect.top, rect.right, rect.bottom};
  if (selected) {
    SetTextColor(dc, kSelectedText);
  } else {
    RECT shadow{place.left + 1, place.top + 1, place.right + 1, place.bottom + 1};
    SetTextColor(dc, kTextShadow);
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
    SetTextColor(dc, kText);
  }
  DrawText(dc, text.c_str(), static_cast<int>(text.size()), &place, format);
}

