#include "platform/framework/Bitmap.h"

#include "platform/controls/Resources.h"
#include "platform/framework/Application.h"
#include "platform/gdi/Objects.h"

namespace ce {

bool Bitmap::LoadResource(UINT id) {
  Release();
  bitmap_ = SHLoadImageResource(FrameworkResourceHandle(), id);
  return bitmap_ != nullptr;
}

bool Bitmap::CreateCompatible(HDC dc, int width, int height) {
  Release();
  bitmap_ = CreateCompatibleBitmap(dc, width, height);
  return bitmap_ != nullptr;
}

void Bitmap::Release() {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  bitmap_ = nullptr;
}

SIZE Bitmap::Size() const {
  BITMAP info;
  if (bitmap_ == nullptr || GetObject(bitmap_, sizeof info, &info) == 0) return SIZE{};
  return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace ce
