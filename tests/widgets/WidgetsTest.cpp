// The hover button's frames and repeat, the memory DC and the about box,
// on the program's own resources and the virtual clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <utility>
#include <vector>

#include "platform/controls/Button.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/Resources.h"
#include "platform/controls/VisibleControls.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Focus.h"
#include "platform/window/Paint.h"
#include "zolfa/widgets/CDlgAbout.h"
#include "zolfa/widgets/CMemDC.h"
#include "zolfa/widgets/CTextHoverButton.h"

namespace {

using namespace ce;
using ce::testing::AdvanceClockAndPump;
using ce::testing::PumpUntilIdle;
using ce::testing::TestWindow;

// A strip 100 pixels wide and 10 high: frames red, green, blue (34 pixels
// each before the cut to 33). Encoded through a file in the test's own
// folder: the cases run as parallel processes, a shared name would race.
std::vector<uint8_t> StripPng(const std::filesystem::path& folder) {
  HBITMAP bitmap = CreateBitmap(100, 10, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  const COLORREF colors[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  for (int frame = 0; frame < 3; ++frame) {
    RECT rect{frame * 33, 0, frame == 2 ? 100 : (frame + 1) * 33, 10};
    HBRUSH brush = CreateSolidBrush(colors[frame]);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
  }
  DeleteDC(dc);
  auto path = folder / "strip.png";
  SaveBitmapToPng(bitmap, path);
  DeleteObject(bitmap);
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  return bytes;
}

constexpr UINT kStripId = 9001;

class HoverButtonTest : public ::testing::Test {
 protected:
  // A device of its own: windows of tests in parallel processes stay apart.
  ce::testing::TempDeviceRoot root_;
  void SetUp() override {
    InitCommonControls();
    static bool registered = [this] {
      std::vector<uint8_t> strip = StripPng(root_.Path());
      RegisterResources(u"", [strip](ResourceSet& set) { set.AddImage(kStripId, strip); });
      return true;
    }();
    (void)registered;
    MoveWindow(parent_, 0, 0, 240, 100, FALSE);
    HWND window = CreateWindowEx(0, WC_BUTTON, u"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 50, 50,
                                 parent_, reinterpret_cast<HMENU>(static_cast<intptr_t>(1026)), nullptr, nullptr);
    ASSERT_TRUE(button_.SubclassWindow(window));
  }

  COLORREF Pixel(int x, int y) {
    UpdateWindow(parent_);
    PumpUntilIdle();
    RECT rect;
    GetWindowRect(button_, &rect);
    return GetWindowSurface(button_)->Pixel(rect.left + x, rect.top + y);
  }

  void Press() { SendMessage(button_, WM_LBUTTONDOWN, 1, MAKELPARAM(3, 3)); }
  void Release() { SendMessage(button_, WM_LBUTTONUP, 0, MAKELPARAM(3, 3)); }

  ce::testing::ScopedVirtualClock clock_;
  int clicks_ = 0;
  TestWindow parent_{[this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_COMMAND && LOWORD(wp) == 1026 && HIWORD(wp) == BN_CLICKED) ++clicks_;
    return DefWindowProc(w, m, wp, lp);
  }, nullptr, WS_VISIBLE};
  CTextHoverButton button_;
};

TEST_F(HoverButtonTest, StripOfHundredPixelsGivesFramesOfThirtyThree) {
  ASSERT_TRUE(button_.SetImage(kStripId));
  EXPECT_EQ(button_.FrameWidth(), 33);
  RECT rect;
  GetWindowRect(button_, &rect);
  EXPECT_EQ(rect.right - rect.left, 33);
  EXPECT_EQ(rect.bottom - rect.top, 10);
  EXPECT_EQ(rect.left, 10);  // the position is kept
}

TEST_F(HoverButtonTest, FrameFollowsTheState) {
  ASSERT_TRUE(button_.SetImage(kStripId));
  EXPECT_EQ(Pixel(5, 5), RGB(255, 0, 0));
  button_.SetAlternate(1);
  EXPECT_EQ(Pixel(5, 5), RGB(0, 255, 0));
  button_.SetAlternate(0);
  SendMessage(button_, BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(Pixel(5, 5), RGB(0, 0, 255));
  SendMessage(button_, BM_SETSTATE, FALSE, 0);
  EXPECT_EQ(Pixel(5, 5), RGB(255, 0, 0));
}

TEST_F(HoverButtonTest, MissingImageKeepsTheSizeAndDrawsNothing) {
  // Never given an image: what is under the button stays, even through an
  // erase.
  const COLORREF kMark = RGB(10, 120, 60);
  Pixel(0, 0);  // lets the first paint happen
  RECT rect;
  GetWindowRect(button_, &rect);
  GetWindowSurface(button_)->SetPixelValue(rect.left + 5, rect.top + 5, kMark);
  InvalidateRect(button_, nullptr, TRUE);
  EXPECT_EQ(Pixel(5, 5), kMark);
  // A missing image after a good one keeps the good one's size.
  ASSERT_TRUE(button_.SetImage(kStripId));
  EXPECT_FALSE(button_.SetImage(4321));
  GetWindowRect(button_, &rect);
  EXPECT_EQ(rect.right - rect.left, 33);
  EXPECT_EQ(rect.bottom - rect.top, 10);
}

TEST_F(HoverButtonTest, RepeatTimings) {
  button_.SetImage(kStripId);
  button_.SetRepeat(1);
  // A tap within a second: one click.
  Press();
  AdvanceClockAndPump(*clock_, 900);
  Release();
  PumpUntilIdle();
  EXPECT_EQ(clicks_, 1);
  // A hold of 1.5 s: the release click and about five repeats.
  clicks_ = 0;
  Press();
  AdvanceClockAndPump(*clock_, 1500);
  int repeats = clicks_;
  Release();
  PumpUntilIdle();
  EXPECT_GE(repeats, 4);
  EXPECT_LE(repeats, 5);
  EXPECT_EQ(clicks_, repeats + 1);
  // Nothing more after the release.
  AdvanceClockAndPump(*clock_, 1000);
  EXPECT_EQ(clicks_, repeats + 1);
}

TEST_F(HoverButtonTest, DisablingWhileHeldStopsTheRepeat) {
  button_.SetImage(kStripId);
  button_.SetRepeat(1);
  Press();
  AdvanceClockAndPump(*clock_, 1250);
  int before = clicks_;
  EXPECT_GE(before, 1);
  button_.EnableWindow(FALSE);
  AdvanceClockAndPump(*clock_, 2000);
  Release();
  PumpUntilIdle();
  EXPECT_EQ(clicks_, before);
}

// The release never reaches a button whose focus or capture is taken while
// it is held (a message box opening over it): the repeat must end there.
TEST_F(HoverButtonTest, HoldTakenAwayStopsTheRepeat) {
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"focus", [this] { SetFocus(parent_); }},
      {"capture", [this] { SetCapture(parent_); }},
      {"cancel mode", [this] { SendMessage(button_, WM_CANCELMODE, 0, 0); }},
  };
  button_.SetImage(kStripId);
  button_.SetRepeat(1);
  for (const auto& [name, takeAway] : cases) {
    clicks_ = 0;
    Press();
    AdvanceClockAndPump(*clock_, 1250);
    int before = clicks_;
    EXPECT_GE(before, 1) << name;
    takeAway();
    EXPECT_FALSE(button_.Touched()) << name;
    AdvanceClockAndPump(*clock_, 2000);
    EXPECT_EQ(clicks_, before) << name;
    ReleaseCapture();
  }
}

TEST(MemDcTest, DrawingReachesTheTargetOnlyWhenTheMemoryDcEnds) {
  HBITMAP target = CreateBitmap(40, 30, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, target);
  for (RECT rect : {RECT{0, 0, 40, 30}, RECT{10, 5, 30, 25}}) {
    {
      CMemDC memory(dc, rect);
      memory.FillSolidRect(rect, RGB(10, 200, 30));
      EXPECT_EQ(GetPixel(dc, rect.left + 1, rect.top + 1), RGB(0, 0, 0));
    }
    EXPECT_EQ(GetPixel(dc, rect.left + 1, rect.top + 1), RGB(10, 200, 30));
    EXPECT_EQ(GetPixel(dc, rect.right - 1, rect.bottom - 1), RGB(10, 200, 30));
    RECT black{0, 0, 40, 30};
    FillRect(dc, &black, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  DeleteDC(dc);
  DeleteObject(target);
}

TEST(AboutTest, VersionTextAndTemplate) {
  EXPECT_EQ(CDlgAbout::VersionText(u"0100", u"0013"), u"Zolfa for Pocket PC \nVersion 1.0013 \n");
  EXPECT_EQ(CDlgAbout::VersionText(u"", u"0013"), u"Zolfa for Pocket PC \nVersion .0013 \n");
  ce::testing::TempDeviceRoot root;  // its dialog is a window of the device
  InitCommonControls();
  std::u16string shown;
  ModalHook previous = SetModalHook([&](HWND dialog, ModalKind) {
    shown = GetWindowTextString(GetDlgItem(dialog, CDlgAbout::kVersionTextId));
    PostMessage(GetDlgItem(dialog, IDOK), WM_LBUTTONDOWN, 1, MAKELPARAM(2, 2));
    PostMessage(GetDlgItem(dialog, IDOK), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  });
  CDlgAbout about;
  EXPECT_EQ(about.DoModal(), IDOK);
  SetModalHook(previous);
  EXPECT_EQ(shown, u"Zolfa for Pocket PC \nVersion 1.0013 \n");
}

TEST(ResourcesTest, EveryButtonPictureOfTheProgramDecodes) {
  for (UINT id : {148u, 188u, 190u, 191u, 192u, 193u, 194u, 197u, 198u, 199u, 203u, 204u, 205u, 206u,
                  207u, 211u, 212u, 214u, 215u, 218u, 219u, 220u, 221u, 226u}) {
    HBITMAP bitmap = SHLoadImageResource(GetProgramInstance(), id);
    EXPECT_NE(bitmap, nullptr) << id;
    DeleteObject(bitmap);
  }
}

}  // namespace
