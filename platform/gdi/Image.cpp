#include "platform/gdi/Image.h"

#include <stb_image.h>

#include <cstring>
#include <vector>

#include "platform/base/DeviceFile.h"
#include "platform/base/Handles.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/detail/BitmapObject.h"
#include "platform/gdi/detail/GdiObject.h"

namespace ce {
namespace {

enum class Format { kUnknown, kGif, kPng, kJpeg, kBmp };

// Only the formats the handset shows are handed to the decoder.
Format Sniff(const unsigned char* p, size_t n) {
  if (n >= 6 && (std::memcmp(p, "GIF87a", 6) == 0 || std::memcmp(p, "GIF89a", 6) == 0)) {
    return Format::kGif;
  }
  if (n >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0) return Format::kPng;
  if (n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) return Format::kJpeg;
  if (n >= 2 && p[0] == 'B' && p[1] == 'M') return Format::kBmp;
  return Format::kUnknown;
}

void SetError(ImageError* out, ImageError error) {
  if (out != nullptr) *out = error;
}

// Lays the decoded RGBA pixels over white into a new bitmap surface.
std::shared_ptr<Surface> ToSurface(const unsigned char* rgba, int width, int height) {
  auto surface = Surface::Create(width, height);
  if (surface == nullptr) return nullptr;
  surface->Flush();
  for (int y = 0; y < height; ++y) {
    uint32_t* row = surface->Row(y);
    const unsigned char* p = rgba + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, p += 4) {
      unsigned a = p[3];
      auto over = [a](unsigned c) { return (c * a + 255 * (255 - a) + 127) / 255; };
      row[x] = (over(p[0]) << 16) | (over(p[1]) << 8) | over(p[2]);
    }
  }
  surface->MarkDirty();
  return surface;
}

}  // namespace

HBITMAP LoadImageFromMemory(const void* data, size_t size, ImageError* error) {
  SetError(error, ImageError::kNone);
  if (data == nullptr || size == 0) {
    SetError(error, ImageError::kEmpty);
    return nullptr;
  }
  if (size > kMaxImageFileBytes) {
    SetError(error, ImageError::kTooLarge);
    return nullptr;
  }
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (Sniff(bytes, size) == Format::kUnknown) {
    SetError(error, ImageError::kUnknownFormat);
    return nullptr;
  }
  int len = static_cast<int>(size);
  int width = 0;
  int height = 0;
  int channels = 0;
  // The header first: a picture over the caps is refused before any pixel
  // memory is taken.
  if (stbi_info_from_memory(bytes, len, &width, &height, &channels) == 0) {
    SetError(error, ImageError::kCorrupt);
    return nullptr;
  }
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) {
    SetError(error, width < 1 || height < 1 ? ImageError::kCorrupt : ImageError::kTooLarge);
    return nullptr;
  }
  int w = 0;
  int h = 0;
  unsigned char* rgba = stbi_load_from_memory(bytes, len, &w, &h, &channels, 4);
  if (rgba == nullptr || w != width || h != height) {
    if (rgba != nullptr) stbi_image_free(rgba);
    SetError(error, ImageError::kCorrupt);
    return nullptr;
  }
  auto surface = ToSurface(rgba, w, h);
  stbi_image_free(rgba);
  if (surface == nullptr) {
    SetError(error, ImageError::kNoMemory);
    return nullptr;
  }
  return detail::ToHandle<HBITMAP>(
      detail::AddObject(std::make_shared<detail::BitmapObject>(std::move(surface))));
}

HBITMAP SHLoadImageFile(LPCWSTR devicePath) {
  if (devicePath == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HANDLE file = CreateFile(devicePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;  // CreateFile set the error
  DWORD high = 0;
  DWORD size = GetFileSize(file, &high);
  if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxImageFileBytes) {
    CloseHandle(file);
    SetLastError(size == INVALID_FILE_SIZE ? ERROR_READ_FAULT : ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::vector<unsigned char> bytes(size);
  DWORD total = 0;
  while (total < size) {
    DWORD read = 0;
    if (!ReadFile(file, bytes.data() + total, size - total, &read, nullptr) || read == 0) break;
    total += read;
  }
  CloseHandle(file);
  if (total != size) {
    SetLastError(ERROR_READ_FAULT);
    return nullptr;
  }
  ImageError error = ImageError::kNone;
  HBITMAP bitmap = LoadImageFromMemory(bytes.data(), bytes.size(), &error);
  if (bitmap == nullptr) {
    SetLastError(error == ImageError::kTooLarge || error == ImageError::kNoMemory
                     ? ERROR_NOT_ENOUGH_MEMORY
                     : ERROR_INVALID_DATA);
  }
  return bitmap;
}

const char* ImageErrorText(ImageError error) {
  switch (error) {
    case ImageError::kNone:
      return "no error";
    case ImageError::kEmpty:
      return "empty picture";
    case ImageError::kTooLarge:
      return "picture too large";
    case ImageError::kUnknownFormat:
      return "not a GIF, PNG, JPEG or BMP picture";
    case ImageError::kCorrupt:
      return "corrupt picture";
    case ImageError::kNoMemory:
      return "out of memory for picture";
  }
  return "unknown error";
}

}  // namespace ce
