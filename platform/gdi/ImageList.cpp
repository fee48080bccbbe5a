#include "platform/gdi/ImageList.h"

#include "platform/gdi/Objects.h"
#include "platform/gdi/detail/BitmapObject.h"
#include "platform/gdi/detail/DcObject.h"
#include "platform/gdi/detail/ImageListObject.h"
#include "platform/gdi/detail/Raster.h"

namespace ce {

using detail::ImageListObject;

namespace {

std::shared_ptr<ImageListObject> FindList(HIMAGELIST list) {
  return detail::FindAs<ImageListObject>(list);
}

// How the transparent pixels of an added bitmap are chosen.
struct MaskSource {
  const Surface* maskBitmap = nullptr;  // non-black pixels are transparent
  bool byColor = false;
  uint32_t color = 0;
};

// Cuts a bitmap into images; returns them (empty when none fits).
std::vector<ImageListObject::Image> Cut(ImageListObject& list, const Surface& bitmap,
                                        const MaskSource& mask) {
  std::vector<ImageListObject::Image> out;
  int count = bitmap.Width() / list.Width();
  bitmap.Flush();
  if (mask.maskBitmap != nullptr) mask.maskBitmap->Flush();
  int rows = std::min(bitmap.Height(), list.Height());
  for (int i = 0; i < count; ++i) {
    ImageListObject::Image image;
    size_t n = static_cast<size_t>(list.Width()) * list.Height();
    image.pixels.assign(n, 0);
    image.transparent.assign(n, 0);
    for (int y = 0; y < rows; ++y) {
      const uint32_t* src = bitmap.Row(y) + i * list.Width();
      for (int x = 0; x < list.Width(); ++x) {
        size_t at = static_cast<size_t>(y) * list.Width() + x;
        uint32_t v = src[x] & 0xFFFFFF;
        image.pixels[at] = v;
        if (!list.Masked()) continue;
        if (mask.byColor) {
          image.transparent[at] = v == mask.color ? 1 : 0;
        } else if (mask.maskBitmap != nullptr) {
          int mx = i * list.Width() + x;
          if (mx < mask.maskBitmap->Width() && y < mask.maskBitmap->Height()) {
            image.transparent[at] = (mask.maskBitmap->Row(y)[mx] & 0xFFFFFF) != 0 ? 1 : 0;
          }
        }
      }
    }
    out.push_back(std::move(image));
  }
  return out;
}

int AddImages(HIMAGELIST handle, HBITMAP image, const MaskSource& mask) {
  auto list = FindList(handle);
  auto bitmap = detail::FindAs<detail::BitmapObject>(image);
  if (list == nullptr || bitmap == nullptr) return -1;
  auto images = Cut(*list, *bitmap->GetSurface(), mask);
  if (images.empty() || list->Images().size() + images.size() > ImageListObject::kMaxImages) {
    return -1;
  }
  int first = static_cast<int>(list->Images().size());
  for (auto& i : images) list->Images().push_back(std::move(i));
  return first;
}

uint32_t Blend(uint32_t pixel, uint32_t with, int percentWith) {
  auto mix = [&](int shift) {
    uint32_t a = (pixel >> shift) & 0xFF;
    uint32_t b = (with >> shift) & 0xFF;
    return ((a * (100 - percentWith) + b * percentWith + 50) / 100) << shift;
  };
  return mix(16) | mix(8) | mix(0);
}

}  // namespace

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int, int) {
  if (width < 1 || height < 1 || width > 1024 || height > 1024) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto list = std::make_shared<ImageListObject>(width, height, (flags & ILC_MASK) != 0);
  return detail::ToHandle<HIMAGELIST>(detail::AddObject(std::move(list)));
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  if (FindList(list) == nullptr) return FALSE;
  detail::RemoveObject(list);
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST handle) {
  auto list = FindList(handle);
  return list == nullptr ? 0 : static_cast<int>(list->Images().size());
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* width, int* height) {
  auto list = FindList(handle);
  if (list == nullptr || width == nullptr || height == nullptr) return FALSE;
  *width = list->Width();
  *height = list->Height();
  return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  MaskSource source;
  std::shared_ptr<detail::BitmapObject> maskBitmap;
  if (mask != nullptr) {
    maskBitmap = detail::FindAs<detail::BitmapObject>(mask);
    if (maskBitmap == nullptr) return -1;
    source.maskBitmap = maskBitmap->GetSurface().get();
  }
  return AddImages(list, image, source);
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor) {
  MaskSource source;
  source.byColor = true;
  source.color = detail::ToPixel(maskColor);
  return AddImages(list, image, source);
}

