// Internal: one-pixel lines, stepped pixel by pixel so that every pixel of a
// thin line is exactly the pen's colour (the end point is not drawn).
#pragma once

#include <vector>

#include "platform/gdi/detail/DcObject.h"

namespace ce::detail {

class LineRaster {
 public:
  // Dashes of PS_DASH lines, in pixels.
  static constexpr int kDashOn = 18;
  static constexpr int kDashOff = 6;

  explicit LineRaster(DcObject& dc);
  ~LineRaster();
  LineRaster(const LineRaster&) = delete;
  LineRaster& operator=(const LineRaster&) = delete;

  // From (x0, y0) up to but not including (x1, y1), device coordinates.
  // Gaps of a dashed pen take the background colour when the DC's
  // background mode is OPAQUE.
  void Line(int x0, int y0, int x1, int y1);

 private:
  void Plot(int x, int y, uint32_t pixel);

  DcObject& dc_;
  uint32_t color_;
  uint32_t gap_;
  bool dashed_;
  bool fillGaps_;
  int dashPos_ = 0;
  RECT dirty_{};
};

}  // namespace ce::detail
