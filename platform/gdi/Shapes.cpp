#include "platform/gdi/Shapes.h"

#include <cmath>
#include <utility>
#include <vector>

#include "platform/gdi/Objects.h"
#include "platform/gdi/detail/DcObject.h"
#include "platform/gdi/detail/LineRaster.h"
#include "platform/gdi/detail/Raster.h"

namespace ce {

using detail::DcObject;
using detail::FindDc;
using detail::PixelRegion;

namespace {

RECT Normalized(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  return RECT{left, top, right, bottom};
}

bool HasPen(DcObject& d) { return d.State().pen != nullptr && !d.State().pen->IsNull(); }
bool HasBrush(DcObject& d) { return d.State().brush != nullptr && !d.State().brush->IsNull(); }

// The one-pixel frame of a device rectangle, as a region.
PixelRegion FrameRegion(const RECT& outer, int width) {
  PixelRegion frame(outer);
  RECT inner{outer.left + width, outer.top + width, outer.right - width, outer.bottom - width};
  if (!IsRectEmpty(&inner)) frame.Subtract(inner);
  return frame;
}

// Strokes the path now on the DC's Cairo context with the pen (for wide
// pens and curves).
void StrokeWithPen(DcObject& d, cairo_t* cr) {
  const LOGPEN& pen = d.State().pen->pen;
  detail::SetSourceColor(cr, pen.lopnColor);
  cairo_set_line_width(cr, d.State().pen->Width());
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  if (pen.lopnStyle == static_cast<UINT>(PS_DASH)) {
    double dashes[2] = {detail::LineRaster::kDashOn * 1.0, detail::LineRaster::kDashOff * 1.0};
    cairo_set_dash(cr, dashes, 2, 0);
  }
  cairo_stroke(cr);
}

void FillPathWithBrush(DcObject& d, cairo_t* cr) {
  detail::SetSourceColor(cr, d.State().brush->brush.lbColor);
  cairo_fill_preserve(cr);
}

// The outline of a polygon or polyline, device coordinates.
void Outline(DcObject& d, const std::vector<POINT>& pts, bool closed) {
  if (pts.size() < 2 || !HasPen(d)) return;
  if (d.State().pen->Width() <= 1) {
    detail::LineRaster raster(d);
    for (size_t i = 1; i < pts.size(); ++i) {
      raster.Line(pts[i - 1].x, pts[i - 1].y, pts[i].x, pts[i].y);
    }
    if (closed) raster.Line(pts.back().x, pts.back().y, pts.front().x, pts.front().y);
    return;
  }
  cairo_t* cr = d.Cairo();
  cairo_move_to(cr, pts[0].x + 0.5, pts[0].y + 0.5);
  for (size_t i = 1; i < pts.size(); ++i) cairo_line_to(cr, pts[i].x + 0.5, pts[i].y + 0.5);
  if (closed) cairo_close_path(cr);
  StrokeWithPen(d, cr);
}

std::vector<POINT> ToDevicePoints(DcObject& d, const POINT* points, int count) {
  POINT o = d.Offset();
  std::vector<POINT> pts(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) pts[static_cast<size_t>(i)] = POINT{points[i].x + o.x, points[i].y + o.y};
  return pts;
}

// Draws a closed curve path built by makePath (device coordinates, pixel
// centres) filled with the brush and outlined with the pen.
template <class MakePath>
BOOL CurvedShape(HDC dc, MakePath makePath) {
  auto d = FindDc(dc);
  if (d == nullptr) return FALSE;
  cairo_t* cr = d->Cairo();
  makePath(cr, d->Offset());
  if (HasBrush(*d)) FillPathWithBrush(*d, cr);
  if (HasPen(*d)) {
    StrokeWithPen(*d, cr);
  } else {
    cairo_new_path(cr);
  }
  return TRUE;
}

}  // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  auto d = FindDc(dc);
  auto b = detail::ResolveBrush(brush);
  if (d == nullptr || rect == nullptr || b == nullptr) return 0;
  if (!b->IsNull()) detail::FillDeviceRect(*d, d->ToDevice(*rect), b->brush.lbColor);
  return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
  auto d = FindDc(dc);
  auto b = detail::ResolveBrush(brush);
  if (d == nullptr || rect == nullptr || b == nullptr) return 0;
  RECT r = d->ToDevice(*rect);
  if (!b->IsNull() && !IsRectEmpty(&r)) {
    uint32_t pixel = detail::ToPixel(b->brush.lbColor);
    detail::ForEachRun(*d, FrameRegion(r, 1), [pixel](uint32_t* row, int x0, int x1, int) {
      std::fill(row + x0, row + x1, pixel);
    });
  }
  return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect) {
  auto d = FindDc(dc);
  if (d == nullptr || rect == nullptr) return FALSE;
  RECT r = d->ToDevice(*rect);
  if (!IsRectEmpty(&r)) detail::XorArea(*d, PixelRegion(r), 0xFFFFFF);
  return TRUE;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
  auto d = FindDc(dc);
  if (d == nullptr || rect == nullptr) return FALSE;
  RECT r = d->ToDevice(*rect);
  if (IsRectEmpty(&r)) return TRUE;
  // Every other pixel of the frame, starting at the top-left corner.
  detail::ForEachRun(*d, FrameRegion(r, 1), [&r](uint32_t* row, int x0, int x1, int y) {
    for (int x = x0; x < x1; ++x) {
      if (((x - r.left) + (y - r.top)) % 2 == 0) row[x] ^= 0xFFFFFF;
    }
  });
  return TRUE;
}

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
  auto d = FindDc(dc);
  if (d == nullptr || rect == nullptr) return FALSE;
  RECT r = *rect;
  // Outer and inner borders: colours of the top-left and bottom-right sides.
  struct Border {
    bool present;
    int topLeft;
    int bottomRight;
  };
  bool mono = (flags & BF_MONO) != 0;
  bool flat = (flags & BF_FLAT) != 0;
  Border outer{(edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) != 0, 0, 0};
  Border inner{(edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) != 0, 0, 0};
  if (mono) {
    outer.topLeft = outer.bottomRight = COLOR_WINDOWFRAME;
    inner.topLeft = inner.bottomRight = COLOR_WINDOW;
  } else if (flat) {
    outer.topLeft = outer.bottomRight = COLOR_BTNSHADOW;
    inner.topLeft = inner.bottomRight = COLOR_BTNFACE;
  } else {
    bool raisedOuter = (edge & BDR_RAISEDOUTER) != 0;
    outer.topLeft = raisedOuter ? COLOR_3DLIGHT : COLOR_BTNSHADOW;
    outer.bottomRight = raisedOuter ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT;
    bool raisedInner = (edge & BDR_RAISEDINNER) != 0;
    inner.topLeft = raisedInner ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW;
    inner.bottomRight = raisedInner ? COLOR_BTNSHADOW : COLOR_3DLIGHT;
  }
  for (const Border& b : {outer, inner}) {
    if (!b.present || IsRectEmpty(&r)) continue;
    RECT dev = d->ToDevice(r);
    COLORREF tl = GetSysColor(b.topLeft);
    COLORREF br = GetSysColor(b.bottomRight);
    if (flags & BF_TOP) detail::FillDeviceRect(*d, {dev.left, dev.top, dev.right, dev.top + 1}, tl);
    if (flags & BF_LEFT) detail::FillDeviceRect(*d, {dev.left, dev.top, dev.left + 1, dev.bottom}, tl);
    if (flags & BF_BOTTOM) {
      detail::FillDeviceRect(*d, {dev.left, dev.bottom - 1, dev.right, dev.bottom}, br);
    }
    if (flags & BF_RIGHT) {
      detail::FillDeviceRect(*d, {dev.right - 1, dev.top, dev.right, dev.bottom}, br);
    }
    if (flags & BF_LEFT) ++r.left;
    if (flags & BF_TOP) ++r.top;
    if (flags & BF_RIGHT) --r.right;
    if (flags & BF_BOTTOM) --r.bottom;
  }
  if ((flags & BF_MIDDLE) != 0 && !IsRectEmpty(&r)) {
    detail::FillDeviceRect(*d, d->ToDevice(r), GetSysColor(mono ? COLOR_WINDOW : COLOR_BTNFACE));
  }
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  auto d = FindDc(dc);
  if (d == nullptr) return FALSE;
  RECT r = d->ToDevice(Normalized(x, y, x + width, y + height));
  if (IsRectEmpty(&r)) return TRUE;
  switch (rop) {
    case PATCOPY:
      if (HasBrush(*d)) detail::FillDeviceRect(*d, r, d->State().brush->brush.lbColor);
      return TRUE;
    case PATINVERT:
      if (HasBrush(*d)) {
        detail::XorArea(*d, PixelRegion(r), detail::ToPixel(d->State().brush->brush.lbColor));
      }
      return TRUE;
    case DSTINVERT:
      detail::XorArea(*d, PixelRegion(r), 0xFFFFFF);
      return TRUE;
    case BLACKNESS:
      detail::FillDeviceRect(*d, r, RGB(0, 0, 0));
      return TRUE;
    case WHITENESS:
      detail::FillDeviceRect(*d, r, RGB(255, 255, 255));
      return TRUE;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
  auto d = FindDc(dc);
  if (d == nullptr) return FALSE;
  if (previous != nullptr) *previous = d->State().currentPos;
  d->State().currentPos = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
  auto d = FindDc(dc);
  if (d == nullptr) return FALSE;
  POINT from = d->State().currentPos;
  POINT pts[2] = {from, POINT{x, y}};
  Outline(*d, ToDevicePoints(*d, pts, 2), false);
  d->State().currentPos = POINT{x, y};
  return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
  auto d = FindDc(dc);
  if (d == nullptr || points == nullptr || count < 2) return FALSE;
  Outline(*d, ToDevicePoints(*d, points, count), false);
  return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
  auto d = FindDc(dc);
  if (d == nullptr || points == nullptr || count < 2) return FALSE;
  std::vector<POINT> pts = ToDevicePoints(*d, points, count);
  if (HasBrush(*d)) {
    cairo_t* cr = d->Cairo();
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_move_to(cr, pts[0].x + 0.5, pts[0].y + 0.5);
    for (size_t i = 1; i < pts.size(); ++i) cairo_line_to(cr, pts[i].x + 0.5, pts[i].y + 0.5);
    cairo_close_path(cr);
    detail::SetSourceColor(cr, d->State().brush->brush.lbColor);
    cairo_fill(cr);
  }
  Outline(*d, pts, true);
  return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  auto d = FindDc(dc);
  if (d == nullptr) return FALSE;
  RECT r = d->ToDevice(Normalized(left, top, right, bottom));
  if (!HasPen(*d)) {
    // Without a pen the figure is one pixel smaller each way.
    if (HasBrush(*d)) {
      detail::FillDeviceRect(*d, {r.left, r.top, r.right - 1, r.bottom - 1},
                             d->State().brush->brush.lbColor);
    }
    return TRUE;
  }
  if (HasBrush(*d)) {
    detail::FillDeviceRect(*d, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1},
                           d->State().brush->brush.lbColor);
  }
  if (IsRectEmpty(&r)) return TRUE;
  int width = d->State().pen->Width();
  if (d->State().pen->pen.lopnStyle == static_cast<UINT>(PS_DASH) && width <= 1) {
    std::vector<POINT> corners = {{r.left, r.top}, {r.right - 1, r.top},
                                  {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
    Outline(*d, corners, true);
    return TRUE;
  }
  // The pen is centred on the one-pixel frame.
  int half = width / 2;
  RECT outer{r.left - half, r.top - half, r.right - 1 - half + width, r.bottom - 1 - half + width};
  uint32_t pixel = detail::ToPixel(d->State().pen->pen.lopnColor);
  detail::ForEachRun(*d, FrameRegion(outer, width), [pixel](uint32_t* row, int x0, int x1, int) {
    std::fill(row + x0, row + x1, pixel);
  });
  return TRUE;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
  RECT n = Normalized(left, top, right, bottom);
  return CurvedShape(dc, [&](cairo_t* cr, POINT o) {
    double x = n.left + o.x + 0.5;
    double y = n.top + o.y + 0.5;
    double w = std::max<LONG>(0, n.right - n.left - 1);
    double h = std::max<LONG>(0, n.bottom - n.top - 1);
    double rx = std::min(std::abs(width) / 2.0, w / 2);
    double ry = std::min(std::abs(height) / 2.0, h / 2);
    if (rx <= 0 || ry <= 0) {
      cairo_rectangle(cr, x, y, w, h);
      return;
    }
    auto corner = [cr, rx, ry](double cx, double cy, double from, double to) {
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, rx, ry);
      cairo_arc(cr, 0, 0, 1, from, to);
      cairo_restore(cr);
    };
    cairo_new_sub_path(cr);
    corner(x + w - rx, y + ry, -M_PI / 2, 0);
    corner(x + w - rx, y + h - ry, 0, M_PI / 2);
    corner(x + rx, y + h - ry, M_PI / 2, M_PI);
    corner(x + rx, y + ry, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
  });
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
  RECT n = Normalized(left, top, right, bottom);
  return CurvedShape(dc, [&](cairo_t* cr, POINT o) {
    double w = std::max<LONG>(1, n.right - n.left - 1);
    double h = std::max<LONG>(1, n.bottom - n.top - 1);
    cairo_save(cr);
    cairo_translate(cr, n.left + o.x + 0.5 + w / 2, n.top + o.y + 0.5 + h / 2);
    cairo_scale(cr, w / 2, h / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
  });
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  auto d = FindDc(dc);
  if (d == nullptr) return CLR_INVALID;
  POINT o = d->Offset();
  if (!d->Clip().Contains(x + o.x, y + o.y)) return CLR_INVALID;
  detail::PlotPixel(*d, x + o.x, y + o.y, detail::ToPixel(color));
  return color & 0x00FFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  auto d = FindDc(dc);
  if (d == nullptr) return CLR_INVALID;
  POINT o = d->Offset();
  if (!d->Clip().Contains(x + o.x, y + o.y)) return CLR_INVALID;
  return d->Target().Pixel(x + o.x, y + o.y);
}

}  // namespace ce
