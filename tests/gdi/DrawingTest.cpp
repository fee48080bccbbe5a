// Fills, outlines, lines, pixels, clipping and the lifetime of objects.
#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "tests/gdi/GdiTestSupport.h"

namespace ce {
namespace {

using testing::Area;
using testing::Canvas;
using testing::kBlack;
using testing::kBlue;
using testing::kGreen;
using testing::kRed;
using testing::kWhite;

TEST(DrawingTest, FillRectCoversItsHalfOpenRectangleInExactlyTheBrushColour) {
  Canvas canvas(20, 20);
  constexpr COLORREF kSelected = 0xC69A8C;
  RECT r{2, 3, 7, 9};
  canvas.Fill(r, kSelected);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kSelected), Area(r));
  EXPECT_EQ(canvas.At(2, 3), kSelected);
  EXPECT_EQ(canvas.At(6, 8), kSelected);
  EXPECT_EQ(canvas.At(7, 8), kWhite);
  EXPECT_EQ(canvas.At(6, 9), kWhite);
  // COLORREF is 0x00BBGGRR; the surface word is 0x00RRGGBB.
  EXPECT_EQ(GetBitmapSurface(canvas.Bitmap())->Row(3)[2] & 0xFFFFFF, 0x8C9AC6u);
  EXPECT_EQ(GetRValue(kSelected), 0x8C);
  EXPECT_EQ(GetBValue(kSelected), 0xC6);

  // A system colour given as (HBRUSH)(COLOR_x + 1).
  RECT s{10, 10, 12, 12};
  FillRect(canvas, &s, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOWTEXT + 1)));
  EXPECT_EQ(canvas.At(11, 11), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(FillRect(canvas, &s, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(0x7777))), 0);
}

TEST(DrawingTest, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  Canvas canvas(20, 20);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HBRUSH brush = CreateSolidBrush(kGreen);
  HGDIOBJ oldPen = SelectObject(canvas, pen);
  HGDIOBJ oldBrush = SelectObject(canvas, brush);
  Rectangle(canvas, 2, 2, 10, 8);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kRed), 2 * (8 + 6) - 4);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kGreen), 6 * 4);
  EXPECT_EQ(canvas.At(9, 7), kRed);
  EXPECT_EQ(canvas.At(10, 8), kWhite);

  // Without a pen the filled figure is one pixel smaller each way.
  canvas.Fill(RECT{0, 0, 20, 20}, kWhite);
  SelectObject(canvas, GetStockObject(NULL_PEN));
  Rectangle(canvas, 2, 2, 10, 8);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kGreen), 7 * 5);
  EXPECT_EQ(canvas.At(9, 7), kWhite);

  // A null brush leaves the inside alone; a wide pen is centred on the frame.
  canvas.Fill(RECT{0, 0, 20, 20}, kWhite);
  HPEN wide = CreatePen(PS_SOLID, 3, kBlue);
  SelectObject(canvas, wide);
  SelectObject(canvas, GetStockObject(NULL_BRUSH));
  Rectangle(canvas, 5, 5, 15, 15);
  EXPECT_EQ(canvas.At(4, 4), kBlue);
  EXPECT_EQ(canvas.At(6, 6), kBlue);
  EXPECT_EQ(canvas.At(7, 7), kWhite);
  EXPECT_EQ(canvas.At(3, 3), kWhite);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kBlue), 12 * 12 - 6 * 6);

  SelectObject(canvas, oldPen);
  SelectObject(canvas, oldBrush);
  DeleteObject(pen);
  DeleteObject(wide);
  DeleteObject(brush);
}

TEST(DrawingTest, LinesStopJustBeforeTheirEndPoint) {
  struct Case {
    POINT from;
    POINT to;
  };
  const Case cases[] = {{{1, 1}, {6, 1}}, {{4, 8}, {4, 3}}, {{0, 0}, {5, 5}}, {{9, 2}, {4, 2}}};
  for (const Case& c : cases) {
    Canvas canvas(12, 12);
    HGDIOBJ old = SelectObject(canvas, GetStockObject(BLACK_PEN));
    MoveToEx(canvas, c.from.x, c.from.y, nullptr);
    LineTo(canvas, c.to.x, c.to.y);
    EXPECT_EQ(canvas.At(c.from.x, c.from.y), kBlack);
    EXPECT_EQ(canvas.At(c.to.x, c.to.y), kWhite);
    EXPECT_EQ(canvas.Count(RECT{0, 0, 12, 12}, kBlack), 5);
    SelectObject(canvas, old);
  }

  // Polyline draws every segment and leaves the current position alone.
  Canvas canvas(12, 12);
  MoveToEx(canvas, 11, 11, nullptr);
  POINT pts[] = {{0, 0}, {4, 0}, {4, 4}};
  Polyline(canvas, pts, 3);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 12, 12}, kBlack), 8);
  POINT at{};
  MoveToEx(canvas, 0, 0, &at);
  EXPECT_EQ(at, (POINT{11, 11}));
}

