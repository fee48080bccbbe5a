// The lyrics view and the album-cover screen drawing into their off-screen
// pictures, read back pixel by pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/framework/Bitmap.h"
#include "platform/framework/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/controls/ScrollBar.h"
#include "zolfa/playback/CDlgAlbumCover.h"
#include "zolfa/playback/CDlgLyrics.h"
#include "zolfa/playback/DisplayModeMenu.h"
#include "platform/controls/Menus.h"

namespace {

using ce::COLORREF;
using ce::RGB;

// Reads pixels of a bitmap through a DC of its own.
class PixelReader {
 public:
  explicit PixelReader(ce::HBITMAP bitmap) : dc_(ce::CreateCompatibleDC(nullptr)) {
    old_ = ce::SelectObject(dc_, bitmap);
  }
  ~PixelReader() {
    ce::SelectObject(dc_, old_);
    ce::DeleteDC(dc_);
  }
  COLORREF At(int x, int y) const { return ce::GetPixel(dc_, x, y) & 0xFFFFFF; }
  // Pixels of one colour in a rectangle.
  int Count(COLORREF color, int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) count += At(x, y) == color ? 1 : 0;
    }
    return count;
  }

 private:
  ce::HDC dc_;
  ce::HGDIOBJ old_;
};

ce::LRESULT Default(ce::HWND w, ce::UINT m, ce::WPARAM wp, ce::LPARAM lp) {
  return ce::DefWindowProc(w, m, wp, lp);
}

