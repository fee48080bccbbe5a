#include <gtest/gtest.h>

#include "platform/base/CodePage.h"
#include "zolfa/service/UrlEncode.h"

namespace zolfa {
namespace {

TEST(UrlTest, UrlEncodeKeepsUnreservedBytesAndEscapesTheRestInUpperCase) {
  struct Case {
    std::u16string value;
    std::u16string prefix;
    std::u16string encoded;
  };
  const Case cases[] = {
      {u"a b@c", u"", u"a%20b%40c"},
      {u"demo@zolfa.test", u"uid=", u"uid=demo%40zolfa.test"},
      {u"AZaz09-._", u"", u"AZaz09-._"},
      {u"~!*'()+&=/?#%", u"", u"%7E%21%2A%27%28%29%2B%26%3D%2F%3F%23%25"},
      // In the device's code page 中 is A4 A4, 登 is B5 6E and 入 is A4 4A.
      // The rule goes byte by byte, so a trail byte that is an ASCII letter
      // is copied like one (the server decodes the same bytes either way).
      {u"中", u"", u"%A4%A4"},
      {u"登入", u"", u"%B5n%A4J"},
      {u"", u"p", u"p"},
      {u"\n", u"", u"%0A"},
  };
  for (const Case& c : cases) EXPECT_EQ(UrlEncode(c.value, c.prefix), c.encoded);
  EXPECT_EQ(UrlEncode(u"x y"), u"x%20y");
}

TEST(UrlTest, HostAndPathSplitAtTheFirstSlashAfterTheHostsFirstCharacter) {
  struct Case {
    std::u16string address;
    std::u16string host;
    std::u16string path;
  };
  const Case cases[] = {
      {u"http://h/dir/file.xml", u"h", u"/dir/file.xml"},
      {u"http://ds.zolfa.test:8080/a?b=/c", u"ds.zolfa.test:8080", u"/a?b=/c"},
      {u"http://host", u"host", u""},
      {u"http://", u"", u""},
      {u"http://x", u"x", u""},
      {u"http:///ab/c", u"/ab", u"/c"},
      {u"ftp://h/x", u"", u""},
      {u"\\Temp\\a.xml", u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UrlHost(c.address), c.host) << ce::ToUtf8(c.address);
    EXPECT_EQ(UrlPath(c.address), c.path) << ce::ToUtf8(c.address);
  }
}

}  // namespace
}  // namespace zolfa