TEST(DrawingTest, PixelsInvertingAndTheFocusFrame) {
  Canvas canvas(10, 10);
  EXPECT_EQ(SetPixel(canvas, 3, 4, kRed), kRed);
  EXPECT_EQ(GetPixel(canvas, 3, 4), kRed);
  EXPECT_EQ(GetPixel(canvas, 10, 0), CLR_INVALID);
  EXPECT_EQ(SetPixel(canvas, -1, 0, kRed), CLR_INVALID);

  RECT r{1, 1, 9, 9};
  InvertRect(canvas, &r);
  EXPECT_EQ(canvas.At(3, 4), RGB(0, 255, 255));
  EXPECT_EQ(canvas.At(5, 5), kBlack);
  InvertRect(canvas, &r);
  EXPECT_EQ(canvas.At(3, 4), kRed);

  DrawFocusRect(canvas, &r);
  EXPECT_EQ(canvas.At(1, 1), kBlack);
  EXPECT_EQ(canvas.At(2, 1), kWhite);
  EXPECT_EQ(canvas.At(5, 5), kWhite);
  DrawFocusRect(canvas, &r);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 10, 10}, kWhite), 99);
}

TEST(DrawingTest, ClippingLimitsDrawingAndSaveDcRestoresIt) {
  Canvas canvas(20, 20);
  RECT all{0, 0, 20, 20};
  int saved = SaveDC(canvas);
  EXPECT_EQ(IntersectClipRect(canvas, 5, 5, 15, 15), SIMPLEREGION);
  EXPECT_EQ(ExcludeClipRect(canvas, 8, 8, 10, 10), COMPLEXREGION);
  RECT box{};
  EXPECT_EQ(GetClipBox(canvas, &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{5, 5, 15, 15}));
  canvas.Fill(all, kRed);
  EXPECT_EQ(canvas.Count(all, kRed), 100 - 4);
  EXPECT_EQ(canvas.At(8, 8), kWhite);
  EXPECT_EQ(GetPixel(canvas, 2, 2), CLR_INVALID);  // outside the clip

  ASSERT_TRUE(RestoreDC(canvas, saved));
  canvas.Fill(all, kGreen);
  EXPECT_EQ(canvas.Count(all, kGreen), 400);

  // A selected region is copied: changing it afterwards changes nothing.
  HRGN region = CreateRectRgn(0, 0, 4, 4);
  HRGN other = CreateRectRgn(10, 10, 12, 12);
  CombineRgn(region, region, other, RGN_OR);
  EXPECT_EQ(SelectClipRgn(canvas, region), COMPLEXREGION);
  SetRectRgn(region, 0, 0, 20, 20);
  canvas.Fill(all, kBlue);
  EXPECT_EQ(canvas.Count(all, kBlue), 16 + 4);
  SelectClipRgn(canvas, nullptr);
  DeleteObject(region);
  DeleteObject(other);

  // The viewport origin moves drawing and logical clip rectangles alike.
  SetViewportOrgEx(canvas, 3, 4, nullptr);
  IntersectClipRect(canvas, 0, 0, 1, 2);
  canvas.Fill(RECT{0, 0, 5, 5}, kBlack);
  EXPECT_EQ(canvas.Count(all, kBlack), 2);
  EXPECT_EQ(canvas.At(3, 4), kBlack);
  EXPECT_EQ(canvas.At(3, 5), kBlack);
}

TEST(DrawingTest, ObjectsStayUsableWhileSelectedAndBitmapsBelongToOneDc) {
  Canvas canvas(10, 10);
  HPEN pen = CreatePen(PS_SOLID, 0, kRed);
  HGDIOBJ old = SelectObject(canvas, pen);
  EXPECT_EQ(GetCurrentObject(canvas, OBJ_PEN), pen);
  ASSERT_TRUE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), 0u);
  MoveToEx(canvas, 0, 0, nullptr);
  LineTo(canvas, 3, 0);
  EXPECT_EQ(canvas.At(1, 0), kRed);  // the DC still holds the deleted pen
  EXPECT_EQ(SelectObject(canvas, old), pen);
  EXPECT_EQ(SelectObject(canvas, pen), nullptr);

  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));  // stock: stays
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), OBJ_BRUSH);
  EXPECT_FALSE(DeleteObject(canvas.Dc()));

  BITMAP bm;
  ASSERT_EQ(GetObject(canvas.Bitmap(), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 10);
  EXPECT_EQ(bm.bmHeight, 10);

  // A bitmap can be selected into one DC at a time.
  HDC second = CreateCompatibleDC(canvas);
  EXPECT_EQ(SelectObject(second, canvas.Bitmap()), nullptr);
  HBITMAP own = CreateCompatibleBitmap(canvas, 4, 4);
  HGDIOBJ defaultBitmap = SelectObject(second, own);
  ASSERT_NE(defaultBitmap, nullptr);
  EXPECT_EQ(GetObjectType(defaultBitmap), OBJ_BITMAP);
  DeleteDC(second);  // lets the bitmap go
  HDC third = CreateCompatibleDC(nullptr);
  EXPECT_NE(SelectObject(third, own), nullptr);
  DeleteDC(third);
  DeleteObject(own);

  EXPECT_EQ(CreateCompatibleBitmap(canvas, 0, 5), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(canvas, 100000, 5), nullptr);
}

}  // namespace
}  // namespace ce
