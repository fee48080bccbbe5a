#include "zolfa/browse/MarkerSearch.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/browse/FeedPrinting.h"
#include "tests/browse/NaiveFeed.h"

namespace zolfa {
namespace {

TEST(MarkerSearchTest, ExtractBetween) {
  struct Case {
    std::u16string text, start, end;
    bool found;
    std::u16string value;  // the value after the call, starting from "keep"
  };
  const Case cases[] = {
      {u"x<a>v</a>y", u"<a>", u"</a>", true, u"v"},
      {u"<a></a>", u"<a>", u"</a>", true, u""},
      {u"<a>1</a><a>2</a>", u"<a>", u"</a>", true, u"1"},
      // The only end marker stands before the start marker.
      {u"</a><a>v", u"<a>", u"</a>", false, u"keep"},
      {u"</a><a>v</a>", u"<a>", u"</a>", true, u"v"},
      {u"v</a>", u"<a>", u"</a>", false, u"keep"},
      {u"<A>v</A>", u"<a>", u"</a>", false, u"keep"},
      // The end marker is searched from where the start marker begins, so it
      // may be found inside the start marker; the value is then empty.
      {u"<t>v</t>", u"<t>", u"t>", true, u""},
      {u"abab", u"ab", u"ba", true, u""},
      // Nothing nests: the first end marker closes the value.
      {u"<a><a>v</a></a>", u"<a>", u"</a>", true, u"<a>v"},
      {u"<b>&lt;x&gt;</b>", u"<b>", u"</b>", true, u"&lt;x&gt;"},
      {u"abc", u"", u"c", false, u"keep"},
      {u"abc", u"a", u"", false, u"keep"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8ForTest(c.text + u" | " + c.start + u" | " + c.end));
    std::u16string value = u"keep";
    EXPECT_EQ(ExtractBetween(c.text, c.start, c.end, value), c.found);
    EXPECT_EQ(value, c.value);
  }
}

TEST(MarkerSearchTest, SplitBetweenGoesOnPastEachEndMarker) {
  std::vector<std::u16string> values{u"earlier"};
  EXPECT_EQ(SplitBetween(u"<i>1</i> <i></i><i>2<i>3</i>4</i><i>5", u"<i>", u"</i>", values), 3u);
  EXPECT_EQ(values, (std::vector<std::u16string>{u"earlier", u"1", u"", u"2<i>3"}));
}

// The offset-based search gives exactly the values of deleting the text up
// to each end marker and searching the rest again, for texts made of marker
// pieces that overlap in every way.
TEST(MarkerSearchTest, SplitBetweenMatchesDeleteAndRepeat) {
  const std::u16string pieces[] = {u"<", u">", u"/", u"a", u"b", u"<a>", u"</a>", u"ab", u"ba", u"aa"};
  const std::u16string markers[] = {u"<a>", u"</a>", u"a", u"ab", u"ba", u"a>", u"<", u"aba", u"b"};
  std::mt19937 random(20240601);
  for (int round = 0; round < 3000; ++round) {
    std::u16string text;
    int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) text += pieces[random() % std::size(pieces)];
    const std::u16string& start = markers[random() % std::size(markers)];
    const std::u16string& end = markers[random() % std::size(markers)];
    SCOPED_TRACE(Utf8ForTest(text + u" | " + start + u" | " + end));

    std::vector<std::u16string> values;
    size_t count = SplitBetween(text, start, end, values);
    std::vector<std::u16string> expected = naive::Split(text, start, end);
    ASSERT_EQ(values, expected);
    ASSERT_EQ(count, expected.size());

    std::vector<std::u16string_view> views;
    ASSERT_EQ(SplitBetween(text, start, end, views), count);
    ASSERT_TRUE(std::equal(views.begin(), views.end(), values.begin(), values.end()));
  }
}

TEST(MarkerSearchTest, FindBetweenFromAnOffset) {
  std::u16string_view text = u"<a>1</a><a>2</a>";
  auto first = FindBetween(text, 0, u"<a>", u"</a>");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Value(text), u"1");
  auto second = FindBetween(text, first->next, u"<a>", u"</a>");
  ASSERT_TRUE(second);
  EXPECT_EQ(second->Value(text), u"2");
  EXPECT_EQ(second->next, text.size());
  EXPECT_FALSE(FindBetween(text, second->next, u"<a>", u"</a>"));
  EXPECT_FALSE(FindBetween(text, text.size() + 5, u"<a>", u"</a>"));
}

}  // namespace
}  // namespace zolfa
