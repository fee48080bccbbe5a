// Internal: pixel-exact operations on a DC's surface, always within the DC's
// clip. Rectangles and regions here are in surface (device) coordinates.
#pragma once

#include <cairo.h>

#include <algorithm>
#include <cstdint>

#include "platform/gdi/detail/DcObject.h"
#include "platform/gdi/detail/PixelRegion.h"

namespace ce::detail {

// The surface word of a COLORREF, and back.
inline uint32_t ToPixel(COLORREF c) {
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
         GetBValue(c);
}
inline COLORREF FromPixel(uint32_t v) {
  return RGB(static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v));
}

inline void SetSourceColor(cairo_t* cr, COLORREF c) {
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

// The part of area that the DC may draw.
PixelRegion ClippedArea(DcObject& dc, const PixelRegion& area);

// Calls run(row, x0, x1, y) for every horizontal run of pixels of
// area ∩ clip (x1 exclusive), with the surface flushed before and marked
// dirty after. Returns the region touched.
template <class Run>
PixelRegion ForEachRun(DcObject& dc, const PixelRegion& area, Run run) {
  PixelRegion todo = ClippedArea(dc, area);
  Surface& s = dc.Target();
  s.Flush();
  int n = todo.RectCount();
  for (int i = 0; i < n; ++i) {
    RECT r = todo.RectAt(i);
    for (int y = r.top; y < r.bottom; ++y) run(s.Row(y), static_cast<int>(r.left), static_cast<int>(r.right), y);
    cairo_surface_mark_dirty_rectangle(s.Cairo(), r.left, r.top, r.right - r.left,
                                       r.bottom - r.top);
  }
  return todo;
}

// Fills with one colour; an opaque fill also drops the text it covers from
// the surface's record.
void FillArea(DcObject& dc, const PixelRegion& area, COLORREF color);
inline void FillDeviceRect(DcObject& dc, const RECT& rect, COLORREF color) {
  if (!IsRectEmpty(&rect)) FillArea(dc, PixelRegion(rect), color);
}
// Applies a bitwise operation with a constant (XOR with 0xFFFFFF inverts).
void XorArea(DcObject& dc, const PixelRegion& area, uint32_t mask);
// One pixel, if inside the clip.
void PlotPixel(DcObject& dc, int x, int y, uint32_t pixel);

}  // namespace ce::detail
