#include "zolfa/browse/ListAnswer.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/browse/FeedPrinting.h"
#include "tests/browse/NaiveFeed.h"
#include "zolfa/browse/BrowseKind.h"

namespace zolfa {
namespace {

std::vector<FeedItem> Parse(std::u16string_view answer, int32_t kind) {
  std::vector<FeedItem> items;
  size_t count = ParseListAnswer(answer, kind, [&](FeedItem item) { items.push_back(std::move(item)); });
  EXPECT_EQ(count, items.size());
  return items;
}

struct Case {
  const char* name;
  int32_t kind;
  std::u16string answer;
  std::vector<FeedItem> items;
};

TEST(ListAnswerTest, Answers) {
  const Case cases[] = {
      {"genres in order", kBrowseGenreList,
       u"<root><genre><text>流行</text><id>1</id></genre>\r\n<genre><text>R&amp;B</text><id>2</id></genre></root>",
       {{u"流行", u"1", u"folder"}, {u"R&amp;B", u"2", u"folder"}}},
      {"song list uses song_id", kBrowseSongList,
       u"<song><text>夜曲</text><id>x</id><song_id>900</song_id></song>",
       {{u"夜曲", u"900", u"folder"}}},
      {"identifier present but empty", kBrowseArtistList,
       u"<artist><text>歌手</text><id></id></artist>", {{u"歌手", u"", u"folder"}}},
      {"identifier missing everywhere", kBrowseAlbumList, u"<album><text>A</text></album>",
       {{u"A", u"", u"folder"}}},
      // Inner searches are not bounded by the element: a missing tag is found
      // in a later element.
      {"identifier found in a later element", kBrowseAlbumList,
       u"<album><text>A</text></album><album><text>B</text><id>2</id></album>",
       {{u"A", u"2", u"folder"}, {u"B", u"2", u"folder"}}},
      {"identifier searched after the title", kBrowseGenreList,
       u"<genre><id>1</id><text>A</text><id>2</id></genre>", {{u"A", u"2", u"folder"}}},
      {"artist without text gives nothing", kBrowseArtistList,
       u"<artist><name>X</name><id>3</id></artist>", {}},
      {"artist without text but with topic tags", kBrowseArtistList,
       u"<artist><ItemType>track</ItemType><ItemName>N</ItemName><ItemID>3</ItemID></artist>",
       {{u"N", u"3", u"song"}}},
      {"empty text falls back to the topic form", kBrowseGenreList,
       u"<genre><text></text><id>1</id><ItemType>dir</ItemType><ItemName>N</ItemName></genre>",
       {{u"N", u"", u"folder"}}},
      {"empty element ends the answer", kBrowseGenreList,
       u"<genre></genre><genre><text>A</text><id>1</id></genre>", {}},
      {"element without end tag ends the answer", kBrowseGenreList,
       u"<genre><text>A</text><id>1</id></genre><genre><text>B</text><id>2</id>",
       {{u"A", u"1", u"folder"}}},
      {"element end before its start", kBrowseGenreList, u"</genre><genre><text>A</text><id>1</id>", {}},
      {"topic track and folder", kBrowseTopicPage,
       u"<Items><Item><ItemType>track01</ItemType><ItemName>歌</ItemName><ItemID>55</ItemID></Item>"
       u"<Item><ItemType>folder</ItemType><ItemName>夾</ItemName><ItemID>f1</ItemID></Item></Items>",
       {{u"歌", u"55", u"song"}, {u"夾", u"f1", u"folder"}}},
      {"escaped topic tags inside a real element", kBrowseTopicFolder,
       u"<Item>&lt;ItemType&gt;track&lt;/ItemType&gt;&lt;ItemName&gt;A&amp;B&lt;/ItemName&gt;"
       u"&lt;ItemID&gt;77&lt;/ItemID&gt;</Item>",
       {{u"A&amp;B", u"77", u"song"}}},
      {"empty plain type takes the escaped one", kBrowseTopicPage,
       u"<Item><ItemType></ItemType>&lt;ItemType&gt;track&lt;/ItemType&gt;<ItemName>N</ItemName>"
       u"<ItemID></ItemID>&lt;ItemID&gt;8&lt;/ItemID&gt;</Item>",
       {{u"N", u"8", u"song"}}},
      {"type compared in exact case and length", kBrowseTopicPage,
       u"<Item><ItemType>Track</ItemType><ItemName>a</ItemName></Item>"
       u"<Item><ItemType>trac</ItemType><ItemName>b</ItemName></Item>",
       {{u"a", u"", u"folder"}, {u"b", u"", u"folder"}}},
      {"type found in a later element", kBrowseTopicPage,
       u"<Item><ItemName>a</ItemName></Item><Item><ItemType>x</ItemType><ItemName>b</ItemName></Item>",
       {{u"a", u"", u"folder"}, {u"b", u"", u"folder"}}},
      {"element with an empty type is skipped, parsing goes on", kBrowseTopicPage,
       u"<Item><ItemType></ItemType><ItemName>lost</ItemName></Item>"
       u"<Item><ItemType>x</ItemType><ItemName>kept</ItemName></Item>",
       {{u"kept", u"", u"folder"}}},
      {"topic kinds ignore the catalogue form", kBrowseTopicPage, u"<Item><text>A</text><id>1</id></Item>", {}},
      {"unknown kind", 6, u"<genre><text>A</text><id>1</id></genre>", {}},
      {"negative kind", -1, u"<genre><text>A</text><id>1</id></genre>", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Parse(c.answer, c.kind), c.items);
  }
}

TEST(ListAnswerTest, TopicElementWithoutAnyTypeGivesNothing) {
  EXPECT_EQ(Parse(u"<Item><ItemName>a</ItemName></Item><Item><ItemName>b</ItemName></Item>", kBrowseTopicPage),
            std::vector<FeedItem>{});
}

// Answers of random elements whose inner tags come whole, empty, escaped,
// unbalanced or missing, so that many tags are found only in later elements.
std::u16string RandomAnswer(std::mt19937& random, int32_t kind) {
  static const char16_t* const kElements[] = {u"genre", u"artist", u"album", u"song", u"Item", u"Item"};
  static const std::u16string kTags[] = {u"text", u"id", u"song_id", u"ItemType", u"ItemName", u"ItemID"};
  // U+013C and U+0174 share their low byte with "<" and "t".
  static const std::u16string kValues[] = {u"", u"a", u"track", u"track9", u"歌", u"</", u"&lt;", u"\u013C\u0174"};
  auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  const std::u16string element = kElements[kind];
  std::u16string answer;
  int elements = static_cast<int>(random() % 7);
  for (int e = 0; e < elements; ++e) {
    if (chance(90)) answer += u"<" + element + u">";
    int inner = static_cast<int>(random() % 5);
    for (int i = 0; i < inner; ++i) {
      const std::u16string& tag = kTags[random() % std::size(kTags)];
      const std::u16string& value = kValues[random() % std::size(kValues)];
      bool escaped = chance(30);
      std::u16string open = escaped ? u"&lt;" + tag + u"&gt;" : u"<" + tag + u">";
      std::u16string close = escaped ? u"&lt;/" + tag + u"&gt;" : u"</" + tag + u">";
      if (chance(90)) answer += open;
      answer += value;
      if (chance(85)) answer += close;
    }
    if (chance(92)) answer += u"</" + element + u">";
  }
  return answer;
}

// The cached searches give exactly what searching again from scratch gives.
TEST(ListAnswerTest, MatchesSearchingFromScratch) {
  std::mt19937 random(7);
  size_t itemsSeen = 0;
  for (int round = 0; round < 2000; ++round) {
    int32_t kind = static_cast<int32_t>(random() % kBrowseKindCount);
    std::u16string answer = RandomAnswer(random, kind);
    SCOPED_TRACE(Utf8ForTest(answer));
    std::vector<FeedItem> expected = naive::ListAnswer(answer, kind);
    ASSERT_EQ(Parse(answer, kind), expected) << "kind " << kind;
    itemsSeen += expected.size();
  }
  EXPECT_GT(itemsSeen, 1000u);  // the answers are not all empty
}

TEST(ListAnswerTest, TagsOfKinds) {
  EXPECT_EQ(ListAnswerTagsOf(kBrowseSongList)->idStart, u"<song_id>");
  EXPECT_EQ(ListAnswerTagsOf(kBrowseTopicFolder)->elementStart, u"<Item>");
  EXPECT_FALSE(ListAnswerTagsOf(kBrowseKindCount));
}

}  // namespace
}  // namespace zolfa
