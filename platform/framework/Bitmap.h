// An owned bitmap, loaded from an image resource or made compatible with a
// DC.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace ce {

class Bitmap {
 public:
  Bitmap() = default;
  ~Bitmap() { Release(); }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  // Decodes image resource id of the application; false (and empty) when it
  // is missing or cannot be decoded.
  bool LoadResource(UINT id);
  bool CreateCompatible(HDC dc, int width, int height);
  void Release();
  HBITMAP Handle() const { return bitmap_; }
  bool Empty() const { return bitmap_ == nullptr; }
  // 0 x 0 when empty.
  SIZE Size() const;

 private:
  HBITMAP bitmap_ = nullptr;
};

}  // namespace ce
