// Commands, owner draw and custom draw as the parent sees them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/controls/Button.h"
#include "platform/controls/ListView.h"
#include "platform/framework/ListView.h"
#include "platform/testing/TestSupport.h"
#include "tests/controls/ControlTesting.h"

namespace ce::testing {
namespace {

class ControlRoutingTest : public ::testing::Test {
 protected:
  // A device of its own: windows of tests in parallel processes stay apart.
  ce::testing::TempDeviceRoot root_;
  void SetUp() override { InitCommonControls(); }

  HWND Child(LPCWSTR className, LPCWSTR text, DWORD style, int id, RECT r) {
    return CreateWindowEx(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                          r.bottom - r.top, parent_, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  }

  std::vector<Command> commands_;
  std::vector<DRAWITEMSTRUCT> drawn_;
  std::vector<DWORD> stages_;
  LRESULT prepaintAnswer_ = CDRF_NOTIFYITEMDRAW;
  LRESULT itemAnswer_ = CDRF_DODEFAULT;
  TestWindow parent_{[this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_COMMAND) commands_.push_back({LOWORD(wp), HIWORD(wp)});
    if (m == WM_DRAWITEM) {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      drawn_.push_back(*item);
      HBRUSH brush = CreateSolidBrush((item->itemState & ODS_SELECTED) != 0 ? RGB(200, 0, 0) : RGB(0, 0, 200));
      FillRect(item->hDC, &item->rcItem, brush);
      DeleteObject(brush);
      return TRUE;
    }
    if (m == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == NM_CUSTOMDRAW) {
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lp);
      stages_.push_back(draw->nmcd.dwDrawStage);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return prepaintAnswer_;
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        // Odd rows are drawn by the parent in green.
        if (draw->nmcd.dwItemSpec % 2 == 1) {
          HBRUSH brush = CreateSolidBrush(RGB(0, 160, 0));
          FillRect(draw->nmcd.hdc, &draw->nmcd.rc, brush);
          DeleteObject(brush);
          return CDRF_SKIPDEFAULT;
        }
        return itemAnswer_;
      }
      return CDRF_DODEFAULT;
    }
    return DefWindowProc(w, m, wp, lp);
  }, nullptr, WS_VISIBLE, u"parent"};
};

