#include <gtest/gtest.h>

#include "tests/support/RecordingOwner.h"
#include "zolfa/library/CurPlaylistFile.h"

namespace zolfa {
namespace {

using test_support::Song;

// UTF-16LE bytes of a text, written here independently of the writer.
std::string Le(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

TEST(CurPlaylistFileTest, TwoSongsAreWrittenPieceByPieceWithLineFeeds) {
  std::vector<FeedItem> entries = {Song(u"月亮代表", u"101"),
                                   FeedItem{u"B & C", u"http://x/a.MP3?x=1", u"song"}};
  std::u16string expected =
      u"<?xml version=\"1.0\" ?>\r\n<rss version=\"2.0\">\r\n\t<channel>\r\n\t\t<title>"
      u"現在播放清單</title>\r\n\n"
      u"\t\t<item>\r\n\t\t\t<title>\n"
      u"月亮代表</title>\r\n\t\t\t<link>zolfa://play_song_101\n"
      u"</link>\r\n\t\t\t<zolfa:image>file:\\song.gif\n"
      u"</zolfa:image>\r\n\t\t\t<zolfa:category>\n"
      u"song\n"
      u"</zolfa:category>\r\n\t\t</item>\r\n\n"
      u"\t\t<item>\r\n\t\t\t<title>\n"
      u"B & C</title>\r\n\t\t\t<link>http://x/a.MP3?x=1\n"
      u"</link>\r\n\t\t\t<zolfa:image>file:\\song.gif\n"
      u"</zolfa:image>\r\n\t\t\t<zolfa:category>\n"
      u"song\n"
      u"</zolfa:category>\r\n\t\t</item>\r\n\n"
      u"\t</channel>\r\n</rss>\n";
  std::string bytes = FormatCurPlaylistFile(entries);
  EXPECT_EQ(bytes, Le(expected));
  EXPECT_EQ(ParseCurPlaylistFile(bytes), entries);
}

TEST(CurPlaylistFileTest, EmptyListIsHeaderAndFooterOnly) {
  std::u16string expected =
      u"<?xml version=\"1.0\" ?>\r\n<rss version=\"2.0\">\r\n\t<channel>\r\n\t\t<title>"
      u"現在播放清單</title>\r\n\n\t</channel>\r\n</rss>\n";
  EXPECT_EQ(FormatCurPlaylistFile({}), Le(expected));
  EXPECT_TRUE(ParseCurPlaylistFile(Le(expected)).empty());
}

TEST(CurPlaylistFileTest, FeedAddressIsWrittenAsDirectoryAndKeptOnLoad) {
  std::vector<FeedItem> entries = {FeedItem{u"Topic", u"http://ds/feed.xml", u"folder"},
                                   FeedItem{u"Odd", u"http://ds/x", u"Weird"}};
  std::string bytes = FormatCurPlaylistFile(entries);
  std::u16string image = u"<zolfa:image>file:\\directory.gif\n";
  EXPECT_NE(bytes.find(Le(image)), std::string::npos);
  std::vector<FeedItem> loaded = ParseCurPlaylistFile(bytes);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0], entries[0]);
  // A category that is not a canonical word is written and read as empty.
  EXPECT_EQ(loaded[1], (FeedItem{u"Odd", u"http://ds/x", u""}));
}

TEST(CurPlaylistFileTest, ReadingRemovesLineFeedsButKeepsCarriageReturns) {
  // A title with a line feed comes back without it; one with a carriage
  // return keeps it.
  std::vector<FeedItem> entries = {Song(u"a\nb", u"1"), Song(u"c\rd", u"2")};
  std::vector<FeedItem> loaded = ParseCurPlaylistFile(FormatCurPlaylistFile(entries));
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].title, u"ab");
  EXPECT_EQ(loaded[1].title, u"c\rd");
}

TEST(CurPlaylistFileTest, DocumentsWithoutTheFeedGiveNoEntries) {
  std::string whole = FormatCurPlaylistFile({Song(u"x", u"1")});
  std::string cut = whole.substr(0, whole.size() - 10);  // "</rss>" is gone
  for (const std::string& bytes : {std::string(), std::string("\x01"), cut,
                                   Le(u"<rss version=\"2.0\"><item><title>x</title></item>")}) {
    EXPECT_TRUE(ParseCurPlaylistFile(bytes).empty());
  }
  // An odd trailing byte is ignored.
  EXPECT_EQ(ParseCurPlaylistFile(whole + "x").size(), 1u);
}

}  // namespace
}  // namespace zolfa
