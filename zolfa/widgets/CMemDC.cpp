#include "zolfa/widgets/CMemDC.h"

#include <algorithm>

using namespace ce;

CMemDC::CMemDC(HDC target, const RECT& rect) : target_(target), rect_(rect) {
  HDC memory = CreateCompatibleDC(target);
  int width = std::max<int>(1, rect.right - rect.left);
  int height = std::max<int>(1, rect.bottom - rect.top);
  bitmap_ = CreateCompatibleBitmap(target, width, height);
  if (memory != nullptr && bitmap_ != nullptr) {
    oldBitmap_ = ce::SelectObject(memory, bitmap_);
    // The bitmap covers only the rectangle; the origin makes the target's
    // coordinates land in it.
    SetViewportOrgEx(memory, -rect.left, -rect.top, nullptr);
  }
  Reset(memory);
}

CMemDC::~CMemDC() {
  HDC memory = Handle();
  if (memory != nullptr && bitmap_ != nullptr) {
    ce::BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory,
               rect_.left, rect_.top, SRCCOPY);
    ce::SelectObject(memory, oldBitmap_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  if (memory != nullptr) DeleteDC(memory);
}
