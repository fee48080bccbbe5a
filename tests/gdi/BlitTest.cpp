// Copies between DCs: raster operations, scaling, mirroring, colour keys,
// overlapping copies and clipping.
#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "tests/gdi/GdiTestSupport.h"

namespace ce {
namespace {

using testing::Canvas;
using testing::kBlack;
using testing::kBlue;
using testing::kGreen;
using testing::kMagenta;
using testing::kRed;
using testing::kWhite;

TEST(BlitTest, RasterOperationsCombineSourceAndDestination) {
  struct Case {
    DWORD rop;
    COLORREF expected;
  };
  constexpr COLORREF kDst = 0x00F0F00F;
  constexpr COLORREF kSrc = 0x003C3CFF;
  const Case cases[] = {{SRCCOPY, kSrc},
                        {SRCAND, kDst & kSrc},
                        {SRCPAINT, kDst | kSrc},
                        {SRCINVERT, kDst ^ kSrc},
                        {NOTSRCCOPY, ~kSrc & 0xFFFFFF},
                        {BLACKNESS, kBlack},
                        {WHITENESS, kWhite}};
  for (const Case& c : cases) {
    Canvas src(4, 4, kSrc);
    Canvas dst(8, 8, kDst);
    ASSERT_TRUE(BitBlt(dst, 2, 2, 4, 4, src, 0, 0, c.rop)) << std::hex << c.rop;
    EXPECT_EQ(dst.At(2, 2), c.expected) << std::hex << c.rop;
    EXPECT_EQ(dst.At(5, 5), c.expected) << std::hex << c.rop;
    EXPECT_EQ(dst.At(1, 1), kDst) << std::hex << c.rop;
    EXPECT_EQ(dst.At(6, 6), kDst) << std::hex << c.rop;
  }
}

TEST(BlitTest, CopiesKeepPixelsExactAndStayInsideTheSource) {
  Canvas src(4, 4, kRed);
  src.Fill(RECT{0, 0, 2, 2}, kGreen);
  Canvas dst(10, 10);
  // Half of the source rectangle lies outside the source: that part of the
  // destination keeps its pixels.
  BitBlt(dst, 0, 0, 8, 8, src, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), kGreen);
  EXPECT_EQ(dst.At(1, 1), kGreen);
  EXPECT_EQ(dst.At(3, 3), kRed);
  EXPECT_EQ(dst.At(4, 0), kWhite);
  EXPECT_EQ(dst.At(0, 4), kWhite);
  EXPECT_EQ(dst.Count(RECT{0, 0, 10, 10}, kRed), 12);

  // The destination's clip applies.
  Canvas clipped(10, 10);
  IntersectClipRect(clipped, 1, 1, 3, 3);
  BitBlt(clipped, 0, 0, 4, 4, src, 0, 0, SRCCOPY);
  EXPECT_EQ(clipped.Count(RECT{0, 0, 10, 10}, kWhite), 100 - 4);
  EXPECT_EQ(clipped.At(1, 1), kGreen);
  EXPECT_EQ(clipped.At(2, 2), kRed);
}

TEST(BlitTest, OverlappingCopyWithinOneBitmapMovesTheOriginalPixels) {
  Canvas canvas(10, 1);
  for (int x = 0; x < 10; ++x) SetPixel(canvas, x, 0, RGB(x * 20, 0, 0));
  BitBlt(canvas, 2, 0, 6, 1, canvas, 0, 0, SRCCOPY);  // scroll right by 2
  for (int x = 2; x < 8; ++x) EXPECT_EQ(canvas.At(x, 0), RGB((x - 2) * 20, 0, 0)) << x;
  EXPECT_EQ(canvas.At(1, 0), RGB(20, 0, 0));
}

TEST(BlitTest, StretchingPicksNearestPixelsAndMirrors) {
  // A 1 x 5 strip stretched over 30 x 5 repeats its one column.
  Canvas strip(1, 5);
  for (int y = 0; y < 5; ++y) SetPixel(strip, 0, y, RGB(0, y * 50, 0));
  Canvas dst(40, 10);
  StretchBlt(dst, 5, 2, 30, 5, strip, 0, 0, 1, 5, SRCCOPY);
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(dst.Count(RECT{5, 2 + y, 35, 3 + y}, RGB(0, y * 50, 0)), 30) << y;
  }
  EXPECT_EQ(dst.At(4, 2), kWhite);
  EXPECT_EQ(dst.At(35, 2), kWhite);

