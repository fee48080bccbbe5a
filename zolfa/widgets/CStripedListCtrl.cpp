#include "zolfa/widgets/CStripedListCtrl.h"

#include "platform/gdi/Gdi.h"

using namespace ce;

bool CStripedListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      *result = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
      return true;
    case CDDS_ITEMPREPAINT:
      DrawRow(draw->nmcd.hdc, draw->nmcd.rc, static_cast<int>(draw->nmcd.dwItemSpec),
              (draw->nmcd.uItemState & CDIS_SELECTED) != 0);
      *result = CDRF_SKIPDEFAULT;
      return true;
    case CDDS_POSTPAINT:
      DrawStripesBelow(draw->nmcd.hdc, draw->nmcd.rc);
      *result = CDRF_DODEFAULT;
      return true;
    default:
      return false;
  }
}

void CStripedListCtrl::DrawStripesBelow(HDC dc, const RECT& client) const {
  const int count = RowsShown();
  RECT probe = GetItemRect(0);
  int height = probe.bottom - probe.top;
  if (height <= 0) height = FallbackRowHeight();
  int top = count > 0 ? GetItemRect(count - 1).bottom : 0;
  for (int row = count; top < client.bottom; ++row, top += height) {
    RECT stripe{client.left, top, client.right, top + height};
    HBRUSH brush = CreateSolidBrush(RowFill(row, false));
    FillRect(dc, &stripe, brush);
    DeleteObject(brush);
  }
}
