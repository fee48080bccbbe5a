#include "platform/gdi/Blit.h"

#include <cairo.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/gdi/Shapes.h"
#include "platform/gdi/detail/DcObject.h"
#include "platform/gdi/detail/Raster.h"

namespace ce {

using detail::DcObject;
using detail::FindDc;
using detail::PixelRegion;

namespace {

enum class Mode { kRop, kColorKey };

// How a source rectangle lands on a destination rectangle (device
// coordinates of each surface, both normalised; flips mirror).
struct Mapping {
  RECT dst;
  RECT src;
  bool flipX = false;
  bool flipY = false;

  bool Scaled() const {
    return dst.right - dst.left != src.right - src.left ||
           dst.bottom - dst.top != src.bottom - src.top || flipX || flipY;
  }
  double ScaleX() const { return double(src.right - src.left) / double(dst.right - dst.left); }
  double ScaleY() const { return double(src.bottom - src.top) / double(dst.bottom - dst.top); }

  // The destination pixels whose sample point falls in part of the source.
  RECT DstCovering(const RECT& part) const {
    auto range = [](LONG d0, LONG d1, LONG s0, double k, LONG p0, LONG p1, bool flip, LONG* out0,
                    LONG* out1) {
      // u counts destination pixels from the unflipped start.
      LONG u0 = static_cast<LONG>(std::ceil((p0 - s0) / k - 0.5));
      LONG u1 = static_cast<LONG>(std::ceil((p1 - s0) / k - 0.5));
      u0 = std::max<LONG>(u0, 0);
      u1 = std::min<LONG>(u1, d1 - d0);
      if (flip) {
        *out0 = d1 - u1;
        *out1 = d1 - u0;
      } else {
        *out0 = d0 + u0;
        *out1 = d0 + u1;
      }
    };
    RECT r;
    range(dst.left, dst.right, src.left, ScaleX(), part.left, part.right, flipX, &r.left, &r.right);
    range(dst.top, dst.bottom, src.top, ScaleY(), part.top, part.bottom, flipY, &r.top, &r.bottom);
    return r;
  }

