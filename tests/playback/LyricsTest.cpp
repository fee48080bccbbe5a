// Timed lyrics: reading the rows, highlights and countdowns as the position
// advances, layout and scrolling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "zolfa/playback/LyricsModel.h"
#include "zolfa/playback/LyricsParser.h"

namespace {

using zolfa::LyricsLine;
using zolfa::LyricsModel;
using zolfa::LyricsRowStyle;
using zolfa::LyricsScroll;
using zolfa::ParseLyrics;

constexpr int kNarrow = 240;
constexpr int kWide = 320;

std::string Big5(std::u16string_view text) { return ce::WideToMulti(text, 950); }

// n source lines "[00:0k-00:0k+1]line k" of one second each.
std::string Lines(int n) {
  std::string text;
  for (int k = 0; k < n; ++k) {
    char line[64];
    std::snprintf(line, sizeof line, "[%02d:%02d-%02d:%02d]line %d\n", k / 60, k % 60,
                  (k + 1) / 60, (k + 1) % 60, k);
    text += line;
  }
  return text;
}

TEST(LyricsTime, ReadsMinutesAndSeconds) {
  EXPECT_EQ(zolfa::LyricsTime("01:05"), 65);
  EXPECT_EQ(zolfa::LyricsTime("00:00"), 0);
  EXPECT_EQ(zolfa::LyricsTime(""), -1);
  EXPECT_EQ(zolfa::LyricsTime("0105"), 0);
  EXPECT_EQ(zolfa::LyricsTime("ab:cd"), 0);
  EXPECT_EQ(zolfa::LyricsTime("2:3"), 123);
}

TEST(LyricsParser, ReadsTimesTextTypeAndCountdownMarker) {
  struct Case {
    std::string text;
    int32_t start, end, type;
    bool countdown;
    std::string lineText;
  };
  const Case cases[] = {
      {"[00:10-00:15]<type=2><sec_st>Hello  \r\n", 10, 15, 2, true, "Hello"},
      {"[01:00-01:02]plain\t", 60, 62, 0, false, "plain"},
      {"[00:01-00:02]lead<type=3>rest", 1, 2, 3, false, "rest"},
      // "<type=" without a ">" leaves the text as it is.
      {"[00:01-00:02]<type=7 open", 1, 2, 0, false, "<type=7 open"},
      {"[00:01-00:02]<type=1234567890123>x", 1, 2, 123456789, false, "x"},
      // The type tag is taken first: a marker before it goes with it.
      {"[00:01-00:02]<sec_st><type=2>x", 1, 2, 2, false, "x"},
      // Only the first 11 characters of the brackets count; a short span
      // has no end.
      {"[00:03-00:04 extra]x", 3, 4, 0, false, "x"},
      {"[00:03]x", 3, -1, 0, false, "x"},
      {"[]x", -1, -1, 0, false, "x"},
  };
  for (const Case& c : cases) {
    std::vector<LyricsLine> lines = ParseLyrics(c.text, zolfa::kWideWrapBytes);
    ASSERT_EQ(lines.size(), 1u) << c.text;
    EXPECT_EQ(lines[0].start, c.start) << c.text;
    EXPECT_EQ(lines[0].end, c.end) << c.text;
    EXPECT_EQ(lines[0].type, c.type) << c.text;
    EXPECT_EQ(lines[0].countdownLine, c.countdown) << c.text;
    EXPECT_EQ(lines[0].text, c.lineText) << c.text;
  }
}

TEST(LyricsParser, MissingBracketsRunIntoTheNextLineAndNoBracketGivesNothing) {
  EXPECT_TRUE(ParseLyrics("no brackets at all\njust text", 48).empty());
  EXPECT_TRUE(ParseLyrics("", 48).empty());
  // The first line has no "]": its times come from its own start, its text
  // from the line where the "]" was found.
  std::vector<LyricsLine> lines = ParseLyrics("[00:05-00:06 lost\n[00:07-00:08]found\n[00:09-00:10]next", 48);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].start, 5);
  EXPECT_EQ(lines[0].text, "found");
  EXPECT_EQ(lines[1].start, 9);
  EXPECT_EQ(lines[1].text, "next");
}

