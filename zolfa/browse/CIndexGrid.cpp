#include "zolfa/browse/CIndexGrid.h"

#include <string>

#include "platform/gdi/Gdi.h"
#include "zolfa/browse/IndexGrid.h"

using namespace ce;

bool CIndexGrid::OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      *result = CDRF_NOTIFYITEMDRAW;
      return true;
    case CDDS_ITEMPREPAINT: {
      const int entry = static_cast<int>(draw->nmcd.dwItemSpec);
      const bool selected = (draw->nmcd.uItemState & CDIS_SELECTED) != 0;
      RECT cell{draw->nmcd.rc.left, draw->nmcd.rc.top, draw->nmcd.rc.left + zolfa::kGridEntryWidth,
                draw->nmcd.rc.top + zolfa::kGridRowHeight};
      HBRUSH brush = CreateSolidBrush(selected ? kSelectedFill : kBackground);
      FillRect(draw->nmcd.hdc, &cell, brush);
      DeleteObject(brush);
      const std::u16string text = GetItemText(entry, 0);
      SetBkMode(draw->nmcd.hdc, TRANSPARENT);
      SetTextColor(draw->nmcd.hdc, selected ? kSelectedText : kText);
      // "合輯" is wider than a cell and runs into the empty ones beside it.
      RECT place = cell;
      if (text.size() > 1) place.right = cell.left + 3 * zolfa::kGridEntryWidth;
      DrawText(draw->nmcd.hdc, text.c_str(), static_cast<int>(text.size()), &place,
               (text.size() > 1 ? DT_LEFT : DT_CENTER) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      *result = CDRF_SKIPDEFAULT;
      return true;
    }
    default:
      return false;
  }
}
