// Internal: the images of an image list, each with its transparency mask.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/detail/GdiObject.h"

namespace ce::detail {

// Not a drawing object type of the platform: DeleteObject refuses it.
constexpr DWORD kImageListType = 0x1000;

class ImageListObject final : public GdiObject {
 public:
  // The most images one list holds.
  static constexpr size_t kMaxImages = 4096;

  struct Image {
    std::vector<uint32_t> pixels;      // width * height surface words
    std::vector<uint8_t> transparent;  // 1 where the mask hides the pixel
  };

  ImageListObject(int width, int height, bool masked)
      : width_(width), height_(height), masked_(masked) {}
  DWORD Type() const override { return kImageListType; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Masked() const { return masked_; }
  std::vector<Image>& Images() { return images_; }
  COLORREF& BkColor() { return bkColor_; }

 private:
  int width_;
  int height_;
  bool masked_;
  std::vector<Image> images_;
  COLORREF bkColor_ = CLR_NONE;
};

}  // namespace ce::detail
