// Pictures decoded into bitmaps (and refused when bad), and image lists.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/testing/TestSupport.h"
#include "tests/gdi/GdiTestSupport.h"

namespace ce {
namespace {

using testing::Canvas;
using testing::kBlue;
using testing::kGreen;
using testing::kMagenta;
using testing::kRed;
using testing::kWhite;

void Append(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                             static_cast<size_t>(size));
}

// RGBA pixels: red left half, blue right half.
std::vector<uint8_t> TwoColours(int w, int h) {
  std::vector<uint8_t> rgba;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      bool left = x < w / 2;
      rgba.insert(rgba.end(), {uint8_t(left ? 255 : 0), 0, uint8_t(left ? 0 : 255), 255});
    }
  }
  return rgba;
}

std::string Png(int w, int h, const std::vector<uint8_t>& rgba) {
  std::string out;
  stbi_write_png_to_func(Append, &out, w, h, 4, rgba.data(), w * 4);
  return out;
}

std::string Jpeg(int w, int h, const std::vector<uint8_t>& rgba) {
  std::string out;
  stbi_write_jpg_to_func(Append, &out, w, h, 4, rgba.data(), 95);
  return out;
}

std::string Bmp(int w, int h, const std::vector<uint8_t>& rgba) {
  std::string out;
  stbi_write_bmp_to_func(Append, &out, w, h, 4, rgba.data());
  return out;
}

// A GIF of palette indexes 0..3. Its LZW data is written as literal codes
// only, with a clear code before every two, so the code size stays 3 bits.
std::string Gif(int w, int h, const std::vector<uint8_t>& indexes,
                const std::array<COLORREF, 4>& palette, int transparentIndex = -1) {
  std::string g = "GIF89a";
  auto u16 = [&g](int v) {
    g.push_back(static_cast<char>(v & 0xFF));
    g.push_back(static_cast<char>((v >> 8) & 0xFF));
  };
  u16(w);
  u16(h);
  g += std::string("\x91\x00\x00", 3);  // global table of 4 colours
  for (COLORREF c : palette) {
    g.push_back(static_cast<char>(GetRValue(c)));
    g.push_back(static_cast<char>(GetGValue(c)));
    g.push_back(static_cast<char>(GetBValue(c)));
  }
  if (transparentIndex >= 0) {
    g += std::string("\x21\xF9\x04\x01\x00\x00", 6);
    g.push_back(static_cast<char>(transparentIndex));
    g.push_back('\0');
  }
  g += "\x2C";
  u16(0);
  u16(0);
  u16(w);
  u16(h);
  g.push_back('\0');
  g.push_back('\x02');  // minimum code size
  std::string bytes;
  uint32_t acc = 0;
  int bits = 0;
  auto code = [&](int c) {
    acc |= static_cast<uint32_t>(c) << bits;
    bits += 3;
    while (bits >= 8) {
      bytes.push_back(static_cast<char>(acc & 0xFF));
      acc >>= 8;
      bits -= 8;
    }
  };
  for (size_t i = 0; i < indexes.size(); ++i) {
    if (i % 2 == 0) code(4);
    code(indexes[i]);
  }
  code(5);
  if (bits > 0) bytes.push_back(static_cast<char>(acc & 0xFF));
  for (size_t at = 0; at < bytes.size(); at += 255) {
    std::string block = bytes.substr(at, 255);
    g.push_back(static_cast<char>(block.size()));
    g += block;
  }
  g.push_back('\0');
  g += "\x3B";
  return g;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) { return GetBitmapSurface(bitmap)->Pixel(x, y); }

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST(ImageTest, DecodesPngGifJpegAndBmp) {
  auto rgba = TwoColours(16, 8);
  struct Case {
    const char* name;
    std::string bytes;
    int tolerance;
  };
  const Case cases[] = {
      {"png", Png(16, 8, rgba), 0},
      {"bmp", Bmp(16, 8, rgba), 0},
      {"jpeg", Jpeg(16, 8, rgba), 40},
      {"gif", Gif(16, 8, std::vector<uint8_t>(64, 1), {kWhite, kRed, kGreen, kBlue}), 0},
  };
  for (const Case& c : cases) {
    ImageError error = ImageError::kCorrupt;
    HBITMAP bitmap = LoadImageFromMemory(c.bytes.data(), c.bytes.size(), &error);
    ASSERT_NE(bitmap, nullptr) << c.name;
    EXPECT_EQ(error, ImageError::kNone);
    BITMAP bm;
    GetObject(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16) << c.name;
    EXPECT_EQ(bm.bmHeight, 8) << c.name;
    EXPECT_TRUE(Near(PixelOf(bitmap, 1, 1), kRed, c.tolerance)) << c.name;
    if (std::string(c.name) != "gif") {
      EXPECT_TRUE(Near(PixelOf(bitmap, 14, 6), kBlue, c.tolerance)) << c.name;
    }
    DeleteObject(bitmap);
  }

  // GIF palette order and a transparent index, which shows white.
  std::vector<uint8_t> idx = {0, 1, 2, 3, 3, 2, 1, 0};
  std::string gif = Gif(4, 2, idx, {kMagenta, kRed, kGreen, kBlue}, 0);
  HBITMAP bitmap = LoadImageFromMemory(gif.data(), gif.size());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(PixelOf(bitmap, 0, 0), kWhite);
  EXPECT_EQ(PixelOf(bitmap, 1, 0), kRed);
  EXPECT_EQ(PixelOf(bitmap, 2, 0), kGreen);
  EXPECT_EQ(PixelOf(bitmap, 3, 0), kBlue);
  EXPECT_EQ(PixelOf(bitmap, 0, 1), kBlue);
  EXPECT_EQ(PixelOf(bitmap, 3, 1), kWhite);
  DeleteObject(bitmap);

  // Partial transparency is laid over white.
  std::vector<uint8_t> half = {0, 0, 0, 128};
  std::string png = Png(1, 1, half);
  bitmap = LoadImageFromMemory(png.data(), png.size());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(Near(PixelOf(bitmap, 0, 0), RGB(127, 127, 127), 1));
  DeleteObject(bitmap);
}

