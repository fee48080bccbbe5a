#include "platform/net/RequestTarget.h"

#include <gtest/gtest.h>

namespace ce {
namespace {

TEST(RequestTargetTest, EscapesExactlyControlsSpacesAndHighBytes) {
  struct Case {
    std::u16string path;
    std::string target;
  };
  const Case cases[] = {
      {u"/ce_login.php?act=login&uid=a%40b", "/ce_login.php?act=login&uid=a%40b"},
      {u"", "/"},
      {u"/a b", "/a%20b"},
      {u"/tab\there\r\n", "/tab%09here%0D%0A"},
      {std::u16string(u"/nul\0x", 6), "/nul%00x"},
      {u"/del\x7f", "/del%7F"},
      // Code page 950: 登 is B5 6E, 入 is A4 4A; the ASCII trail bytes stay.
      {u"/song_登入.wma", "/song_%B5n%A4J.wma"},
      // A character the code page lacks becomes "?" in the conversion.
      {u"/é", "/?"},
      {u"/keep/~!$&'()*+,;=:@[]%zz?#", "/keep/~!$&'()*+,;=:@[]%zz?#"},
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeRequestTarget(c.path), c.target);
}

}  // namespace
}  // namespace ce
