#include "zolfa/browse/FeedFormat.h"

#include <gtest/gtest.h>

#include "tests/browse/FeedPrinting.h"

namespace zolfa {
namespace {

const std::u16string kDocument =
    u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    u"<rss version=\"2.0\" xmlns:zolfa=\"http://zolfa.example/rss\">\r\n"  // not the start marker
    u"<rss version=\"2.0\">\r\n\t<channel>\r\n\t\t<title>熱門&amp;新歌</title>\r\n"
    u"\t\t<item>\r\n\t\t\t<title>夜曲</title>\r\n\t\t\t<link>zolfa://play_song_1001</link>\r\n"
    u"\t\t\t<zolfa:image>file:\\song.gif</zolfa:image>\r\n"
    u"\t\t\t<zolfa:category>song</zolfa:category>\r\n\t\t</item>\r\n"
    u"\t\t<item><title>R&amp;B</title><link>http://feeds.example/rb.xml</link>"
    u"<zolfa:category>FOLDER</zolfa:category></item>\r\n"
    u"\t\t<item><link>42</link><zolfa:category>playlist</zolfa:category></item>\r\n"
    u"\t</channel>\r\n</rss>\r\n";

TEST(FeedFormatTest, ParseFeedReadsTitleAndItemsInOrder) {
  std::vector<FeedItem> list{{u"earlier", u"e", u""}};
  EXPECT_EQ(ParseFeed(kDocument, list), u"熱門&amp;新歌");
  const std::vector<FeedItem> expected = {
      {u"earlier", u"e", u""},
      {u"夜曲", u"zolfa://play_song_1001", u"song"},
      // Entities stay as they arrived; category words are made canonical.
      {u"R&amp;B", u"http://feeds.example/rb.xml", u"folder"},
      // Missing elements stay empty and a word that is not canonical is dropped.
      {u"", u"42", u""},
  };
  EXPECT_EQ(list, expected);
}

TEST(FeedFormatTest, FeedWithoutBothRssMarkersHasNothing) {
  const std::u16string documents[] = {
      u"<rss version=\"2.0\"><channel><title>T</title><item><title>a</title></item></channel>",
      u"<rss><channel><title>T</title><item><title>a</title></item></channel></rss>",
      u"</rss><rss version=\"2.0\"><title>T</title><item><title>a</title></item>",
      u"",
  };
  for (const std::u16string& document : documents) {
    SCOPED_TRACE(Utf8ForTest(document));
    std::vector<FeedItem> list;
    EXPECT_EQ(ParseFeed(document, list), u"");
    EXPECT_TRUE(list.empty());
  }
}

TEST(FeedFormatTest, ItemWithoutEndTagEndsTheItems) {
  std::vector<FeedItem> list;
  ParseFeed(u"<rss version=\"2.0\"><item><title>a</title></item><item><title>b</title></rss>", list);
  EXPECT_EQ(list, (std::vector<FeedItem>{{u"a", u"", u""}}));
}

TEST(FeedFormatTest, ParseFeedItemLeavesMissingFieldsAlone) {
  FeedItem item{u"old title", u"old link", u"album"};
  ParseFeedItem(u"<link>new</link><zolfa:category>nonsense</zolfa:category>", item);
  EXPECT_EQ(item, (FeedItem{u"old title", u"new", u"album"}));
  ParseFeedItem(u"<zolfa:category></zolfa:category><title></title>", item);
  EXPECT_EQ(item, (FeedItem{u"", u"new", u""}));
}

TEST(FeedFormatTest, OneLineFormIsReadBackAsTheItem) {
  std::u16string line = FormatItemLine(u"歌 & 曲", u"zolfa://play_song_77", kSongImage, u"");
  EXPECT_EQ(line,
            u"<item><title>歌 & 曲</title><link>zolfa://play_song_77</link>"
            u"<zolfa:image>file:\\song.gif</zolfa:image><zolfa:category></zolfa:category></item>");
  FeedItem item;
  ParseFeedItem(line, item);
  EXPECT_EQ(item, (FeedItem{u"歌 & 曲", u"zolfa://play_song_77", u""}));
}

TEST(FeedFormatTest, BlockFormChoosesTheImageByPlayability) {
  EXPECT_EQ(FormatItemBlock({u"夜曲", u"zolfa://play_song_1", u"song"}),
            u"\t\t<item>\r\n\t\t\t<title>夜曲</title>\r\n\t\t\t<link>zolfa://play_song_1</link>\r\n"
            u"\t\t\t<zolfa:image>file:\\song.gif</zolfa:image>\r\n"
            u"\t\t\t<zolfa:category>song</zolfa:category>\r\n\t\t</item>\r\n");
  EXPECT_EQ(FormatItemBlock({u"流行", u"12", u"folder"}),
            u"\t\t<item>\r\n\t\t\t<title>流行</title>\r\n\t\t\t<link>12</link>\r\n"
            u"\t\t\t<zolfa:image>file:\\directory.gif</zolfa:image>\r\n"
            u"\t\t\t<zolfa:category>folder</zolfa:category>\r\n\t\t</item>\r\n");
}

TEST(FeedFormatTest, BlocksReadBackThroughParseFeed) {
  const std::vector<FeedItem> items = {
      {u"夜曲", u"zolfa://play_song_1", u"song"},
      {u"a.MP3", u"http://h/a.MP3?x=1", u""},
      {u"歌手", u"77", u"artist"},
  };
  std::u16string document = u"<rss version=\"2.0\">\r\n\t<channel>\r\n\t\t<title>list</title>\r\n";
  for (const FeedItem& item : items) document += FormatItemBlock(item);
  document += u"\t</channel>\r\n</rss>\r\n";
  std::vector<FeedItem> list;
  EXPECT_EQ(ParseFeed(document, list), u"list");
  EXPECT_EQ(list, items);
}

}  // namespace
}  // namespace zolfa