TEST(ImageTest, BadPicturesAreErrorsNotCrashes) {
  auto rgba = TwoColours(16, 8);
  std::string png = Png(16, 8, rgba);
  std::string huge = png;
  // IHDR width and height (big-endian, bytes 16..23): 5000 x 5000.
  const char dims[8] = {0, 0, 0x13, static_cast<char>(0x88), 0, 0, 0x13, static_cast<char>(0x88)};
  huge.replace(16, 8, dims, 8);
  std::string bigGif = "GIF89a";
  bigGif += std::string("\x88\x13\x88\x13\x00\x00\x00", 7);  // 5000 x 5000, no data
  struct Case {
    const char* name;
    std::string bytes;
    ImageError expected;
  };
  const Case cases[] = {
      {"empty", "", ImageError::kEmpty},
      {"text", "hello, picture", ImageError::kUnknownFormat},
      {"truncated png", png.substr(0, 40), ImageError::kCorrupt},
      {"png header only", png.substr(0, 8), ImageError::kCorrupt},
      {"huge png", huge, ImageError::kTooLarge},
      {"huge gif", bigGif, ImageError::kTooLarge},
      {"gif garbage", "GIF89a\x01\x00\x01\x00\xFF\xFF\xFF", ImageError::kCorrupt},
      {"truncated jpeg", Jpeg(16, 8, rgba).substr(0, 30), ImageError::kCorrupt},
  };
  for (const Case& c : cases) {
    ImageError error = ImageError::kNone;
    EXPECT_EQ(LoadImageFromMemory(c.bytes.data(), c.bytes.size(), &error), nullptr) << c.name;
    EXPECT_EQ(error, c.expected) << c.name;
  }
  std::string tooBig(kMaxImageFileBytes + 1, 'x');
  ImageError error = ImageError::kNone;
  EXPECT_EQ(LoadImageFromMemory(tooBig.data(), tooBig.size(), &error), nullptr);
  EXPECT_EQ(error, ImageError::kTooLarge);

  // Damaged copies of good pictures decode or fail, never crash.
  std::mt19937 random(7);
  const std::string goods[] = {
      png, Jpeg(16, 8, rgba),
      Gif(16, 8, std::vector<uint8_t>(128, 2), {kWhite, kRed, kGreen, kBlue})};
  for (const std::string& good : goods) {
    for (int round = 0; round < 150; ++round) {
      std::string bad = good;
      for (int k = 0; k < 4; ++k) {
        bad[random() % bad.size()] = static_cast<char>(random());
      }
      bad.resize(bad.size() - random() % (bad.size() / 2));
      HBITMAP bitmap = LoadImageFromMemory(bad.data(), bad.size());
      if (bitmap != nullptr) DeleteObject(bitmap);
    }
  }
}

