// The server's own conversions, in process.
#include <gtest/gtest.h>

#include "server/TextCodec.h"

namespace zolfa_server {
namespace {

TEST(TextCodec, UnrepresentableAndInvalidTextBecomesReplacements) {
  struct Case {
    std::string utf8;
    std::string cp950;
  };
  const Case kCases[] = {
      {"A", "A"},
      {"合輯", "\xA6\x58\xBF\xE8"},
      {"ㄦ", "\xA3\xB7"},
      {"x\xF0\x9F\x98\x80y", "x?y"},  // an emoji has no code page 950 form
      {"a\xFF" "b", "a?b"},           // not UTF-8
      {"\xE5\x90", "?"},              // a sequence cut off at the end
      {"", ""},
  };
  for (const Case& c : kCases) EXPECT_EQ(TextCodec::Utf8ToCp950(c.utf8), c.cp950) << c.utf8;
}

TEST(TextCodec, Cp950DecodingNeverReadsPastTheEnd) {
  EXPECT_EQ(TextCodec::Cp950ToUtf8("\xA6\x58\xBF\xE8"), "合輯");
  EXPECT_EQ(TextCodec::Cp950ToUtf8("ok\xA6"), "ok\xEF\xBF\xBD");  // lead byte without trail
  EXPECT_EQ(TextCodec::Cp950ToUtf8("\xFF\xFF" "a"), "\xEF\xBF\xBD\xEF\xBF\xBD" "a");
  EXPECT_EQ(TextCodec::Utf8ToUtf16("密a"), u"密a");
}

}  // namespace
}  // namespace zolfa_server
