#include "platform/gdi/detail/Raster.h"

namespace ce::detail {

PixelRegion ClippedArea(DcObject& dc, const PixelRegion& area) {
  PixelRegion todo = area;
  todo.Intersect(dc.Clip());
  return todo;
}

void FillArea(DcObject& dc, const PixelRegion& area, COLORREF color) {
  uint32_t pixel = ToPixel(color);
  PixelRegion done = ForEachRun(dc, area, [pixel](uint32_t* row, int x0, int x1, int) {
    std::fill(row + x0, row + x1, pixel);
  });
  if (!done.Empty()) dc.Target().DropTextInside(done.Get());
}

void XorArea(DcObject& dc, const PixelRegion& area, uint32_t mask) {
  ForEachRun(dc, area, [mask](uint32_t* row, int x0, int x1, int) {
    for (int x = x0; x < x1; ++x) row[x] = (row[x] ^ mask) & 0xFFFFFF;
  });
}

void PlotPixel(DcObject& dc, int x, int y, uint32_t pixel) {
  if (!dc.Clip().Contains(x, y)) return;
  Surface& s = dc.Target();
  s.Flush();
  s.Row(y)[x] = pixel;
  cairo_surface_mark_dirty_rectangle(s.Cairo(), x, y, 1, 1);
}

}  // namespace ce::detail
