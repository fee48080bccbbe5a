// The state of one list view, shared by its message handling and its
// painting.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/ListView.h"
#include "platform/controls/detail/ControlSupport.h"
#include "platform/controls/detail/ScrollBarModel.h"

namespace ce::detail {

struct ListViewItem {
  std::vector<std::u16string> texts;  // one per column that has text
  int image = 0;
  UINT state = 0;  // LVIS_ bits
  LPARAM param = 0;
  POINT position;
  bool placed = false;  // position set with LVM_SETITEMPOSITION
};

struct ListViewColumn {
  std::u16string text;
  int width = 100;
  int format = LVCFMT_LEFT;
};

class ListViewState : public ControlState {
 public:
  std::vector<ListViewItem> items;
  std::vector<ListViewColumn> columns;
  HIMAGELIST smallImages = nullptr;
  HIMAGELIST normalImages = nullptr;
  HIMAGELIST stateImages = nullptr;
  COLORREF background = CLR_DEFAULT;  // CLR_DEFAULT: the window colour
  COLORREF textColor = CLR_DEFAULT;
  COLORREF textBackground = CLR_NONE;
  DWORD exStyle = 0;
  int top = 0;  // first row shown (report and list views)
  int mark = -1;
  int pressed = -1;  // item under the stylus since it went down
  bool tracking = false;
  bool draggingBar = false;
  ScrollBarModel bar{true};
};

// Geometry shared by painting and hit testing, in client coordinates.
class ListViewGeometry {
 public:
  ListViewGeometry(HWND list, const ListViewState& state);

  bool Report() const { return report_; }
  int RowHeight() const { return rowHeight_; }
  int HeaderHeight() const { return headerHeight_; }
  // Rows that fit wholly in the rows area.
  int RowsPerPage() const;
  bool HasBar() const { return hasBar_; }
  RECT BarRect() const;
  RECT Client() const { return client_; }
  // The area rows are drawn in (without header and scroll bar).
  RECT RowsArea() const;
  RECT ItemRect(int index) const;
  // The left and right pixel of a column.
  RECT ColumnSpan(int column) const;
  int HitItem(POINT point, int* column) const;

 private:
  const ListViewState& state_;
  RECT client_;
  bool report_ = true;
  int rowHeight_ = 18;
  int headerHeight_ = 0;
  bool hasBar_ = false;
  int iconWidth_ = 0;
  std::vector<int> itemWidths_;  // icon views: each item's width
};

// Paints the whole list view (WM_PAINT).
void PaintListView(HWND list, ListViewState* state);
// The bar's range and page for the current items and size.
void UpdateListViewBar(HWND list, ListViewState* state);

}  // namespace ce::detail