TEST(LyricsParser, LongLinesSplitOnceAtWholeDoubleByteCharacters) {
  // 30 Chinese characters: 60 bytes.
  const std::string sixty = Big5(u"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十");
  ASSERT_EQ(sixty.size(), 60u);
  std::vector<LyricsLine> lines = ParseLyrics("[00:10-00:15]<type=1>" + sixty, 34);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text.size(), 34u);
  EXPECT_EQ(lines[1].text.size(), 26u);
  EXPECT_EQ(lines[0].text + lines[1].text, sixty);
  for (const LyricsLine& l : lines) {
    EXPECT_EQ(l.start, 10);
    EXPECT_EQ(l.end, 15);
    EXPECT_EQ(l.type, 1);
  }
  // One single-byte character first: the walk ends on 35 bytes.
  lines = ParseLyrics("[00:10-00:15]a" + sixty, 34);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text.size(), 35u);
  EXPECT_EQ(lines[1].text.size(), 26u);
  // At most one split: 120 bytes in rows of 48 and 72.
  lines = ParseLyrics("[00:10-00:15]" + sixty + sixty, 48);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].text.size(), 72u);
  // Line texts are cut at 255 bytes.
  lines = ParseLyrics("[00:10-00:15]" + std::string(400, 'x'), 1000);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text.size(), 255u);
}

TEST(LyricsParser, StopsAfterTwoHundredRowsOneMoreWhenTheLastLineSplits) {
  EXPECT_EQ(ParseLyrics(Lines(250), 48).size(), 200u);
  std::string text = Lines(199) + "[09:00-09:01]" + std::string(60, 'y') + "\n" + Lines(5);
  EXPECT_EQ(ParseLyrics(text, 48).size(), 201u);
}

TEST(LyricsModel, CountdownLineCountsDownThenHighlightsThenGoesPlain) {
  LyricsModel model;
  model.Resize(kNarrow, 268);
  model.SetLyrics("[00:10-00:15]<type=2><sec_st>Countdown", kNarrow);
  ASSERT_EQ(model.Lines().size(), 1u);
  EXPECT_FALSE(model.SetPosition(4));
  EXPECT_EQ(model.HighlightIndex(), -1);
  for (int now = 5; now <= 9; ++now) {
    EXPECT_TRUE(model.SetPosition(now)) << now;
    EXPECT_EQ(model.Lines()[0].countdown, 10 - now);
    EXPECT_EQ(model.HighlightIndex(), 0);
    const LyricsRowStyle style = model.RowStyle(0);
    EXPECT_EQ(style.text, LyricsRowStyle::Text::kWhite) << now;
    EXPECT_EQ(style.background, LyricsRowStyle::Background::kWhite) << now;
  }
  for (int now = 10; now <= 14; ++now) {
    model.SetPosition(now);
    EXPECT_EQ(model.Lines()[0].countdown, -1);
    const LyricsRowStyle style = model.RowStyle(0);
    EXPECT_EQ(style.background, LyricsRowStyle::Background::kStrip) << now;
    EXPECT_EQ(style.stripType, 2);
    EXPECT_EQ(style.text, LyricsRowStyle::Text::kOutlinedWhite) << now;
  }
  EXPECT_TRUE(model.SetPosition(15));
  EXPECT_EQ(model.RowStyle(0).text, LyricsRowStyle::Text::kBlack);
  EXPECT_EQ(model.HighlightIndex(), -1);
}

TEST(LyricsModel, EqualStartAndEndHighlightOnlyInThatSecondAndNeverAtZero) {
  LyricsModel model;
  model.Resize(kWide, 268);
  model.SetLyrics("[00:07-00:07]seven\n[00:00-00:00]zero", kWide);
  const struct {
    int now;
    int32_t seven, zero;
  } steps[] = {{0, 0, 0}, {6, 0, 0}, {7, 1, 0}, {8, 0, 0}, {-3, 0, 0}};
  for (const auto& s : steps) {
    model.SetPosition(s.now);
    EXPECT_EQ(model.Lines()[0].highlighted, s.seven) << s.now;
    EXPECT_EQ(model.Lines()[1].highlighted, s.zero) << s.now;
  }
}

TEST(LyricsModel, PositionBeforeTheFirstLineLeavesNoHighlightAndNoScrolling) {
  LyricsModel model;
  model.Resize(kNarrow, 100);
  model.SetLyrics("[00:30-00:40]late\n[00:50-00:55]later", kNarrow);
  EXPECT_FALSE(model.SetPosition(3));
  model.FollowHighlight();
  EXPECT_EQ(model.HighlightIndex(), -1);
  EXPECT_EQ(model.ScrollPosition(), 0);
}

