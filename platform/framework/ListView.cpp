#include "platform/framework/ListView.h"

#include <vector>

namespace ce {

int ListView::InsertItem(int index, const std::u16string& text, int image, LPARAM data) const {
  std::u16string copy = text;
  LVITEM item;
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = index;
  item.pszText = copy.data();
  item.iImage = image;
  item.lParam = data;
  return static_cast<int>(SendMessage(LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::SetItemText(int index, int column, const std::u16string& text) const {
  std::u16string copy = text;
  LVITEM item;
  item.iSubItem = column;
  item.pszText = copy.data();
  return SendMessage(LVM_SETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::u16string ListView::GetItemText(int index, int column) const {
  std::vector<char16_t> buffer(1024);
  LVITEM item;
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  auto length = SendMessage(LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return std::u16string(buffer.data(), static_cast<size_t>(length));
}

bool ListView::SetItemData(int index, LPARAM data) const {
  LVITEM item;
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = data;
  return SendMessage(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

LPARAM ListView::GetItemData(int index) const {
  LVITEM item;
  item.mask = LVIF_PARAM;
  item.iItem = index;
  return SendMessage(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)) != 0 ? item.lParam : 0;
}

bool ListView::SetItemImage(int index, int image) const {
  LVITEM item;
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  item.iImage = image;
  return SendMessage(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool ListView::SetItemState(int index, UINT state, UINT mask) const {
  LVITEM item;
  item.state = state;
  item.stateMask = mask;
  return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(static_cast<intptr_t>(index)), reinterpret_cast<LPARAM>(&item)) != 0;
}

int ListView::HitTest(POINT point, UINT* flags) const {
  LVHITTESTINFO info;
  info.pt = point;
  auto index = static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (flags != nullptr) *flags = info.flags;
  return index;
}

RECT ListView::GetItemRect(int index, LONG part) const {
  RECT rect;
  rect.left = part;
  if (SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) == 0) return RECT{};
  return rect;
}

int ListView::InsertColumn(int index, const std::u16string& text, int width) const {
  std::u16string copy = text;
  LVCOLUMN column;
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = copy.data();
  column.cx = width;
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMN, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

bool ListView::SetItemPosition(int index, POINT point) const {
  return SendMessage(LVM_SETITEMPOSITION, static_cast<WPARAM>(index),
                     MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y))) != 0;
}

bool ListView::OnCustomDraw(NMLVCUSTOMDRAW*, LRESULT*) { return false; }

bool ListView::ReflectChildNotify(UINT message, WPARAM /*wParam*/, LPARAM lParam, LRESULT* result) {
  if (message != WM_NOTIFY) return false;
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header->code != NM_CUSTOMDRAW) return false;
  return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam), result);
}

}  // namespace ce
