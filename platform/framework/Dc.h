// Drawing contexts of the framework: a DC wrapper with the drawing calls the
// screens use, the DC of a paint pass (PaintDc) and of a window (ClientDc).
#pragma once

#include <string>

#include "platform/gdi/Gdi.h"

namespace ce {

class Dc {
 public:
  Dc() = default;
  explicit Dc(HDC dc) : dc_(dc) {}
  virtual ~Dc() = default;
  Dc(const Dc&) = delete;
  Dc& operator=(const Dc&) = delete;

  HDC Handle() const { return dc_; }
  operator HDC() const { return dc_; }  // NOLINT: used where the platform takes an HDC

  void FillSolidRect(const RECT& rect, COLORREF color) const;
  int DrawText(const std::u16string& text, RECT* rect, UINT format) const {
    return ce::DrawText(dc_, text.c_str(), static_cast<int>(text.size()), rect, format);
  }
  BOOL BitBlt(int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) const {
    return ce::BitBlt(dc_, x, y, width, height, source, sourceX, sourceY, rop);
  }
  BOOL StretchBlt(int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                  int sourceWidth, int sourceHeight, DWORD rop) const {
    return ce::StretchBlt(dc_, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, rop);
  }
  HGDIOBJ SelectObject(HGDIOBJ object) const { return ce::SelectObject(dc_, object); }
  COLORREF SetTextColor(COLORREF color) const { return ce::SetTextColor(dc_, color); }
  int SetBkMode(int mode) const { return ce::SetBkMode(dc_, mode); }

 protected:
  void Reset(HDC dc) { dc_ = dc; }

 private:
  HDC dc_ = nullptr;
};

// BeginPaint / EndPaint for the object's life.
class PaintDc : public Dc {
 public:
  explicit PaintDc(HWND window);
  ~PaintDc() override;
  const PAINTSTRUCT& Paint() const { return paint_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
};

// GetDC / ReleaseDC for the object's life.
class ClientDc : public Dc {
 public:
  explicit ClientDc(HWND window);
  ~ClientDc() override;

 private:
  HWND window_;
};

}  // namespace ce