TEST_F(ControlRoutingTest, OwnerDrawnButtonIsDrawnByItsParentWithItsPressedState) {
  MoveWindow(parent_, 0, 0, 240, 100, FALSE);
  HWND button = Child(WC_BUTTON, u"x", BS_OWNERDRAW, 77, RECT{10, 10, 60, 40});
  UpdateWindow(parent_);
  PumpUntilIdle();
  ASSERT_FALSE(drawn_.empty());
  EXPECT_EQ(drawn_.back().CtlType, ODT_BUTTON);
  EXPECT_EQ(drawn_.back().CtlID, 77u);
  EXPECT_EQ(drawn_.back().hwndItem, button);
  EXPECT_EQ(drawn_.back().itemState & ODS_SELECTED, 0u);
  EXPECT_EQ(PixelOf(button, 5, 5), RGB(0, 0, 200));

  SendMessage(button, WM_LBUTTONDOWN, 1, MAKELPARAM(5, 5));
  PumpUntilIdle();
  EXPECT_NE(drawn_.back().itemState & ODS_SELECTED, 0u);
  EXPECT_EQ(PixelOf(button, 5, 5), RGB(200, 0, 0));
  SendMessage(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PumpUntilIdle();
  ASSERT_EQ(commands_.size(), 1u);
  EXPECT_EQ(commands_[0].id, 77);
  EXPECT_EQ(commands_[0].code, BN_CLICKED);
}

TEST_F(ControlRoutingTest, ReleaseOutsideTheButtonIsNoClick) {
  HWND button = Child(WC_BUTTON, u"OK", BS_PUSHBUTTON, 1, RECT{0, 0, 50, 20});
  SendMessage(button, WM_LBUTTONDOWN, 1, MAKELPARAM(5, 5));
  SendMessage(button, WM_LBUTTONUP, 0, MAKELPARAM(90, 5));
  EXPECT_TRUE(commands_.empty());
}

TEST_F(ControlRoutingTest, AutomaticCheckBoxAndRadioGroup) {
  HWND check = Child(WC_BUTTON, u"c", BS_AUTOCHECKBOX | WS_GROUP, 10, RECT{0, 0, 80, 16});
  HWND radioA = Child(WC_BUTTON, u"a", BS_AUTORADIOBUTTON | WS_GROUP, 11, RECT{0, 20, 80, 36});
  HWND radioB = Child(WC_BUTTON, u"b", BS_AUTORADIOBUTTON, 12, RECT{0, 40, 80, 56});
  HWND radioC = Child(WC_BUTTON, u"other group", BS_AUTORADIOBUTTON | WS_GROUP, 13, RECT{0, 60, 80, 76});
  Tap(check, 2, 2);
  EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  Tap(check, 2, 2);
  EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
  SendMessage(radioC, BM_SETCHECK, BST_CHECKED, 0);
  Tap(radioA, 2, 2);
  Tap(radioB, 2, 2);
  EXPECT_EQ(SendMessage(radioA, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
  EXPECT_EQ(SendMessage(radioB, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  EXPECT_EQ(SendMessage(radioC, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  EXPECT_EQ(commands_.size(), 4u);
}

TEST_F(ControlRoutingTest, DisabledButtonIgnoresTaps) {
  HWND button = Child(WC_BUTTON, u"OK", BS_PUSHBUTTON, 1, RECT{0, 0, 50, 20});
  EnableWindow(button, FALSE);
  Tap(button, 5, 5);
  SendMessage(button, BM_CLICK, 0, 0);
  EXPECT_TRUE(commands_.empty());
}

HWND MakeList(HWND parent, int rows) {
  HWND list = CreateWindowEx(0, WC_LISTVIEW, u"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL,
                             0, 0, 200, 100, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(5)), nullptr, nullptr);
  SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  LVCOLUMN column;
  column.mask = LVCF_WIDTH;
  column.cx = 200;
  SendMessage(list, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&column));
  for (int i = 0; i < rows; ++i) {
    std::u16string text = u"row";
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = i;
    item.pszText = text.data();
    item.lParam = 100 + i;
    SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
  }
  return list;
}

TEST_F(ControlRoutingTest, CustomDrawStagesAndSkipDefault) {
  MoveWindow(parent_, 0, 0, 240, 120, FALSE);
  HWND list = MakeList(parent_, 3);
  prepaintAnswer_ = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
  itemAnswer_ = CDRF_NOTIFYSUBITEMDRAW;
  stages_.clear();
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(list);
  std::vector<DWORD> expected = {CDDS_PREPAINT,
                                 CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT | CDDS_SUBITEM,
                                 CDDS_ITEMPREPAINT,
                                 CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT | CDDS_SUBITEM,
                                 CDDS_POSTPAINT};
  EXPECT_EQ(stages_, expected);
  RECT row1;
  row1.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessage(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row1)));
  EXPECT_EQ(PixelOf(list, 100, (row1.top + row1.bottom) / 2), RGB(0, 160, 0));
  // Without item notifications only the two list stages come.
  prepaintAnswer_ = CDRF_DODEFAULT;
  stages_.clear();
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(list);
  EXPECT_EQ(stages_, std::vector<DWORD>{CDDS_PREPAINT});
  EXPECT_EQ(PixelOf(list, 100, (row1.top + row1.bottom) / 2), GetSysColor(COLOR_WINDOW));
}

TEST_F(ControlRoutingTest, ListSelectionHitTestAndSelectAll) {
  HWND list = MakeList(parent_, 20);
  std::vector<int> changed;
  RECT row2;
  row2.left = LVIR_BOUNDS;
  SendMessage(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row2));
  LVHITTESTINFO hit;
  hit.pt = POINT{10, row2.top + 1};
  EXPECT_EQ(SendMessage(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 2);
  Tap(list, 10, row2.top + 1);
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
  EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
  // Single selection: selecting all keeps one.
  LVITEM all;
  all.state = LVIS_SELECTED;
  all.stateMask = LVIS_SELECTED;
  SendMessage(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
  EXPECT_LE(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
  SetWindowLong(list, GWL_STYLE, GetWindowLong(list, GWL_STYLE) & ~static_cast<LONG>(LVS_SINGLESEL));
  SendMessage(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
  EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 20);
  // Rows below the fold scroll into view.
  SendMessage(list, LVM_ENSUREVISIBLE, 19, FALSE);
  int top = static_cast<int>(SendMessage(list, LVM_GETTOPINDEX, 0, 0));
  int page = static_cast<int>(SendMessage(list, LVM_GETCOUNTPERPAGE, 0, 0));
  EXPECT_GT(top, 0);
  EXPECT_EQ(top + page - 1, 19);
}

// A stored mark comes back as it was, -2 included (no answer of the control
// may double as "not a message of this group").
TEST_F(ControlRoutingTest, SelectionMarkKeepsAnyValue) {
  HWND list = MakeList(parent_, 3);
  auto previous = static_cast<int>(SendMessage(list, LVM_GETSELECTIONMARK, 0, 0));
  for (int mark : {2, -2, 0, -2, -1}) {
    EXPECT_EQ(SendMessage(list, LVM_SETSELECTIONMARK, 0, mark), previous) << mark;
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTIONMARK, 0, 0), mark);
    previous = mark;
  }
}

// An owner window that records the item data of every row its lists report
// as deleted.
std::unique_ptr<TestWindow> DeletionRecorder(std::vector<LPARAM>* deleted) {
  return std::make_unique<TestWindow>([deleted](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == LVN_DELETEITEM) {
      deleted->push_back(reinterpret_cast<NMLISTVIEW*>(lp)->lParam);
    }
    return DefWindowProc(w, m, wp, lp);
  });
}

TEST_F(ControlRoutingTest, RemovedRowsAreReportedWithTheirData) {
  std::vector<LPARAM> deleted;
  auto recorder = DeletionRecorder(&deleted);
  TestWindow& owner = *recorder;
  HWND list = MakeList(owner, 3);
  SendMessage(list, LVM_DELETEITEM, 1, 0);
  EXPECT_EQ(deleted, std::vector<LPARAM>{101});
  DestroyWindow(list);
  EXPECT_EQ(deleted, (std::vector<LPARAM>{101, 100, 102}));
}

// A list object that goes away while its window still exists must still let
// the list report its rows, so that their data is freed.
TEST_F(ControlRoutingTest, WrappedListDestroyedWithItsObjectReportsItsRows) {
  std::vector<LPARAM> deleted;
  auto recorder = DeletionRecorder(&deleted);
  TestWindow& owner = *recorder;
  HWND list = MakeList(owner, 3);
  {
    ce::ListView object;
    ASSERT_TRUE(object.SubclassWindow(list));
  }
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(deleted, (std::vector<LPARAM>{100, 101, 102}));
}

}  // namespace
}  // namespace ce::testing
