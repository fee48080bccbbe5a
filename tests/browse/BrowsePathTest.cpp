// The path and query of every browse request kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/BrowsePath.h"

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

}  // namespace
}  // namespace zolfa