TEST(LyricsModel, LayoutShowsTheScrollBarOnlyWhenTheRowsDoNotFit) {
  LyricsModel model;
  model.Resize(kNarrow, 100);
  model.SetLyrics(Lines(4), kNarrow);  // 80 px
  EXPECT_FALSE(model.ScrollBarShown());
  EXPECT_EQ(model.DrawWidth(), 240);
  EXPECT_EQ(model.ImageHeight(), 100);
  EXPECT_EQ(model.LinesPerPage(), 5);
  model.SetLyrics(Lines(12), kNarrow);  // 240 px: three pages
  EXPECT_TRUE(model.ScrollBarShown());
  EXPECT_EQ(model.DrawWidth(), 225);
  EXPECT_EQ(model.ImageHeight(), 300);
  EXPECT_EQ(model.ContentHeight(), 240);
}

TEST(LyricsModel, FollowingKeepsTwoRowsAfterTheHighlightInViewAndBringsItToTheTop) {
  LyricsModel model;
  model.Resize(kNarrow, 100);  // five rows
  model.SetLyrics(Lines(30), kNarrow);
  model.SetPosition(2);  // row 2: g = 80, not below 0 + 100 - 20
  model.FollowHighlight();
  EXPECT_EQ(model.ScrollPosition(), 0);
  model.SetPosition(4);  // g = 120 > 80: p = 120 + 20 - 100
  model.FollowHighlight();
  EXPECT_EQ(model.ScrollPosition(), 40);
  // The user scrolls down; the paint brings the highlight back to the top.
  model.Scroll(LyricsScroll::kPageDown, 0);
  EXPECT_EQ(model.ScrollPosition(), 140);
  model.FollowHighlight();
  EXPECT_EQ(model.ScrollPosition(), 80);
}

TEST(LyricsModel, UserScrollingStaysWithinTheContentForLineAndPageMoves) {
  LyricsModel model;
  model.Resize(kNarrow, 100);
  model.SetLyrics(Lines(10), kNarrow);  // 200 px, limit 100
  model.Scroll(LyricsScroll::kLineUp, 0);
  EXPECT_EQ(model.ScrollPosition(), 0);
  model.Scroll(LyricsScroll::kLineDown, 0);
  EXPECT_EQ(model.ScrollPosition(), 20);
  model.Scroll(LyricsScroll::kPageDown, 0);
  model.Scroll(LyricsScroll::kPageDown, 0);
  EXPECT_EQ(model.ScrollPosition(), 100);
  model.Scroll(LyricsScroll::kPageUp, 0);
  EXPECT_EQ(model.ScrollPosition(), 0);
  model.Scroll(LyricsScroll::kThumbTrack, 70);
  EXPECT_EQ(model.ScrollPosition(), 70);
}

TEST(LyricsModel, RowsAlternateBackgroundsAndEmptyHighlightedRowsStayPlain) {
  LyricsModel model;
  model.Resize(kWide, 268);
  model.SetLyrics("[00:00-00:05]a\n[00:00-00:05]\n[00:06-00:07]c", kWide);
  model.SetPosition(1);
  EXPECT_EQ(model.RowStyle(0).background, LyricsRowStyle::Background::kStrip);
  EXPECT_EQ(model.RowStyle(1).background, LyricsRowStyle::Background::kShaded);
  EXPECT_EQ(model.RowStyle(1).text, LyricsRowStyle::Text::kBlack);
  EXPECT_EQ(model.RowStyle(2).background, LyricsRowStyle::Background::kWhite);
  EXPECT_EQ(model.RowStyle(7).background, LyricsRowStyle::Background::kShaded);
}

TEST(LyricsModel, ResizeReadsLongLyricsAgainWhole) {
  // Far longer than any fixed copy buffer: 200 rows of 250 bytes each.
  std::string text;
  for (int k = 0; k < 200; ++k) {
    text += "[00:01-00:02]" + std::string(240, static_cast<char>('a' + k % 26)) + "\n";
  }
  ASSERT_GT(text.size(), 40960u);
  LyricsModel model;
  model.Resize(kWide, 268);
  model.SetLyrics(text, kWide);
  EXPECT_EQ(model.Lines().size(), 200u);
  model.Resize(kNarrow, 200);
  EXPECT_EQ(model.Text(), text);
  ASSERT_EQ(model.Lines().size(), 200u);
  EXPECT_EQ(model.Lines()[0].text.size(), 34u);
  EXPECT_EQ(model.Lines()[198].text, std::string(240, static_cast<char>('a' + 99 % 26)).substr(0, 34));
}

}  // namespace
