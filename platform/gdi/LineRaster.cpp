#include "platform/gdi/detail/LineRaster.h"

#include <cstdlib>

#include "platform/gdi/detail/Raster.h"

namespace ce::detail {

LineRaster::LineRaster(DcObject& dc)
    : dc_(dc),
      color_(ToPixel(dc.State().pen->pen.lopnColor)),
      gap_(ToPixel(dc.State().bkColor)),
      dashed_(dc.State().pen->pen.lopnStyle == static_cast<UINT>(PS_DASH)),
      fillGaps_(dc.State().bkMode == OPAQUE) {
  dc_.Target().Flush();
}

LineRaster::~LineRaster() {
  if (!IsRectEmpty(&dirty_)) {
    cairo_surface_mark_dirty_rectangle(dc_.Target().Cairo(), dirty_.left, dirty_.top,
                                       dirty_.right - dirty_.left, dirty_.bottom - dirty_.top);
  }
}

void LineRaster::Plot(int x, int y, uint32_t pixel) {
  if (!dc_.Clip().Contains(x, y)) return;
  dc_.Target().Row(y)[x] = pixel;
  RECT one{x, y, x + 1, y + 1};
  UnionRect(&dirty_, &dirty_, &one);
}

void LineRaster::Line(int x0, int y0, int x1, int y1) {
  int dx = std::abs(x1 - x0);
  int dy = -std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1;
  int sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  int x = x0;
  int y = y0;
  while (x != x1 || y != y1) {
    bool on = !dashed_ || dashPos_ < kDashOn;
    if (on) {
      Plot(x, y, color_);
    } else if (fillGaps_) {
      Plot(x, y, gap_);
    }
    dashPos_ = (dashPos_ + 1) % (kDashOn + kDashOff);
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

}  // namespace ce::detail
