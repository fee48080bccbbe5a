// The path and query of every browse request kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/BrowsePath.h"
#include "zolfa/browse/BrowseRequestParameters.h"

namespace zolfa {
namespace {

TEST(BrowsePathTest, EveryKindHasItsPathAndCodePage) {
  const BrowseParameters p{u"g1", u"1", u"37", u"a1", u"b1", u"0", u"AUTH", u""};
  const std::u16string common = u"hw_vendor=ULDA&sid=S";
  struct Case {
    int32_t kind;
    std::u16string path;
    uint32_t codePage;
  };
  const std::vector<Case> cases = {
      {kBrowseGenreList, u"/genre.php?hw_vendor=ULDA&sid=S", 0},
      {kBrowseArtistList,
       u"/artist.php?genre=g1&index_type=1&index=37&type_id=0&type_func=AUTH&type_note=&"
       u"hw_vendor=ULDA&sid=S",
       0},
      {kBrowseAlbumList,
       u"/album.php?genre=g1&index_type=1&index=37&artist=a1&type_id=0&type_func=AUTH&"
       u"type_note=&hw_vendor=ULDA&sid=S",
       0},
      {kBrowseSongList,
       u"/song.php?genre=g1&index_type=1&index=37&artist=a1&album=b1&type_id=0&type_func=AUTH&"
       u"type_note=&hw_vendor=ULDA&sid=S",
       0},
      {kBrowseTopicPage,
       u"/hw_topic.php?ver=01000001&hw_vender=Ulda&hw_model=WINCE&hw_id=0A1B&hw_version=0002&"
       u"key=S",
       65001},
      {kBrowseTopicFolder,
       u"/hw_topic.php?ver=01000001&hw_vender=Ulda&hw_model=WINCE&hw_id=0A1B&hw_version=0002&"
       u"key=S&item_id=g1",
       65001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(BrowsePath(c.kind, p, common, u"0A1B", u"S"), c.path);
    EXPECT_EQ(BrowseCodePage(c.kind), c.codePage);
  }
  EXPECT_EQ(BrowsePath(6, p, common, u"0A1B", u"S"), u"");
}

TEST(BrowsePathTest, ValuesGoInUnescaped) {
  const BrowseParameters p{u"流 行&x", u"1", u"99", u"0", u"0", u"0", u"AUTH", u""};
  EXPECT_EQ(BrowsePath(kBrowseArtistList, p, u"q", u"", u""),
            u"/artist.php?genre=流 行&x&index_type=1&index=99&type_id=0&type_func=AUTH&"
            u"type_note=&q");
}

// Every key after the first gets its "&", whatever the value before it ends
// in.
TEST(BrowsePathTest, AValueEndingInAQuestionMarkKeepsTheNextKeysAmpersand) {
  const BrowseParameters p{u"g?", u"1", u"5?", u"a?", u"b?", u"0", u"AUTH", u"n?"};
  struct Case {
    int32_t kind;
    std::u16string path;
  };
  const std::vector<Case> cases = {
      {kBrowseArtistList,
       u"/artist.php?genre=g?&index_type=1&index=5?&type_id=0&type_func=AUTH&type_note=n?&q"},
      {kBrowseSongList,
       u"/song.php?genre=g?&index_type=1&index=5?&artist=a?&album=b?&type_id=0&type_func=AUTH&"
       u"type_note=n?&q"},
      {kBrowseTopicFolder,
       u"/hw_topic.php?ver=01000001&hw_vender=Ulda&hw_model=WINCE&hw_id=?&hw_version=0002&key=S?&"
       u"item_id=g?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(BrowsePath(c.kind, p, u"q", u"?", u"S?"), c.path);
  }
}

// The fixed texts of each kind as the screen queues them.
TEST(BrowsePathTest, RequestParametersCarryTheServicesFixedValues) {
  struct Case {
    BrowseParameters made;
    BrowseParameters expected;
  };
  const std::vector<Case> cases = {
      {GenreListParameters(), {}},
      {ArtistListParameters(u"g1", u"1", u"99"),
       {u"g1", u"1", u"99", u"0", u"0", u"0", u"AUTH", u""}},
      {AlbumListParameters(u"g1", u"3", u"27", u"a7"),
       {u"g1", u"3", u"27", u"a7", u"0", u"0", u"AUTH", u""}},
      {SongListParameters(u"g1", u"2", u"40", u"a7", u"b9"),
       {u"g1", u"2", u"40", u"a7", u"b9", u"0", u"AUTH", u""}},
      {TopicPageParameters(), {}},
      {TopicFolderParameters(u"t5"), {u"t5", u"", u"", u"", u"", u"", u"", u""}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const BrowseParameters& m = cases[i].made;
    const BrowseParameters& e = cases[i].expected;
    EXPECT_EQ(std::vector<std::u16string>({m.genre, m.indexType, m.index, m.artist, m.album,
                                           m.typeId, m.typeFunc, m.typeNote}),
              std::vector<std::u16string>({e.genre, e.indexType, e.index, e.artist, e.album,
                                           e.typeId, e.typeFunc, e.typeNote}));
  }
  EXPECT_EQ(BrowsePath(kBrowseAlbumList, AlbumListParameters(u"g1", u"1", u"8", u"a1"), u"q",
                       u"", u""),
            u"/album.php?genre=g1&index_type=1&index=8&artist=a1&type_id=0&type_func=AUTH&"
            u"type_note=&q");
}

}  // namespace
}  // namespace zolfa