BOOL ImageList_Replace(HIMAGELIST handle, int index, HBITMAP image, HBITMAP mask) {
  auto list = FindList(handle);
  auto bitmap = detail::FindAs<detail::BitmapObject>(image);
  if (list == nullptr || bitmap == nullptr || index < 0 ||
      index >= static_cast<int>(list->Images().size())) {
    return FALSE;
  }
  MaskSource source;
  std::shared_ptr<detail::BitmapObject> maskBitmap;
  if (mask != nullptr) {
    maskBitmap = detail::FindAs<detail::BitmapObject>(mask);
    if (maskBitmap == nullptr) return FALSE;
    source.maskBitmap = maskBitmap->GetSurface().get();
  }
  auto images = Cut(*list, *bitmap->GetSurface(), source);
  if (images.empty()) return FALSE;
  list->Images()[static_cast<size_t>(index)] = std::move(images.front());
  return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST handle, int index) {
  auto list = FindList(handle);
  if (list == nullptr) return FALSE;
  if (index == -1) {
    list->Images().clear();
    return TRUE;
  }
  if (index < 0 || index >= static_cast<int>(list->Images().size())) return FALSE;
  list->Images().erase(list->Images().begin() + index);
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST handle, COLORREF color) {
  auto list = FindList(handle);
  if (list == nullptr) return CLR_NONE;
  COLORREF old = list->BkColor();
  list->BkColor() = color == CLR_NONE ? CLR_NONE : (color & 0x00FFFFFF);
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST handle) {
  auto list = FindList(handle);
  return list == nullptr ? CLR_NONE : list->BkColor();
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST handle, int index, HDC dc, int x, int y, int width, int height,
                      COLORREF background, COLORREF foreground, UINT style) {
  auto list = FindList(handle);
  auto d = detail::FindDc(dc);
  if (list == nullptr || d == nullptr || index < 0 ||
      index >= static_cast<int>(list->Images().size())) {
    return FALSE;
  }
  const ImageListObject::Image& image = list->Images()[static_cast<size_t>(index)];
  int w = width <= 0 ? list->Width() : std::min(width, list->Width());
  int h = height <= 0 ? list->Height() : std::min(height, list->Height());
  COLORREF bk = background == CLR_DEFAULT ? list->BkColor() : background;
  bool transparentBk = (style & ILD_TRANSPARENT) != 0 || bk == CLR_NONE;
  uint32_t bkPixel = transparentBk ? 0 : detail::ToPixel(bk);
  COLORREF fg = foreground == CLR_DEFAULT || foreground == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT)
                                                                    : foreground;
  uint32_t fgPixel = detail::ToPixel(fg);
  int blend = (style & ILD_BLEND50) != 0 ? 50 : ((style & ILD_BLEND25) != 0 ? 25 : 0);
  bool drawMask = (style & ILD_MASK) != 0;
  bool useMask = list->Masked() && (style & ILD_IMAGE) == 0;
  POINT o = d->Offset();
  RECT area{x + o.x, y + o.y, x + o.x + w, y + o.y + h};
  detail::ForEachRun(*d, detail::PixelRegion(area), [&](uint32_t* row, int x0, int x1, int py) {
    size_t base = static_cast<size_t>(py - area.top) * list->Width();
    for (int px = x0; px < x1; ++px) {
      size_t at = base + static_cast<size_t>(px - area.left);
      bool hidden = useMask && image.transparent[at] != 0;
      if (drawMask) {
        row[px] = hidden ? 0xFFFFFF : 0x000000;
      } else if (hidden) {
        if (!transparentBk) row[px] = bkPixel;
      } else {
        row[px] = blend > 0 ? Blend(image.pixels[at], fgPixel, blend) : image.pixels[at];
      }
    }
  });
  return TRUE;
}

}  // namespace ce