  // 2 x 2 doubled, then mirrored left to right.
  Canvas four(2, 2);
  SetPixel(four, 0, 0, kRed);
  SetPixel(four, 1, 0, kGreen);
  SetPixel(four, 0, 1, kBlue);
  SetPixel(four, 1, 1, kBlack);
  Canvas big(4, 4);
  StretchBlt(big, 0, 0, 4, 4, four, 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(big.Count(RECT{0, 0, 2, 2}, kRed), 4);
  EXPECT_EQ(big.Count(RECT{2, 0, 4, 2}, kGreen), 4);
  EXPECT_EQ(big.Count(RECT{0, 2, 2, 4}, kBlue), 4);
  EXPECT_EQ(big.Count(RECT{2, 2, 4, 4}, kBlack), 4);
  Canvas mirrored(2, 2);
  StretchBlt(mirrored, 1, 0, -2, 2, four, 0, 0, 2, 2, SRCCOPY);  // x 1 down to 0
  EXPECT_EQ(mirrored.At(0, 0), kGreen);
  EXPECT_EQ(mirrored.At(1, 0), kRed);
  EXPECT_EQ(mirrored.At(0, 1), kBlack);

  // Shrinking: every destination pixel comes from the source.
  Canvas small(1, 1);
  StretchBlt(small, 0, 0, 1, 1, big, 0, 0, 4, 4, SRCCOPY);
  COLORREF got = small.At(0, 0);
  EXPECT_TRUE(got == kRed || got == kGreen || got == kBlue || got == kBlack);
}

TEST(BlitTest, TransparentBltLeavesTheColourKeyOut) {
  Canvas overlay(3, 1, kMagenta);
  SetPixel(overlay, 1, 0, kBlue);
  Canvas dst(6, 2, kGreen);
  ASSERT_TRUE(TransparentBlt(dst, 0, 0, 3, 1, overlay, 0, 0, 3, 1, kMagenta));
  EXPECT_EQ(dst.At(0, 0), kGreen);
  EXPECT_EQ(dst.At(1, 0), kBlue);
  EXPECT_EQ(dst.At(2, 0), kGreen);
  // Scaled: the key stays exact (no blending of key and picture).
  dst.Fill(RECT{0, 0, 6, 2}, kGreen);
  ASSERT_TRUE(TransparentBlt(dst, 0, 0, 6, 2, overlay, 0, 0, 3, 1, kMagenta));
  EXPECT_EQ(dst.Count(RECT{0, 0, 6, 2}, kBlue), 4);
  EXPECT_EQ(dst.Count(RECT{0, 0, 6, 2}, kGreen), 8);
  EXPECT_EQ(dst.Count(RECT{0, 0, 6, 2}, kMagenta), 0);
}

TEST(BlitTest, MemoryDcFramesCopyToTheTargetInOneTransfer) {
  // The off-screen pattern of a paint pass: draw into a compatible bitmap,
  // copy it to the target, restore the old bitmap.
  Canvas target(30, 20);
  HDC memory = CreateCompatibleDC(target);
  HBITMAP frame = CreateCompatibleBitmap(target, 30, 20);
  HGDIOBJ old = SelectObject(memory, frame);
  RECT all{0, 0, 30, 20};
  HBRUSH brush = CreateSolidBrush(0xF8F5F1);
  FillRect(memory, &all, brush);
  EXPECT_EQ(target.At(5, 5), kWhite);  // nothing reaches the target yet
  BitBlt(target, 0, 0, 30, 20, memory, 0, 0, SRCCOPY);
  EXPECT_EQ(target.Count(all, 0xF8F5F1), 600);
  EXPECT_EQ(SelectObject(memory, old), frame);
  DeleteObject(frame);
  DeleteObject(brush);
  DeleteDC(memory);
  EXPECT_FALSE(BitBlt(target, 0, 0, 1, 1, memory, 0, 0, SRCCOPY));
}

}  // namespace
}  // namespace ce
