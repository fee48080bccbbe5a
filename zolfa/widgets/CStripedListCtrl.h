// A list view that draws each of its rows itself on stripes: even rows
// light, odd rows white, the selected row in the selection colour. Below the
// last row the stripes go on to the bottom of the list.
#pragma once

#include "platform/framework/ListView.h"

class CStripedListCtrl : public ce::ListView {
 public:
  static constexpr ce::COLORREF kSelectedFill = 0x00C69A8C;
  static constexpr ce::COLORREF kEvenRowFill = 0x00EFF7F7;
  static constexpr ce::COLORREF kOddRowFill = 0x00FFFFFF;

  // The background of a row.
  static ce::COLORREF RowFill(int row, bool selected) {
    return selected ? kSelectedFill : (row % 2 == 0 ? kEvenRowFill : kOddRowFill);
  }

 protected:
  bool OnCustomDraw(ce::NMLVCUSTOMDRAW* draw, ce::LRESULT* result) override;
  // Draws the whole row, its background included.
  virtual void DrawRow(ce::HDC dc, const ce::RECT& rect, int row, bool selected) const = 0;
  // The height of a stripe while the list cannot tell it (it has no rows).
  virtual int FallbackRowHeight() const = 0;
  // How many rows the list draws.
  virtual int RowsShown() const { return GetItemCount(); }

 private:
  void DrawStripesBelow(ce::HDC dc, const ce::RECT& client) const;
};
