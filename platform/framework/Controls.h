// Thin wrappers of the other controls: static texts, text fields, combo
// boxes, trackbars, tab controls and scroll bars.
#pragma once

#include <string>

#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ScrollBar.h"
#include "platform/controls/Static.h"
#include "platform/controls/TabControl.h"
#include "platform/controls/Trackbar.h"
#include "platform/framework/Window.h"

namespace ce {

class Static : public Window {
 public:
  HBITMAP SetBitmap(HBITMAP bitmap) const {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
  }
};

class Edit : public Window {
 public:
  void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
  void ReplaceSel(const std::u16string& text) const { SendMessage(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str())); }
  void LimitText(int limit) const { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(limit)); }
  void SetPasswordChar(char16_t c) const { SendMessage(EM_SETPASSWORDCHAR, c); }
};

class ComboBox : public Window {
 public:
  int AddString(const std::u16string& text) const {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  }
  int InsertString(int index, const std::u16string& text) const {
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
  }
  int DeleteString(int index) const { return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index))); }
  void ResetContent() const { SendMessage(CB_RESETCONTENT); }
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
  std::u16string GetLBText(int index) const;
  int FindStringExact(int start, const std::u16string& text) const {
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text.c_str())));
  }
  void ShowDropDown(BOOL show) const { SendMessage(CB_SHOWDROPDOWN, static_cast<WPARAM>(show)); }
};

class Trackbar : public Window {
 public:
  int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
  void SetPos(int pos) const { SendMessage(TBM_SETPOS, TRUE, pos); }
  void SetRange(int min, int max) const {
    SendMessage(TBM_SETRANGE, TRUE, MAKELPARAM(static_cast<WORD>(min), static_cast<WORD>(max)));
  }
  int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
};

class TabControl : public Window {
 public:
  int InsertItem(int index, const std::u16string& text) const;
  int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
  int SetCurSel(int index) const { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index))); }
  int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
};

class ScrollBar : public Window {
 public:
  int SetScrollInfo(const SCROLLINFO& info, BOOL redraw = TRUE) const { return ce::SetScrollInfo(Handle(), SB_CTL, &info, redraw); }
  int GetScrollPos() const { return ce::GetScrollPos(Handle(), SB_CTL); }
  int SetScrollPos(int pos, BOOL redraw = TRUE) const { return ce::SetScrollPos(Handle(), SB_CTL, pos, redraw); }
};

}  // namespace ce