  // Where a source rectangle lands (for the text record).
  RECT DstOf(const RECT& s) const {
    double kx = 1.0 / ScaleX();
    double ky = 1.0 / ScaleY();
    auto map = [](double v, LONG s0, double k) { return (v - s0) * k; };
    double x0 = map(s.left, src.left, kx);
    double x1 = map(s.right, src.left, kx);
    double y0 = map(s.top, src.top, ky);
    double y1 = map(s.bottom, src.top, ky);
    RECT r;
    r.left = flipX ? dst.right - static_cast<LONG>(std::lround(x1)) : dst.left + static_cast<LONG>(std::lround(x0));
    r.right = flipX ? dst.right - static_cast<LONG>(std::lround(x0)) : dst.left + static_cast<LONG>(std::lround(x1));
    r.top = flipY ? dst.bottom - static_cast<LONG>(std::lround(y1)) : dst.top + static_cast<LONG>(std::lround(y0));
    r.bottom = flipY ? dst.bottom - static_cast<LONG>(std::lround(y0)) : dst.top + static_cast<LONG>(std::lround(y1));
    return r;
  }
};

// Source pixels for the destination box: either the source surface itself
// (at an offset) or a scaled copy.
struct SourcePixels {
  std::shared_ptr<Surface> surface;
  int dx = 0;  // source x = destination x + dx
  int dy = 0;
};

// A copy of the source scaled to the destination pixels of box.
std::shared_ptr<Surface> ScaledCopy(const Surface& source, const Mapping& m, const RECT& sourcePart,
                                    const RECT& box, bool smooth) {
  auto out = Surface::Create(box.right - box.left, box.bottom - box.top);
  if (out == nullptr) return nullptr;
  cairo_surface_t* part = cairo_surface_create_for_rectangle(
      source.Cairo(), sourcePart.left, sourcePart.top, sourcePart.right - sourcePart.left,
      sourcePart.bottom - sourcePart.top);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(part);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern, smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
  double ax = m.flipX ? -m.ScaleX() : m.ScaleX();
  double ay = m.flipY ? -m.ScaleY() : m.ScaleY();
  double bx = m.flipX ? m.src.left + (m.dst.right - box.left) * m.ScaleX()
                      : m.src.left + (box.left - m.dst.left) * m.ScaleX();
  double by = m.flipY ? m.src.top + (m.dst.bottom - box.top) * m.ScaleY()
                      : m.src.top + (box.top - m.dst.top) * m.ScaleY();
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, ax, 0, 0, ay, bx - sourcePart.left, by - sourcePart.top);
  cairo_pattern_set_matrix(pattern, &matrix);
  cairo_t* cr = cairo_create(out->Cairo());
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source(cr, pattern);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_pattern_destroy(pattern);
  cairo_surface_destroy(part);
  out->Flush();
  return out;
}

// A plain copy of part of a surface (for copies within one surface).
std::shared_ptr<Surface> PlainCopy(const Surface& source, const RECT& part) {
  auto out = Surface::Create(part.right - part.left, part.bottom - part.top);
  if (out == nullptr) return nullptr;
  source.Flush();
  out->Flush();
  for (LONG y = part.top; y < part.bottom; ++y) {
    std::memcpy(out->Row(y - part.top), source.Row(y) + part.left,
                static_cast<size_t>(part.right - part.left) * 4);
  }
  out->MarkDirty();
  return out;
}

uint32_t Combine(DWORD rop, uint32_t d, uint32_t s) {
  switch (rop) {
    case SRCAND:
      return d & s;
    case SRCPAINT:
      return d | s;
    case SRCINVERT:
      return (d ^ s) & 0xFFFFFF;
    case NOTSRCCOPY:
      return ~s & 0xFFFFFF;
    default:
      return s;
  }
}

bool SourceRop(DWORD rop) {
  return rop == SRCCOPY || rop == SRCAND || rop == SRCPAINT || rop == SRCINVERT ||
         rop == NOTSRCCOPY;
}

// Carries the source's text entries that lie in the copied part over to the
// destination.
void CarryText(DcObject& dst, const std::vector<TextRecord>& texts, const Mapping& m,
               const RECT& sourcePart, const PixelRegion& area) {
  RECT areaBox = area.Bounds();
  for (const TextRecord& t : texts) {
    RECT s;
    if (!IntersectRect(&s, &t.rect, &sourcePart)) continue;
    RECT d = m.DstOf(s);
    if (!IntersectRect(&d, &d, &areaBox)) continue;
    PixelRegion shown(d);
    shown.Intersect(area);
    if (shown.Empty()) continue;
    dst.Target().AddTextRecord(TextRecord{d, t.text, t.color});
  }
}

BOOL Transfer(HDC dstDc, RECT dstLogical, HDC srcDc, RECT srcLogical, DWORD rop, Mode mode,
              COLORREF key) {
  auto dst = FindDc(dstDc);
  auto src = FindDc(srcDc);
  if (dst == nullptr || src == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  Mapping m;
  m.flipX = (dstLogical.right < dstLogical.left) != (srcLogical.right < srcLogical.left);
  m.flipY = (dstLogical.bottom < dstLogical.top) != (srcLogical.bottom < srcLogical.top);
  // A negative size runs from the given corner towards smaller
  // coordinates, that corner's pixel included.
  auto normalise = [](RECT r) {
    if (r.left > r.right) r = RECT{r.right + 1, r.top, r.left + 1, r.bottom};
    if (r.top > r.bottom) r = RECT{r.left, r.bottom + 1, r.right, r.top + 1};
    return r;
  };
  m.dst = dst->ToDevice(normalise(dstLogical));
  m.src = src->ToDevice(normalise(srcLogical));
  if (IsRectEmpty(&m.dst) || IsRectEmpty(&m.src)) return TRUE;

  Surface& source = src->Target();
  RECT bounds{0, 0, source.Width(), source.Height()};
  RECT sourcePart;
  if (!IntersectRect(&sourcePart, &m.src, &bounds)) return TRUE;
  PixelRegion area = detail::ClippedArea(*dst, PixelRegion(m.DstCovering(sourcePart)));
  if (area.Empty()) return TRUE;
  RECT box = area.Bounds();

  // Copy the text entries first: source and destination may be one surface.
  std::vector<TextRecord> texts = source.TextRecords();
  bool sameSurface = &source == &dst->Target();
  SourcePixels pixels;
  if (m.Scaled()) {
    bool smooth = mode == Mode::kRop && dst->State().stretchMode == HALFTONE;
    pixels.surface = ScaledCopy(source, m, sourcePart, box, smooth);
    pixels.dx = -box.left;
    pixels.dy = -box.top;
  } else if (sameSurface) {
    RECT part = box;
    OffsetRect(&part, m.src.left - m.dst.left, m.src.top - m.dst.top);
    pixels.surface = PlainCopy(source, part);
    pixels.dx = -box.left;
    pixels.dy = -box.top;
  } else {
    pixels.surface = src->TargetPtr();
    pixels.dx = m.src.left - m.dst.left;
    pixels.dy = m.src.top - m.dst.top;
  }
  if (pixels.surface == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  pixels.surface->Flush();
  const Surface& from = *pixels.surface;
  uint32_t keyPixel = detail::ToPixel(key);
  detail::ForEachRun(*dst, area, [&](uint32_t* row, int x0, int x1, int y) {
    const uint32_t* s = from.Row(y + pixels.dy);
    const int dx = pixels.dx;
    if (mode == Mode::kColorKey) {
      for (int x = x0; x < x1; ++x) {
        uint32_t v = s[x + dx] & 0xFFFFFF;
        if (v != keyPixel) row[x] = v;
      }
    } else if (rop == SRCCOPY) {
      std::memcpy(row + x0, s + x0 + dx, static_cast<size_t>(x1 - x0) * 4);
    } else {
      for (int x = x0; x < x1; ++x) row[x] = Combine(rop, row[x], s[x + dx] & 0xFFFFFF);
    }
  });
  if (mode == Mode::kRop && (rop == SRCCOPY || rop == NOTSRCCOPY)) {
    dst->Target().DropTextInside(area.Get());
  }
  CarryText(*dst, texts, m, sourcePart, area);
  return TRUE;
}

}  // namespace

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
  if (!SourceRop(rop)) return PatBlt(dst, x, y, width, height, rop);
  return Transfer(dst, RECT{x, y, x + width, y + height}, src,
                  RECT{srcX, srcY, srcX + width, srcY + height}, rop, Mode::kRop, 0);
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop) {
  if (!SourceRop(rop)) return PatBlt(dst, x, y, width, height, rop);
  return Transfer(dst, RECT{x, y, x + width, y + height}, src,
                  RECT{srcX, srcY, srcX + srcWidth, srcY + srcHeight}, rop, Mode::kRop, 0);
}

BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                    int srcWidth, int srcHeight, COLORREF transparent) {
  if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return Transfer(dst, RECT{x, y, x + width, y + height}, src,
                  RECT{srcX, srcY, srcX + srcWidth, srcY + srcHeight}, SRCCOPY, Mode::kColorKey,
                  transparent & 0x00FFFFFF);
}

BOOL TransparentImage(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                      int srcWidth, int srcHeight, COLORREF transparent) {
  return TransparentBlt(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight,
                        transparent);
}

}  // namespace ce