// The window's own visible style (its parents in these tests are hidden).
bool Shown(ce::HWND window) {
  return (ce::GetWindowLong(window, ce::GWL_STYLE) & ce::WS_VISIBLE) != 0;
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

std::string Rows(int n) {
  std::string text;
  for (int k = 0; k < n; ++k) {
    char line[64];
    std::snprintf(line, sizeof line, "[00:%02d-00:%02d]<type=%d>line %d\n", k, k + 1, k % 4, k);
    text += line;
  }
  return text;
}

class LyricsViewTest : public ::testing::Test {
 protected:
  ce::testing::TempDeviceRoot root_;
  ce::testing::TestWindow parent_{Default, nullptr, ce::WS_POPUP};
};

TEST_F(LyricsViewTest, HighlightedRowGetsItsStripAndOutlinedWhiteTextOthersAlternate) {
  CLyricsCtrl view;
  ASSERT_TRUE(view.Create(parent_, ce::RECT{0, 0, 240, 100}, 4096));
  view.SetLyrics("[00:00-00:05]<type=2>Hello there\n[00:05-00:06]World\n[00:06-00:07]x");
  view.SetPosition(1);
  ce::Bitmap strip;
  ASSERT_TRUE(strip.LoadResource(CLyricsCtrl::kStripImageId));
  PixelReader stripPixels(strip.Handle());
  PixelReader back(view.BackBuffer().Handle());

  // Row 0: the strip's column 2 stretched across, left of the text.
  for (int y : {0, 7, 19}) EXPECT_EQ(back.At(2, y), stripPixels.At(2, y)) << y;
  EXPECT_NE(stripPixels.At(2, 10), stripPixels.At(1, 10)) << "types have their own colours";
  EXPECT_GT(back.Count(kWhite, 6, 0, 120, 20), 10) << "white text";
  EXPECT_GT(back.Count(kBlack, 5, 0, 120, 20), 10) << "its black outline";
  // Row 1 shaded with black text; row 2 white; rows past the text alternate.
  EXPECT_EQ(back.At(2, 30), CLyricsCtrl::kShadedRowColor);
  EXPECT_GT(back.Count(kBlack, 6, 20, 120, 40), 5);
  EXPECT_EQ(back.Count(kWhite, 6, 20, 120, 40), 0);
  EXPECT_EQ(back.At(2, 50), kWhite);
  EXPECT_EQ(back.At(2, 70), CLyricsCtrl::kShadedRowColor);
  ce::HWND bar = ce::GetDlgItem(view, CLyricsCtrl::kVerticalScrollBarId);
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(Shown(bar));
  ASSERT_NE(ce::GetDlgItem(view, CLyricsCtrl::kHorizontalScrollBarId), nullptr);
  EXPECT_FALSE(Shown(ce::GetDlgItem(view, CLyricsCtrl::kHorizontalScrollBarId)));
}

TEST_F(LyricsViewTest, LongLyricsShowTheScrollBarAndFollowTheHighlight) {
  CLyricsCtrl view;
  ASSERT_TRUE(view.Create(parent_, ce::RECT{0, 0, 240, 100}, 4096));
  view.SetLyrics(Rows(30));
  ce::HWND bar = ce::GetDlgItem(view, CLyricsCtrl::kVerticalScrollBarId);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(Shown(bar));
  EXPECT_EQ(view.Model().DrawWidth(), 225);
  view.SetPosition(10);  // row 10: p = 20 * 12 + 20 - 100
  ce::SCROLLINFO info;
  info.fMask = ce::SIF_ALL;
  ASSERT_TRUE(ce::GetScrollInfo(bar, ce::SB_CTL, &info));
  EXPECT_EQ(info.nPos, 160);
  EXPECT_EQ(info.nMax, 600);
  EXPECT_EQ(info.nPage, 100u);
  // Row 10 shows at y = 200 - 160 = 40 with its strip.
  PixelReader back(view.BackBuffer().Handle());
  EXPECT_GT(back.Count(kWhite, 6, 40, 120, 60), 10);
  EXPECT_EQ(back.At(2, 20), CLyricsCtrl::kShadedRowColor);  // row 9

  // The scroll bar asks for a page up: the view moves, then the paint
  // follows the highlight back to where it keeps it.
  ce::SendMessage(view, ce::WM_VSCROLL, ce::SB_PAGEUP, reinterpret_cast<ce::LPARAM>(bar));
  EXPECT_EQ(view.Model().ScrollPosition(), 160);
}

TEST_F(LyricsViewTest, LyricsScreenFillsItselfWithTheViewAndForwards) {
  CDlgLyrics screen;
  ASSERT_TRUE(screen.Create(parent_));
  screen.MoveWindow(0, 0, 240, 200);
  ce::HWND view = ce::GetDlgItem(screen, CDlgLyrics::kLyricsCtrlId);
  ASSERT_NE(view, nullptr);
  ce::RECT rect{};
  ce::GetClientRect(view, &rect);
  EXPECT_EQ(rect.right, 240);
  EXPECT_EQ(rect.bottom, 200);
  EXPECT_FALSE(screen.HasLines());
  screen.SetLyrics(ce::WideToMulti(u"[00:01-00:02]第一句", 950));
  EXPECT_TRUE(screen.HasLines());
  screen.SetPosition(1);
  EXPECT_EQ(screen.Lyrics().Model().HighlightIndex(), 0);
  screen.SetLyrics("");
  EXPECT_FALSE(screen.HasLines());
}

// A 24-bit BMP of one colour.
std::string SolidBmp(int width, int height, COLORREF color) {
  const int rowBytes = (width * 3 + 3) / 4 * 4;
  const uint32_t dataBytes = static_cast<uint32_t>(rowBytes * height);
  std::string out = "BM";
  auto put = [&out](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  put(54 + dataBytes, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(static_cast<uint32_t>(width), 4);
  put(static_cast<uint32_t>(height), 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(dataBytes, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      out.push_back(static_cast<char>((color >> 16) & 0xFF));  // blue
      out.push_back(static_cast<char>((color >> 8) & 0xFF));   // green
      out.push_back(static_cast<char>(color & 0xFF));          // red
    }
    out.append(static_cast<size_t>(rowBytes - width * 3), '\0');
  }
  return out;
}

class AlbumCoverTest : public LyricsViewTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(screen_.Create(parent_));
    screen_.MoveWindow(0, 0, 240, 268);
  }

  // The screen drawn into a picture of its size.
  void Draw() {
    ce::ClientDc screenDc(screen_);
    ASSERT_TRUE(picture_.CreateCompatible(screenDc, 240, 268));
    ce::HDC dc = ce::CreateCompatibleDC(nullptr);
    ce::HGDIOBJ old = ce::SelectObject(dc, picture_.Handle());
    screen_.Draw(dc);
    ce::SelectObject(dc, old);
    ce::DeleteDC(dc);
  }

  CDlgAlbumCover screen_;
  ce::Bitmap picture_;
};

constexpr COLORREF kRed = RGB(200, 30, 30);

TEST_F(AlbumCoverTest, SmallPictureIsDrawnAtItsOwnSizeInTheCentreOnWhite) {
  root_.WriteDeviceBytes(u"\\Temp\\albumcover.dat", SolidBmp(100, 80, kRed));
  screen_.SetCover(u"\\Temp\\albumcover.dat");
  ASSERT_TRUE(screen_.HasPicture());
  EXPECT_EQ(screen_.PictureSize().cx, 100);
  Draw();
  PixelReader pixels(picture_.Handle());
  EXPECT_EQ(pixels.At(70, 94), kRed);
  EXPECT_EQ(pixels.At(169, 173), kRed);
  EXPECT_EQ(pixels.At(69, 94), kWhite);
  EXPECT_EQ(pixels.At(170, 94), kWhite);
  EXPECT_EQ(pixels.At(70, 93), kWhite);
  EXPECT_EQ(pixels.At(70, 174), kWhite);
}

TEST_F(AlbumCoverTest, PictureTooWideBecomesASquareOfTheSmallerSide) {
  root_.WriteDeviceBytes(u"\\Temp\\albumcover.dat", SolidBmp(300, 100, kRed));
  screen_.SetCover(u"\\Temp\\albumcover.dat");
  Draw();
  PixelReader pixels(picture_.Handle());
  EXPECT_EQ(pixels.At(0, 14), kRed);
  EXPECT_EQ(pixels.At(239, 253), kRed);
  EXPECT_EQ(pixels.At(0, 13), kWhite);
  EXPECT_EQ(pixels.At(0, 254), kWhite);
}

TEST_F(AlbumCoverTest, DefaultCoverForItsNamesAndForUnreadableFiles) {
  ce::Bitmap expected;
  ASSERT_TRUE(expected.LoadResource(CDlgAlbumCover::kDefaultCoverImageId));
  root_.WriteDeviceBytes(u"\\Temp\\albumcover.dat", "not a picture");
  for (std::u16string_view source :
       {u"res://1", u"res://2", u"\\Temp\\albumcover.dat", u"\\Temp\\missing.dat"}) {
    screen_.SetCover(source);
    EXPECT_TRUE(screen_.HasPicture());
    EXPECT_EQ(screen_.PictureSize().cx, expected.Size().cx) << std::string(source.begin(), source.end());
    EXPECT_EQ(screen_.PictureSize().cy, expected.Size().cy);
  }
  ASSERT_NE(ce::GetDlgItem(screen_, CDlgAlbumCover::kCaptionId), nullptr);
  EXPECT_FALSE(Shown(ce::GetDlgItem(screen_, CDlgAlbumCover::kCaptionId)));
}

TEST(DisplayModeMenu, HoldsTheThreeEntriesEnabledAsAsked) {
  ce::testing::TempDeviceRoot root;
  const struct {
    bool songList, lyrics, cover;
  } cases[] = {{true, false, true}, {true, true, false}, {false, false, false}};
  for (const auto& c : cases) {
    ce::HMENU menu = zolfa::BuildDisplayModeMenu(c.songList, c.lyrics, c.cover);
    ASSERT_EQ(ce::GetMenuItemCount(menu), 3);
    EXPECT_EQ(ce::GetMenuItemID(menu, 0), zolfa::kCmdShowSongList);
    EXPECT_EQ(ce::GetMenuItemID(menu, 1), zolfa::kCmdShowLyrics);
    EXPECT_EQ(ce::GetMenuItemID(menu, 2), zolfa::kCmdShowAlbumCover);
    EXPECT_EQ(ce::GetMenuText(menu, 1, ce::MF_BYPOSITION), u"歌詞模式");
    const bool enabled[] = {c.songList, c.lyrics, c.cover};
    for (int i = 0; i < 3; ++i) {
      const bool grey = (ce::GetMenuState(menu, static_cast<ce::UINT>(i), ce::MF_BYPOSITION) &
                         ce::MF_GRAYED) != 0;
      EXPECT_EQ(grey, !enabled[i]) << i;
    }
    ce::DestroyMenu(menu);
  }
}

TEST_F(LyricsViewTest, MenuCommandsOfBothScreensAskForTheirDisplayModes) {
  CDlgLyrics lyrics;
  ASSERT_TRUE(lyrics.Create(parent_));
  CDlgAlbumCover cover;
  ASSERT_TRUE(cover.Create(parent_));
  std::vector<int32_t> modes;
  lyrics.SetDisplayModeHandler([&](int32_t mode) { modes.push_back(mode); });
  cover.SetDisplayModeHandler([&](int32_t mode) { modes.push_back(10 + mode); });
  for (ce::UINT command : {zolfa::kCmdShowSongList, zolfa::kCmdShowLyrics, zolfa::kCmdShowAlbumCover}) {
    ce::SendMessage(lyrics, ce::WM_COMMAND, command, 0);
    ce::SendMessage(cover, ce::WM_COMMAND, command, 0);
  }
  EXPECT_EQ(modes, (std::vector<int32_t>{0, 10, 1, 11, 2, 12}));
}

}  // namespace