TEST(ImageTest, LoadsPictureFilesOfTheDevice) {
  testing::TempDeviceRoot device;
  std::string png = Png(6, 4, TwoColours(6, 4));
  device.WriteDeviceBytes(u"\\Temp\\albumcover.dat", png);
  device.WriteDeviceBytes(u"\\Temp\\broken.dat", png.substr(0, 50));

  HBITMAP bitmap = SHLoadImageFile(u"\\Temp\\albumcover.dat");
  ASSERT_NE(bitmap, nullptr);
  BITMAP bm;
  GetObject(bitmap, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 6);
  EXPECT_EQ(bm.bmHeight, 4);
  DeleteObject(bitmap);

  EXPECT_EQ(SHLoadImageFile(u"\\Temp\\broken.dat"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(SHLoadImageFile(u"\\Temp\\missing.dat"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(ImageTest, ImageListsCutStripsAndDrawMaskedPixelsTransparent) {
  // Three 4 x 4 images on magenta, each with one coloured pixel at (1, 1),
  // and a remainder narrower than an image.
  Canvas strip(14, 4, kMagenta);
  SetPixel(strip, 1, 1, kRed);
  SetPixel(strip, 5, 1, kGreen);
  SetPixel(strip, 9, 1, kBlue);
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR | ILC_MASK, 3, 1);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ImageList_AddMasked(list, strip.Bitmap(), kMagenta), 0);
  EXPECT_EQ(ImageList_GetImageCount(list), 3);
  EXPECT_EQ(ImageList_AddMasked(list, strip.Bitmap(), kMagenta), 3);

  Canvas dst(8, 8, kWhite);
  dst.Fill(RECT{0, 0, 8, 8}, 0xEFF7F7);
  ASSERT_TRUE(ImageList_Draw(list, 1, dst, 2, 2, ILD_NORMAL));
  EXPECT_EQ(dst.At(3, 3), kGreen);
  EXPECT_EQ(dst.Count(RECT{0, 0, 8, 8}, 0xEFF7F7), 63);

  // A background colour fills the masked pixels unless drawn transparent.
  ImageList_SetBkColor(list, kWhite);
  ImageList_Draw(list, 2, dst, 2, 2, ILD_NORMAL);
  EXPECT_EQ(dst.At(3, 3), kBlue);
  EXPECT_EQ(dst.Count(RECT{2, 2, 6, 6}, kWhite), 15);
  dst.Fill(RECT{0, 0, 8, 8}, 0xEFF7F7);
  ImageList_Draw(list, 0, dst, 2, 2, ILD_TRANSPARENT);
  EXPECT_EQ(dst.Count(RECT{0, 0, 8, 8}, 0xEFF7F7), 63);

  // Selected images are blended half with the highlight colour.
  ImageList_DrawEx(list, 0, dst, 2, 2, 0, 0, CLR_NONE, RGB(0, 0, 255), ILD_SELECTED);
  EXPECT_EQ(dst.At(3, 3), RGB(128, 0, 128));

  EXPECT_FALSE(ImageList_Draw(list, 6, dst, 0, 0, ILD_NORMAL));
  EXPECT_TRUE(ImageList_Remove(list, 0));
  EXPECT_EQ(ImageList_GetImageCount(list), 5);
  EXPECT_TRUE(ImageList_Remove(list, -1));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  EXPECT_TRUE(ImageList_Destroy(list));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);

  // Without ILC_MASK nothing is transparent.
  HIMAGELIST plain = ImageList_Create(4, 4, ILC_COLOR, 1, 1);
  ImageList_AddMasked(plain, strip.Bitmap(), kMagenta);
  ImageList_Draw(plain, 0, dst, 0, 0, ILD_NORMAL);
  EXPECT_EQ(dst.Count(RECT{0, 0, 4, 4}, kMagenta), 15);
  ImageList_Destroy(plain);
}

}  // namespace
}  // namespace ce
