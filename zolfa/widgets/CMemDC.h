// An off-screen drawing surface for one paint pass: every drawing call goes
// to a memory bitmap of the rectangle's size, and the destructor copies the
// rectangle to the target at the same coordinates in one transfer.
#pragma once

#include "platform/framework/Dc.h"

class CMemDC : public ce::Dc {
 public:
  // target is borrowed and must outlive this object.
  CMemDC(ce::HDC target, const ce::RECT& rect);
  ~CMemDC() override;
  CMemDC(const CMemDC&) = delete;
  CMemDC& operator=(const CMemDC&) = delete;

  const ce::RECT& Rect() const { return rect_; }

 private:
  ce::HDC target_;
  ce::RECT rect_;
  ce::HBITMAP bitmap_ = nullptr;
  ce::HGDIOBJ oldBitmap_ = nullptr;
};
