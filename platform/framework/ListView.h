// A list view of the framework. A subclass draws rows itself by overriding
// OnCustomDraw, which sees every stage of NM_CUSTOMDRAW.
#pragma once

#include <string>

#include "platform/controls/ListView.h"
#include "platform/framework/Window.h"

namespace ce {

class ListView : public Window {
 public:
  int InsertItem(int index, const std::u16string& text, int image = 0, LPARAM data = 0) const;
  bool SetItemText(int index, int column, const std::u16string& text) const;
  std::u16string GetItemText(int index, int column) const;
  bool SetItemData(int index, LPARAM data) const;
  LPARAM GetItemData(int index) const;
  bool SetItemImage(int index, int image) const;
  bool DeleteItem(int index) const { return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index)) != 0; }
  bool DeleteAllItems() const { return SendMessage(LVM_DELETEALLITEMS) != 0; }
  int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  int GetNextItem(int start, UINT flags) const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), static_cast<LPARAM>(flags)));
  }
  int GetSelectedCount() const { return static_cast<int>(SendMessage(LVM_GETSELECTEDCOUNT)); }
  bool SetItemState(int index, UINT state, UINT mask) const;
  UINT GetItemState(int index, UINT mask) const {
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), static_cast<LPARAM>(mask)));
  }
  // Selects every row (-1 addresses all items).
  bool SelectAll() const { return SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED); }
  bool EnsureVisible(int index) const { return SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index)) != 0; }
  int HitTest(POINT point, UINT* flags = nullptr) const;
  RECT GetItemRect(int index, LONG part = LVIR_BOUNDS) const;
  int GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
  int GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
  int InsertColumn(int index, const std::u16string& text, int width) const;
  bool SetColumnWidth(int column, int width) const {
    return SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(static_cast<WORD>(width), 0)) != 0;
  }
  int GetColumnWidth(int column) const { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column))); }
  DWORD SetExtendedStyle(DWORD style) const {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
  }
  HIMAGELIST SetImageList(HIMAGELIST list, WPARAM kind) const {
    return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, kind, reinterpret_cast<LPARAM>(list)));
  }
  bool SetBkColor(COLORREF color) const { return SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(color)) != 0; }
  bool SetItemPosition(int index, POINT point) const;

 protected:
  // NM_CUSTOMDRAW of this list; true when handled, with the answer
  // (CDRF_...) in result. The default lets the list draw itself.
  virtual bool OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result);
  bool ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

}  // namespace ce
