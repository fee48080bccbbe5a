#include <gtest/gtest.h>

#include <string>

#include "zolfa/service/CMD5Checksum.h"
#include "zolfa/service/PasswordDigest.h"

namespace zolfa {
namespace {

TEST(Md5Test, DigestTextMatchesTheTestSuiteOfTheAlgorithm) {
  struct Case {
    std::string message;
    std::u16string digest;
  };
  const Case cases[] = {
      {"", u"d41d8cd98f00b204e9800998ecf8427e"},
      {"a", u"0cc175b9c0f1b6a831c399e269772661"},
      {"abc", u"900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", u"f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", u"c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       u"d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       u"57edf4a22be3c955ac49da2e2107b67a"},
      // Messages whose padding just fits, or just does not fit, one block.
      {std::string(55, 'a'), u"ef1772b6dff9a122358552954ad0df65"},
      {std::string(56, 'a'), u"3b0c8ac703f828b04c6c197006d17218"},
      {std::string(64, 'a'), u"014842d480b571495a4a0363793f7367"},
  };
  for (const Case& c : cases) EXPECT_EQ(DigestText(c.message.data(), c.message.size()), c.digest);
}

TEST(Md5Test, FeedingInPiecesGivesTheSameDigestAndFinishStartsAgain) {
  std::string message;
  for (int i = 0; i < 1000; ++i) message += static_cast<char>(i * 31 + 7);
  std::u16string whole = DigestText(message.data(), message.size());
  CMD5Checksum checksum;
  for (size_t piece : {1, 3, 63, 64, 65, 200}) {
    for (size_t at = 0; at < message.size(); at += piece)
      checksum.Feed(message.data() + at, std::min(piece, message.size() - at));
    EXPECT_EQ(checksum.Finish(), whole) << piece;
  }
  EXPECT_EQ(checksum.Finish(), u"d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Md5Test, PasswordDigestFollowsTheServicesByteRule) {
  std::u16string stored = u"0123456789abcdef0123456789ABCDEF";
  EXPECT_EQ(PasswordDigest(stored), stored);
  EXPECT_EQ(PasswordDigest(u"登入登入登入登入登入登入登入登入登入登入登入登入登入登入登入登入"),
            u"登入登入登入登入登入登入登入登入登入登入登入登入登入登入登入登入");
  EXPECT_EQ(PasswordDigest(u"zolfa"), DigestText("zolfa", 5));
  EXPECT_EQ(PasswordDigest(u"abc"), u"900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(PasswordDigest(u""), u"d41d8cd98f00b204e9800998ecf8427e");
  // Characters up to 255 give one byte each.
  EXPECT_EQ(PasswordDigest(u"\u00e9\u00ff"), DigestText("\xe9\xff", 2));
  // Two characters, the first above 255: only its two bytes are digested.
  EXPECT_EQ(PasswordDigest(u"\u767bx"), DigestText("\x76\x7b", 2));
  // A wide character later on: the prefix of the bytes as long as the text.
  EXPECT_EQ(PasswordDigest(u"ab\u767b"), DigestText("ab\x76", 3));
}

}  // namespace
}  // namespace zolfa
