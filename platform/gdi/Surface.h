// A drawing surface: 32-bit pixels (0x00RRGGBB in memory, as Cairo's RGB24)
// and the record of the texts drawn on it that are still visible.
//
// Every bitmap and every top-level window owns one. A child window draws
// into its top-level window's surface. The text record lets the device host
// list what the user sees ("text x y w h ...") without reading pixels: each
// text call adds an entry with the rectangle it covered; an opaque fill or a
// copy that covers an entry's whole rectangle removes it; blits carry the
// entries of the copied area along, so text drawn off-screen and copied to a
// window appears in the window's record.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/GdiTypes.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_region cairo_region_t;

namespace ce {

struct TextRecord {
  RECT rect;           // surface coordinates, clipped to what was drawn
  // The text of the call: prefix marks removed, lines joined by '\n'; a line
  // shortened with an ellipsis keeps its whole text here.
  std::u16string text;
  COLORREF color = 0;  // text colour
};

class Surface {
 public:
  // The most text entries a surface keeps; the oldest go first.
  static constexpr size_t kMaxTextRecords = 2048;
  // Largest side of a surface in pixels.
  static constexpr int kMaxSide = 8192;

  // Null when a side is not in 1..kMaxSide or memory is short. New pixels are
  // black.
  static std::shared_ptr<Surface> Create(int width, int height);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  cairo_surface_t* Cairo() const { return surface_; }

  // Direct pixel access for hosts and tests; x, y must lie inside.
  // Pixel values are COLORREF (0x00BBGGRR).
  COLORREF Pixel(int x, int y) const;
  void SetPixelValue(int x, int y, COLORREF color);
  // Raw rows (0x00RRGGBB words, Stride() bytes apart). Call Flush() before
  // reading and MarkDirty() after writing outside the drawing calls.
  uint32_t* Row(int y) const;
  int Stride() const;
  void Flush() const;
  void MarkDirty() const;

  // Writes the pixels as a PNG file; false when the file cannot be written.
  bool WritePng(const std::filesystem::path& path) const;

  // Copies pixels and text from another surface into this one's top-left
  // corner (used when a window is resized).
  void CopyFrom(const Surface& other);

  const std::vector<TextRecord>& TextRecords() const { return texts_; }
  void ClearTextRecords() { texts_.clear(); }
  void AddTextRecord(TextRecord record);
  // Drops the entries whose rectangle lies wholly inside the region
  // (surface coordinates).
  void DropTextInside(const cairo_region_t* region);

 private:
  Surface(cairo_surface_t* surface, int width, int height);

  cairo_surface_t* surface_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::vector<TextRecord> texts_;
};

// The surface a DC draws into (its selected bitmap, or its window's surface);
// null for an invalid DC.
std::shared_ptr<Surface> GetDcSurface(HDC dc);
// The surface of a bitmap; null when the handle is not a bitmap.
std::shared_ptr<Surface> GetBitmapSurface(HBITMAP bitmap);
// The backing surface of a top-level window (created on first drawing and
// kept the window's size); for a child window, its top-level window's. Null
// for an invalid window.
std::shared_ptr<Surface> GetWindowSurface(HWND window);
// The surface behind GetDC(nullptr): the device screen, 240 x 320 unless
// resized. The host composes top-level windows onto it.
std::shared_ptr<Surface> GetScreenSurface();
BOOL SetScreenSize(int width, int height);
// Copies a top-level window's surface, with its text record, to a DC at x, y.
BOOL DrawWindowSurface(HDC target, HWND window, int x, int y);

// The text record of what a DC draws into, in that surface's coordinates.
std::vector<TextRecord> GetTextRecords(HDC dc);
void ClearTextRecords(HDC dc);

// Writes what a bitmap holds, or a window's surface, as a PNG file.
BOOL SaveBitmapToPng(HBITMAP bitmap, const std::filesystem::path& path);
BOOL SaveWindowToPng(HWND window, const std::filesystem::path& path);

}  // namespace ce
