// Internal: a value type over cairo_region_t (a set of pixels made of
// integer rectangles), used for clipping and for the regions of HRGN.
#pragma once

#include <cairo.h>

#include <utility>

#include "platform/gdi/GdiTypes.h"

namespace ce::detail {

class PixelRegion {
 public:
  PixelRegion() : region_(cairo_region_create()) {}
  explicit PixelRegion(const RECT& rect) {
    if (IsRectEmpty(&rect)) {
      region_ = cairo_region_create();
    } else {
      cairo_rectangle_int_t r{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
      region_ = cairo_region_create_rectangle(&r);
    }
  }
  PixelRegion(const PixelRegion& other) : region_(cairo_region_copy(other.region_)) {}
  PixelRegion(PixelRegion&& other) noexcept : region_(std::exchange(other.region_, nullptr)) {}
  PixelRegion& operator=(PixelRegion other) noexcept {
    std::swap(region_, other.region_);
    return *this;
  }
  ~PixelRegion() {
    if (region_ != nullptr) cairo_region_destroy(region_);
  }

  cairo_region_t* Get() const { return region_; }
  bool Empty() const { return cairo_region_is_empty(region_) != 0; }
  int RectCount() const { return cairo_region_num_rectangles(region_); }
  RECT RectAt(int i) const {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(region_, i, &r);
    return RECT{r.x, r.y, r.x + r.width, r.y + r.height};
  }
  RECT Bounds() const {
    cairo_rectangle_int_t r;
    cairo_region_get_extents(region_, &r);
    return RECT{r.x, r.y, r.x + r.width, r.y + r.height};
  }
  bool Contains(int x, int y) const { return cairo_region_contains_point(region_, x, y) != 0; }
  // The region kind of the platform calls.
  int Kind() const {
    int n = RectCount();
    return n == 0 ? NULLREGION : (n == 1 ? SIMPLEREGION : COMPLEXREGION);
  }

  void Intersect(const PixelRegion& other) { cairo_region_intersect(region_, other.region_); }
  void Intersect(const RECT& rect) { Intersect(PixelRegion(rect)); }
  void Unite(const PixelRegion& other) { cairo_region_union(region_, other.region_); }
  void Subtract(const PixelRegion& other) { cairo_region_subtract(region_, other.region_); }
  void Subtract(const RECT& rect) { Subtract(PixelRegion(rect)); }
  void Xor(const PixelRegion& other) { cairo_region_xor(region_, other.region_); }
  void Translate(int dx, int dy) { cairo_region_translate(region_, dx, dy); }
  bool operator==(const PixelRegion& other) const {
    return cairo_region_equal(region_, other.region_) != 0;
  }

 private:
  cairo_region_t* region_ = nullptr;
};

}  // namespace ce::detail
