// Fonts, text measuring and layout, and the record of drawn text. Glyph
// pixels depend on the font files, so only sizes and places are checked.
#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/detail/FontSystem.h"
#include "tests/gdi/GdiTestSupport.h"

namespace ce {
namespace {

using testing::Canvas;
using testing::kWhite;

HFONT MakeFont(LONG height, LONG weight = FW_NORMAL, const char16_t* face = u"細明體") {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  for (int i = 0; face[i] != 0 && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
  return CreateFontIndirect(&lf);
}

class TextTest : public ::testing::Test {
 protected:
  TextTest() : canvas_(240, 320) {
    font_ = MakeFont(-12);
    old_ = SelectObject(canvas_, font_);
    GetTextMetrics(canvas_, &tm_);
  }
  ~TextTest() override {
    SelectObject(canvas_, old_);
    DeleteObject(font_);
  }

  Canvas canvas_;
  HFONT font_;
  HGDIOBJ old_;
  TEXTMETRIC tm_;
};

TEST_F(TextTest, TheHandsetFaceNamesResolveToArPlUMing) {
  for (const char* family : {"細明體", "新細明體", "PMingLiU", "Tahoma"}) {
    EXPECT_EQ(detail::FontSystem::ResolveFamily(family), detail::FontSystem::kUiFamily) << family;
  }
}

TEST_F(TextTest, FontHeightsFollowLogfontAndMetricsAreSensible) {
  EXPECT_GE(tm_.tmHeight, 12);
  EXPECT_LE(tm_.tmHeight, 18);
  EXPECT_EQ(tm_.tmHeight, tm_.tmAscent + tm_.tmDescent);
  EXPECT_GT(tm_.tmAveCharWidth, 0);

  // A positive height is the whole cell; a bigger em gives a taller cell.
  HFONT cell = MakeFont(20);
  HFONT big = MakeFont(-24, FW_BOLD);
  HGDIOBJ prev = SelectObject(canvas_, cell);
  TEXTMETRIC tm;
  GetTextMetrics(canvas_, &tm);
  EXPECT_LE(tm.tmHeight, 20);
  EXPECT_GE(tm.tmHeight, 17);
  SelectObject(canvas_, big);
  GetTextMetrics(canvas_, &tm);
  EXPECT_GT(tm.tmHeight, tm_.tmHeight + 8);
  EXPECT_EQ(tm.tmWeight, FW_BOLD);
  SelectObject(canvas_, prev);
  DeleteObject(cell);
  DeleteObject(big);
  EXPECT_EQ(PointTenthsToFontHeight(95), -13);
  EXPECT_EQ(PointTenthsToFontHeight(90), -12);
}

TEST_F(TextTest, DrawTextHeightsAndCalcRect) {
  RECT r{0, 0, 200, 40};
  EXPECT_EQ(DrawText(canvas_, u"音樂總覽", -1, &r, DT_SINGLELINE | DT_LEFT), tm_.tmHeight);
  // Vertically centred: the result runs from the top of the rectangle to
  // the bottom of the text.
  EXPECT_EQ(DrawText(canvas_, u"音樂總覽", -1, &r, DT_SINGLELINE | DT_VCENTER),
            (40 - tm_.tmHeight) / 2 + tm_.tmHeight);

  RECT calc{10, 10, 10, 10};
  EXPECT_EQ(DrawText(canvas_, u"音樂總覽", -1, &calc, DT_CALCRECT | DT_SINGLELINE), tm_.tmHeight);
  EXPECT_EQ(calc.left, 10);
  EXPECT_EQ(calc.bottom, 10 + tm_.tmHeight);
  int fourWide = calc.right - calc.left;
  EXPECT_GE(fourWide, 4 * 10);
  RECT longer{10, 10, 10, 10};
  DrawText(canvas_, u"音樂總覽音樂總覽", -1, &longer, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_NEAR(longer.right - longer.left, 2 * fourWide, 2);
  SIZE size;
  GetTextExtentPoint32(canvas_, u"音樂總覽", 4, &size);
  EXPECT_EQ(size.cx, fourWide);
  EXPECT_EQ(size.cy, tm_.tmHeight);

  // Line breaks count unless the text is on a single line.
  RECT lines{0, 0, 200, 0};
  EXPECT_EQ(DrawText(canvas_, u"Zolfa for Pocket PC \nVersion 1.0013 \n", -1, &lines, DT_CALCRECT),
            2 * tm_.tmHeight);
  RECT one{0, 0, 200, 0};
  EXPECT_EQ(DrawText(canvas_, u"a\nb", -1, &one, DT_CALCRECT | DT_SINGLELINE), tm_.tmHeight);
}

TEST_F(TextTest, WordBreakWrapsNarrowRectanglesIntoMoreLines) {
  const char16_t* text = u"附加專輯到播放清單 and some words to wrap";
  RECT wide{0, 0, 1000, 0};
  RECT narrow{0, 0, 60, 0};
  int wideHeight = DrawText(canvas_, text, -1, &wide, DT_CALCRECT | DT_WORDBREAK);
  int narrowHeight = DrawText(canvas_, text, -1, &narrow, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(wideHeight, tm_.tmHeight);
  EXPECT_GE(narrowHeight, 4 * tm_.tmHeight);
  EXPECT_EQ(narrowHeight % tm_.tmHeight, 0);
  EXPECT_LE(narrow.right, 60);
  // Drawing returns what measuring said.
  RECT draw{0, 0, 60, 300};
  EXPECT_EQ(DrawText(canvas_, text, -1, &draw, DT_WORDBREAK), narrowHeight);
}

TEST_F(TextTest, TextOutPlacesTextByItsAlignmentAndEllipsisShortensLines) {
  ClearTextRecords(canvas_);
  SIZE size;
  GetTextExtentPoint32(canvas_, u"Play", 4, &size);
  SetBkMode(canvas_, OPAQUE);
  SetBkColor(canvas_, RGB(1, 2, 3));
  TextOut(canvas_, 10, 20, u"Play", 4);  // top-left at the point
  EXPECT_GT(canvas_.Count(RECT{0, 0, 240, 320}, RGB(1, 2, 3)), size.cx * size.cy / 2);
  EXPECT_EQ(canvas_.At(9, 20), kWhite);
  SetBkMode(canvas_, TRANSPARENT);
  SetTextAlign(canvas_, TA_RIGHT | TA_BASELINE);
  TextOut(canvas_, 200, 100, u"Play", 4);
  SetTextAlign(canvas_, TA_CENTER | TA_BOTTOM);
  TextOut(canvas_, 120, 300, u"Play", 4);
  SetTextAlign(canvas_, TA_LEFT | TA_TOP | TA_UPDATECP);
  MoveToEx(canvas_, 5, 250, nullptr);
  TextOut(canvas_, 0, 0, u"Play", 4);
  TextOut(canvas_, 0, 0, u"Play", 4);
  SetTextAlign(canvas_, TA_LEFT | TA_TOP);
  auto texts = GetTextRecords(canvas_);
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[0].rect, (RECT{10, 20, 10 + size.cx, 20 + size.cy}));
  EXPECT_EQ(texts[1].rect, (RECT{200 - size.cx, 100 - tm_.tmAscent, 200, 100 + tm_.tmDescent}));
  EXPECT_EQ(texts[2].rect.bottom, 300);
  EXPECT_EQ(texts[2].rect.left, 120 - size.cx / 2);
  EXPECT_EQ(texts[3].rect.left, 5);
  EXPECT_EQ(texts[4].rect.left, 5 + size.cx);

  // The end ellipsis keeps a long line inside the rectangle even unclipped.
  ClearTextRecords(canvas_);
  const char16_t* longText = u"附加專輯到播放清單附加專輯到播放清單";
  RECT narrow{0, 0, 60, 20};
  DrawText(canvas_, longText, -1, &narrow, DT_SINGLELINE | DT_NOCLIP);
  DrawText(canvas_, longText, -1, &narrow, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
  texts = GetTextRecords(canvas_);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_GT(texts[0].rect.right, 100);
  EXPECT_LE(texts[1].rect.right, 60);
  EXPECT_GT(texts[1].rect.right, 20);
}

TEST_F(TextTest, FittingTextAndPrefixes) {
  SIZE size;
  int fit = 0;
  int extents[4] = {};
  GetTextExtentExPoint(canvas_, u"abcd", 4, 1000, &fit, extents, &size);
  EXPECT_EQ(fit, 4);
  EXPECT_EQ(extents[3], size.cx);
  EXPECT_LT(extents[0], extents[1]);
  EXPECT_LT(extents[1], extents[2]);
  GetTextExtentExPoint(canvas_, u"abcd", 4, extents[1], &fit, nullptr, &size);
  EXPECT_EQ(fit, 2);

  // "&&" shows one "&"; "&F" shows F (underlined); DT_NOPREFIX shows both.
  RECT r{0, 0, 200, 20};
  ClearTextRecords(canvas_);
  DrawText(canvas_, u"&File && Edit", -1, &r, DT_SINGLELINE);
  DrawText(canvas_, u"&File", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  auto texts = GetTextRecords(canvas_);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, u"File & Edit");
  EXPECT_EQ(texts[1].text, u"&File");
}

TEST_F(TextTest, TheTextRecordFollowsDrawingCoveringAndCopying) {
  ClearTextRecords(canvas_);
  SetTextColor(canvas_, 0x0000FF);
  SetBkMode(canvas_, TRANSPARENT);
  RECT header{3, 22, 240, 42};
  DrawText(canvas_, u"音樂總覽", -1, &header, DT_SINGLELINE | DT_VCENTER);
  auto texts = GetTextRecords(canvas_);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, u"音樂總覽");
  EXPECT_EQ(texts[0].color, 0x0000FFu);
  EXPECT_EQ(texts[0].rect.left, 3);
  EXPECT_EQ(texts[0].rect.top, 22 + (20 - tm_.tmHeight) / 2);
  EXPECT_EQ(texts[0].rect.bottom - texts[0].rect.top, tm_.tmHeight);
  EXPECT_GT(texts[0].rect.right, 3 + 30);

  // Some text pixels changed (whatever the glyphs look like).
  EXPECT_LT(canvas_.Count(header, kWhite), 240 * 20);

  // Clipped away completely: drawn nowhere, recorded nowhere.
  IntersectClipRect(canvas_, 0, 100, 240, 320);
  DrawText(canvas_, u"hidden", -1, &header, DT_SINGLELINE);
  SelectClipRgn(canvas_, nullptr);
  EXPECT_EQ(GetTextRecords(canvas_).size(), 1u);

  // Text drawn off-screen travels with the copy, moved to where it lands.
  Canvas offscreen(100, 35);
  HGDIOBJ prev = SelectObject(offscreen, font_);
  RECT field{5, 0, 95, 35};
  DrawText(offscreen, u"00:42", -1, &field, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  BitBlt(canvas_, 0, 200, 100, 35, offscreen, 0, 0, SRCCOPY);
  texts = GetTextRecords(canvas_);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].text, u"00:42");
  EXPECT_EQ(texts[1].rect.left, 5);
  EXPECT_EQ(texts[1].rect.top, 200 + (35 - tm_.tmHeight) / 2);
  SelectObject(offscreen, prev);

  // An opaque fill over a text removes it; one that covers part keeps it.
  canvas_.Fill(RECT{0, 200, 12, 240}, RGB(1, 2, 3));
  EXPECT_EQ(GetTextRecords(canvas_).size(), 2u);
  canvas_.Fill(RECT{0, 195, 240, 240}, RGB(1, 2, 3));
  texts = GetTextRecords(canvas_);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, u"音樂總覽");
}

}  // namespace
}  // namespace ce
