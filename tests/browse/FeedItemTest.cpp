#include "zolfa/browse/FeedItem.h"

#include <gtest/gtest.h>

#include "tests/browse/FeedPrinting.h"

namespace zolfa {
namespace {

FeedItem WithLink(std::u16string link, std::u16string category = {}) {
  return FeedItem{u"t", std::move(link), std::move(category)};
}

TEST(FeedItemTest, NewItemIsEmpty) {
  FeedItem item;
  EXPECT_TRUE(item.title.empty() && item.link.empty() && item.category.empty());
}

TEST(FeedItemTest, PlayableAndSongIdFollowTheirOwnCaseRules) {
  struct Case {
    std::u16string link;
    bool playable;
    std::u16string songId;
  };
  const Case cases[] = {
      {u"zolfa://play_song_123", true, u"123"},
      // The playable test lower-cases; the song identifier needs the exact prefix.
      {u"ZOLFA://PLAY_SONG_123", true, u""},
      {u"Zolfa://Play_Song_9", true, u""},
      {u"http://media.example/a/b.MP3?sid=1&x=2", true, u""},
      {u"http://media.example/track.wma", true, u""},
      {u"c:\\x.WmA", true, u""},
      {u"http://feeds.example/topic.php?id=3", false, u""},
      {u"zolfa://play_song", false, u""},
      {u"see zolfa://play_song_1", false, u""},
      {u"zolfa://play_song_", true, u""},
      {u"", false, u""},
      {u"12345", false, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8ForTest(c.link));
    EXPECT_EQ(IsPlayable(WithLink(c.link)), c.playable);
    EXPECT_EQ(SongIdOf(WithLink(c.link)), c.songId);
  }
}

TEST(FeedItemTest, CategoryPlaysNoPartInPlayable) {
  EXPECT_FALSE(IsPlayable(WithLink(u"4711", u"song")));
  EXPECT_TRUE(IsPlayable(WithLink(u"a.mp3", u"folder")));
}

TEST(FeedItemTest, CategoryIndexAndCanonicalWord) {
  struct Case {
    std::u16string category;
    int index;
    std::u16string word;
  };
  const Case cases[] = {
      {u"folder", 0, u"folder"}, {u"ALBUM", 1, u"album"}, {u"Song", 2, u"song"},
      {u"artist", 3, u"artist"}, {u"songs", -1, u""},     {u"", -1, u""},
      {u" song", -1, u""},       {u"track", -1, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8ForTest(c.category));
    FeedItem item = WithLink(u"x", c.category);
    EXPECT_EQ(CategoryIndex(item), c.index);
    EXPECT_EQ(CategoryOf(item), c.word);
  }
}

TEST(FeedItemTest, SetCategoryTakesCanonicalWordsOrEmptyOnly) {
  struct Case {
    std::u16string text;
    bool accepted;
    std::u16string result;  // category after the call, starting from "album"
  };
  const Case cases[] = {
      {u"SONG", true, u"song"}, {u"folder", true, u"folder"}, {u"", true, u""},
      {u"track", false, u"album"}, {u"artists", false, u"album"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8ForTest(c.text));
    FeedItem item = WithLink(u"x", u"album");
    EXPECT_EQ(SetCategory(item, c.text), c.accepted);
    EXPECT_EQ(item.category, c.result);
  }
}

}  // namespace
}  // namespace zolfa
