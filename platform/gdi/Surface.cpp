#include "platform/gdi/Surface.h"

#include <cairo.h>

#include <algorithm>

namespace ce {

std::shared_ptr<Surface> Surface::Create(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return nullptr;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  return std::shared_ptr<Surface>(new Surface(s, width, height));
}

Surface::Surface(cairo_surface_t* surface, int width, int height)
    : surface_(surface), width_(width), height_(height) {}

Surface::~Surface() { cairo_surface_destroy(surface_); }

uint32_t* Surface::Row(int y) const {
  return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface_) +
                                     static_cast<ptrdiff_t>(y) * Stride());
}

int Surface::Stride() const { return cairo_image_surface_get_stride(surface_); }

void Surface::Flush() const { cairo_surface_flush(surface_); }

void Surface::MarkDirty() const { cairo_surface_mark_dirty(surface_); }

COLORREF Surface::Pixel(int x, int y) const {
  Flush();
  uint32_t v = Row(y)[x];
  return RGB(static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v));
}

void Surface::SetPixelValue(int x, int y, COLORREF color) {
  Flush();
  Row(y)[x] = (static_cast<uint32_t>(GetRValue(color)) << 16) |
              (static_cast<uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
  cairo_surface_mark_dirty_rectangle(surface_, x, y, 1, 1);
}

bool Surface::WritePng(const std::filesystem::path& path) const {
  Flush();
  return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void Surface::CopyFrom(const Surface& other) {
  cairo_t* cr = cairo_create(surface_);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(cr, 0, 0, std::min(width_, other.width_), std::min(height_, other.height_));
  cairo_set_source_surface(cr, other.surface_, 0, 0);
  cairo_fill(cr);
  cairo_destroy(cr);
  RECT bounds{0, 0, width_, height_};
  for (const TextRecord& t : other.texts_) {
    TextRecord copy = t;
    if (IntersectRect(&copy.rect, &t.rect, &bounds)) AddTextRecord(std::move(copy));
  }
}

void Surface::AddTextRecord(TextRecord record) {
  if (texts_.size() >= kMaxTextRecords) {
    texts_.erase(texts_.begin(), texts_.begin() + static_cast<ptrdiff_t>(kMaxTextRecords / 4));
  }
  texts_.push_back(std::move(record));
}

void Surface::DropTextInside(const cairo_region_t* region) {
  std::erase_if(texts_, [region](const TextRecord& t) {
    cairo_rectangle_int_t r{t.rect.left, t.rect.top, t.rect.right - t.rect.left,
                            t.rect.bottom - t.rect.top};
    return cairo_region_contains_rectangle(region, &r) == CAIRO_REGION_OVERLAP_IN;
  });
}

}  // namespace ce
