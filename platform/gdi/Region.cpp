#include "platform/gdi/Region.h"

#include "platform/gdi/detail/DcObject.h"
#include "platform/gdi/detail/GdiObject.h"
#include "platform/gdi/detail/Raster.h"

namespace ce {

using detail::FindAs;
using detail::PixelRegion;
using detail::RegionObject;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  auto r = std::make_shared<RegionObject>();
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  r->region = PixelRegion(RECT{left, top, right, bottom});
  return detail::ToHandle<HRGN>(detail::AddObject(std::move(r)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (rect == nullptr) return nullptr;
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  auto r = FindAs<RegionObject>(region);
  if (r == nullptr) return FALSE;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  r->region = PixelRegion(RECT{left, top, right, bottom});
  return TRUE;
}

int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode) {
  auto d = FindAs<RegionObject>(dst);
  auto ra = FindAs<RegionObject>(a);
  if (d == nullptr || ra == nullptr) return RGN_ERROR;
  PixelRegion result = ra->region;
  if (mode != RGN_COPY) {
    auto rb = FindAs<RegionObject>(b);
    if (rb == nullptr) return RGN_ERROR;
    switch (mode) {
      case RGN_AND:
        result.Intersect(rb->region);
        break;
      case RGN_OR:
        result.Unite(rb->region);
        break;
      case RGN_XOR:
        result.Xor(rb->region);
        break;
      case RGN_DIFF:
        result.Subtract(rb->region);
        break;
      default:
        return RGN_ERROR;
    }
  }
  d->region = std::move(result);
  return d->region.Kind();
}

int OffsetRgn(HRGN region, int dx, int dy) {
  auto r = FindAs<RegionObject>(region);
  if (r == nullptr) return RGN_ERROR;
  r->region.Translate(dx, dy);
  return r->region.Kind();
}

int GetRgnBox(HRGN region, RECT* box) {
  auto r = FindAs<RegionObject>(region);
  if (r == nullptr || box == nullptr) return RGN_ERROR;
  *box = r->region.Empty() ? RECT{} : r->region.Bounds();
  return r->region.Kind();
}

BOOL PtInRegion(HRGN region, int x, int y) {
  auto r = FindAs<RegionObject>(region);
  return r != nullptr && r->region.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
  auto r = FindAs<RegionObject>(region);
  if (r == nullptr || rect == nullptr) return FALSE;
  PixelRegion overlap = r->region;
  overlap.Intersect(*rect);
  return overlap.Empty() ? FALSE : TRUE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  auto ra = FindAs<RegionObject>(a);
  auto rb = FindAs<RegionObject>(b);
  return ra != nullptr && rb != nullptr && ra->region == rb->region ? TRUE : FALSE;
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) {
  auto d = detail::FindDc(dc);
  auto r = FindAs<RegionObject>(region);
  auto b = detail::ResolveBrush(brush);
  if (d == nullptr || r == nullptr || b == nullptr) return FALSE;
  if (b->IsNull()) return TRUE;
  // Region coordinates are logical here, as for the other drawing calls.
  PixelRegion area = r->region;
  POINT o = d->Offset();
  area.Translate(o.x, o.y);
  detail::FillArea(*d, area, b->brush.lbColor);
  return TRUE;
}

}  // namespace ce
