// The index grid of the browse screen: the entries of an index table, each
// drawn centred in its cell of 22 x 14 pixels at the place the table's
// layout gives it.
#pragma once

#include "platform/framework/ListView.h"

class CIndexGrid : public ce::ListView {
 public:
  static constexpr ce::COLORREF kBackground = 0x00F8F5F1;
  static constexpr ce::COLORREF kSelectedFill = 0x00C69A8C;
  static constexpr ce::COLORREF kSelectedText = 0x00FFFFFF;
  static constexpr ce::COLORREF kText = 0x00000000;

 protected:
  bool OnCustomDraw(ce::NMLVCUSTOMDRAW* draw, ce::LRESULT* result) override;
};
