// Pictures: GIF (first frame), PNG, JPEG and BMP decoded with stb_image
// into bitmaps. Transparent and partly transparent pixels are laid over
// white. Anything else, a truncated or corrupt file, or a picture larger
// than the caps is an error: null with a reason, never a crash.
#pragma once

#include <cstddef>
#include <string>

#include "platform/gdi/GdiTypes.h"

namespace ce {

// Caps on what is decoded: the encoded size in bytes, and each side of the
// picture in pixels.
constexpr size_t kMaxImageFileBytes = 16u << 20;
constexpr int kMaxImageSide = 4096;

enum class ImageError {
  kNone,
  kEmpty,          // no bytes
  kTooLarge,       // over kMaxImageFileBytes or kMaxImageSide
  kUnknownFormat,  // not GIF, PNG, JPEG or BMP
  kCorrupt,        // the decoder rejected the data
  kNoMemory,
};

// Decodes a picture held in memory (the bytes are not kept).
HBITMAP LoadImageFromMemory(const void* data, size_t size, ImageError* error = nullptr);
// Decodes a device file ("\Temp\albumcover.dat"). Null on failure with the
// last error set: ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND for a missing
// file, ERROR_INVALID_DATA for a picture that cannot be decoded,
// ERROR_NOT_ENOUGH_MEMORY when it is too large.
HBITMAP SHLoadImageFile(LPCWSTR devicePath);
// The last error SHLoadImageFile sets for a file it cannot decode.
constexpr LONG ERROR_INVALID_DATA = 13;

// A readable reason for logs ("corrupt picture").
const char* ImageErrorText(ImageError error);

}  // namespace ce
