// A memory DC with its own bitmap, for the drawing tests.
#pragma once

#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"

namespace ce::testing {

class Canvas {
 public:
  Canvas(int width, int height, COLORREF background = RGB(255, 255, 255))
      : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateCompatibleBitmap(dc_, width, height)) {
    old_ = SelectObject(dc_, bitmap_);
    Fill(RECT{0, 0, width, height}, background);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }
  operator HDC() const { return dc_; }

  void Fill(RECT rect, COLORREF color) const {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc_, &rect, brush);
    DeleteObject(brush);
  }
  // The pixel at x, y of the bitmap, whatever the DC's clip.
  COLORREF At(int x, int y) const { return GetBitmapSurface(bitmap_)->Pixel(x, y); }
  // How many pixels of the rectangle have the colour.
  int Count(RECT rect, COLORREF color) const {
    int n = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
      for (int x = rect.left; x < rect.right; ++x) n += At(x, y) == color ? 1 : 0;
    }
    return n;
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

inline int Area(const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); }

}  // namespace ce::testing
