// Drawing on windows: where window DCs draw, what they may not touch, and
// the paint pass with its background erase.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/gdi/Gdi.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Message.h"
#include "platform/window/Paint.h"
#include "tests/gdi/GdiTestSupport.h"

namespace ce {
namespace {

using testing::kBlue;
using testing::kGreen;
using testing::kRed;
using testing::TestWindow;

LRESULT Default(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); }

void FillClient(HWND window, COLORREF color) {
  HDC dc = GetDC(window);
  ASSERT_NE(dc, nullptr);
  RECT client{};
  GetClientRect(window, &client);
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  EXPECT_EQ(ReleaseDC(window, dc), 1);
}

class WindowPaintTest : public ::testing::Test {
 protected:
  COLORREF At(HWND window, int x, int y) { return GetWindowSurface(window)->Pixel(x, y); }

  testing::TempDeviceRoot device_;
};

TEST_F(WindowPaintTest, WindowsDrawAtTheirPlaceAndNeverOverChildrenOrSiblingsAbove) {
  TestWindow top(Default, nullptr, WS_VISIBLE);
  MoveWindow(top, 0, 0, 100, 80, FALSE);
  TestWindow a(Default, top, WS_VISIBLE);
  MoveWindow(a, 10, 10, 30, 20, FALSE);
  TestWindow below(Default, top, WS_VISIBLE);  // created later: below a
  MoveWindow(below, 30, 20, 30, 20, FALSE);
  TestWindow hidden(Default, top, 0);
  MoveWindow(hidden, 70, 50, 20, 20, FALSE);

  ASSERT_EQ(GetWindowSurface(a), GetWindowSurface(top));
  EXPECT_EQ(GetWindowSurface(top)->Width(), 100);
  FillClient(top, kBlue);
  FillClient(a, kRed);
  EXPECT_EQ(At(top, 10, 10), kRed);
  EXPECT_EQ(At(top, 39, 29), kRed);
  EXPECT_EQ(At(top, 9, 10), kBlue);
  EXPECT_EQ(At(top, 40, 15), kBlue);

  FillClient(below, kGreen);
  EXPECT_EQ(At(top, 35, 25), kRed);    // a is above
  EXPECT_EQ(At(top, 45, 25), kGreen);
  EXPECT_EQ(At(top, 59, 39), kGreen);

  FillClient(hidden, kGreen);
  EXPECT_EQ(At(top, 75, 55), kBlue);

  // The parent's drawing leaves its visible children alone.
  FillClient(top, RGB(9, 9, 9));
  EXPECT_EQ(At(top, 12, 12), kRed);
  EXPECT_EQ(At(top, 50, 30), kGreen);
  EXPECT_EQ(At(top, 75, 55), RGB(9, 9, 9));
  EXPECT_EQ(At(top, 0, 0), RGB(9, 9, 9));

  // Growing the window keeps what it showed.
  MoveWindow(top, 0, 0, 120, 90, FALSE);
  FillClient(a, kRed);
  EXPECT_EQ(GetWindowSurface(top)->Width(), 120);
  EXPECT_EQ(At(top, 0, 0), RGB(9, 9, 9));

  std::filesystem::path png = device_.Path() / "shot.png";
  ASSERT_TRUE(SaveWindowToPng(top, png));
  std::ifstream in(png, std::ios::binary);
  char magic[4] = {};
  in.read(magic, 4);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
}

// What the paint procedure below saw in its last paint pass.
struct PaintLog {
  int paints = 0;
  RECT painted{};
  BOOL stillToErase = FALSE;
};
PaintLog paintLog;

// Paints red into (10, 20)-(20, 25) only, whatever the update rectangle.
LRESULT PaintProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m != WM_PAINT) return DefWindowProc(w, m, wp, lp);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  ++paintLog.paints;
  paintLog.painted = ps.rcPaint;
  paintLog.stillToErase = ps.fErase;
  RECT mark{10, 20, 20, 25};
  HBRUSH red = CreateSolidBrush(kRed);
  FillRect(dc, &mark, red);
  RECT outside{0, 0, 5, 5};  // outside every update rectangle below
  FillRect(dc, &outside, red);
  DeleteObject(red);
  EndPaint(w, &ps);
  return 0;
}

HWND MakePaintWindow(LPCWSTR className, HBRUSH background) {
  WNDCLASS wc;
  wc.lpfnWndProc = PaintProc;
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, className, u"", 0, 0, 0, 60, 40, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(w, SW_SHOWNA);
  UpdateWindow(w);
  FillClient(w, kBlue);
  paintLog = PaintLog{};
  return w;
}

TEST_F(WindowPaintTest, ThePaintPassErasesWithTheClassBrushAndDrawsOnlyTheUpdate) {
  constexpr COLORREF kBackground = 0xFFF3F7;
  HBRUSH background = CreateSolidBrush(kBackground);
  HWND window = MakePaintWindow(u"GdiPaintBrushed", background);

  RECT part{10, 20, 30, 25};
  InvalidateRect(window, &part, TRUE);
  UpdateWindow(window);
  EXPECT_EQ(paintLog.paints, 1);
  EXPECT_EQ(paintLog.painted, part);
  EXPECT_FALSE(paintLog.stillToErase);
  EXPECT_EQ(At(window, 10, 20), kRed);
  EXPECT_EQ(At(window, 25, 22), kBackground);  // erased, not painted
  EXPECT_EQ(At(window, 30, 22), kBlue);        // outside the update
  EXPECT_EQ(At(window, 10, 25), kBlue);
  EXPECT_EQ(At(window, 1, 1), kBlue);

  // Without erase the old pixels stay under the paint.
  FillClient(window, kBlue);
  InvalidateRect(window, &part, FALSE);
  UpdateWindow(window);
  EXPECT_EQ(At(window, 25, 22), kBlue);
  EXPECT_EQ(At(window, 15, 22), kRed);

  // Nothing invalid: the pass draws nothing.
  FillClient(window, kBlue);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT all{0, 0, 60, 40};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EndPaint(window, &ps);
  EXPECT_TRUE(IsRectEmpty(&ps.rcPaint));
  EXPECT_EQ(At(window, 25, 22), kBlue);
  DestroyWindow(window);

  // A class without a background brush leaves the erase to the painter.
  HWND bare = MakePaintWindow(u"GdiPaintBare", nullptr);
  InvalidateRect(bare, nullptr, TRUE);
  UpdateWindow(bare);
  EXPECT_TRUE(paintLog.stillToErase);
  EXPECT_EQ(At(bare, 40, 30), kBlue);
  DestroyWindow(bare);
  DeleteObject(background);
}

}  // namespace
}  // namespace ce
