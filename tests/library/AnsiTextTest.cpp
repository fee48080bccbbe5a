#include <gtest/gtest.h>

#include <random>

#include "platform/base/CodePage.h"
#include "zolfa/library/AnsiText.h"

namespace zolfa {
namespace {

TEST(AnsiTextTest, DecodesLikeTheCodePageAlsoForBrokenBytes) {
  // Pieces the file is made of: tags, ASCII, double-byte characters whose
  // trail byte is ASCII, unmapped pairs, lone lead bytes and stray bytes.
  const std::vector<std::string> pieces = {
      "<song_name>", "</song_name>", "abc",  " 12",  "\xA4\x40", "\xBA\x71",
      "\xA5\xFE",    "\x81",         "\xFF", "\x80", "\xA4",     "\xA4<",
      "\xF9\xFE",    "\xC8\x40",     "\n",   "@",    "\xA3\xE1"};
  std::mt19937 rng(5);
  for (int i = 0; i < 400; ++i) {
    std::string bytes;
    int count = static_cast<int>(rng() % 12);
    for (int k = 0; k < count; ++k) bytes += pieces[rng() % pieces.size()];
    ASSERT_EQ(AnsiToWide(bytes), ce::MultiToWide(bytes, ce::CP_ACP)) << i;
  }
}

TEST(AnsiTextTest, EncodesLikeTheCodePage) {
  const std::vector<std::u16string> pieces = {u"<a>",          u"abc",    u"全部歌曲", u"ä",   u"€",
                                              u"\xD83D\xDE00", u"\xD800", u"1",        u"合輯"};
  std::mt19937 rng(6);
  for (int i = 0; i < 400; ++i) {
    std::u16string text;
    int count = static_cast<int>(rng() % 8);
    for (int k = 0; k < count; ++k) text += pieces[rng() % pieces.size()];
    std::string bytes = "x";
    AppendAnsi(bytes, text);
    ASSERT_EQ(bytes, "x" + ce::WideToMulti(text, ce::CP_ACP)) << i;
  }
}

}  // namespace
}  // namespace zolfa
