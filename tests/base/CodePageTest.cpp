#include "platform/base/CodePage.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace ce {
namespace {

// Bytes of a narrow result, shown in hex when a case fails.
std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char b : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

struct ToBytesCase {
  const char* label;
  UINT codePage;
  std::u16string wide;
  std::string bytes;
  bool usedDefault;
};

TEST(CodePageTest, WideToBytes) {
  const ToBytesCase cases[] = {
      {"950 Chinese", 950, u"合輯", "\xA6\x58\xBF\xE8", false},
      {"ACP is 950", CP_ACP, u"合輯 ok", "\xA6\x58\xBF\xE8 ok", false},
      {"950 euro extension", 950, u"€", "\xA3\xE1", false},
      {"950 unmappable", 950, u"aéb", "a?b", true},
      {"950 supplementary char is one default", 950, u"a\U00020000b", "a?b", true},
      {"950 lone high surrogate", 950, u"a\xD800" u"b", "a?b", true},
      {"950 lone low surrogate at end", 950, u"a\xDC00", "a?", true},
      {"utf-8 Chinese", CP_UTF8, u"合輯", "\xE5\x90\x88\xE8\xBC\xAF", false},
      {"utf-8 supplementary", CP_UTF8, u"\U0001F600", "\xF0\x9F\x98\x80", false},
      {"utf-8 lone surrogate", CP_UTF8, u"a\xD800", "a\xEF\xBF\xBD", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    BOOL usedDefault = -1;
    BOOL* usedPtr = c.codePage == CP_UTF8 ? nullptr : &usedDefault;
    int wideLen = static_cast<int>(c.wide.size());
    int needed = WideCharToMultiByte(c.codePage, 0, c.wide.data(), wideLen, nullptr, 0, nullptr, usedPtr);
    ASSERT_EQ(needed, static_cast<int>(c.bytes.size()));
    std::string out(static_cast<size_t>(needed), '\0');
    ASSERT_EQ(WideCharToMultiByte(c.codePage, 0, c.wide.data(), wideLen, out.data(), needed, nullptr,
                                  usedPtr),
              needed);
    EXPECT_EQ(Hex(out), Hex(c.bytes));
    if (usedPtr != nullptr) {
      EXPECT_EQ(usedDefault, c.usedDefault ? TRUE : FALSE);
    }
    EXPECT_EQ(Hex(WideToMulti(c.wide, c.codePage)), Hex(c.bytes));
  }
}

struct ToWideCase {
  const char* label;
  UINT codePage;
  std::string bytes;
  std::u16string wide;
};

TEST(CodePageTest, BytesToWide) {
  const ToWideCase cases[] = {
      {"950 Chinese", 950, "\xA6\x58\xBF\xE8", u"合輯"},
      {"950 lead byte cut off by the end", 950, "\xA6\x58\xBF", u"合?"},
      {"950 lead byte before a non-trail byte", 950, "\xA6 x", u"? x"},
      {"utf-8 Chinese", CP_UTF8, "\xE5\x90\x88\xE8\xBC\xAF", u"合輯"},
      {"utf-8 supplementary", CP_UTF8, "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"utf-8 overlong is two bad bytes", CP_UTF8, "\xC0\xAFz", u"\xFFFD\xFFFDz"},
      {"utf-8 encoded surrogate", CP_UTF8, "\xED\xA0\x80z", u"\xFFFD\xFFFD\xFFFDz"},
      {"utf-8 sequence cut short", CP_UTF8, "\xE2\x82z", u"\xFFFDz"},
      {"utf-8 sequence cut off by the end", CP_UTF8, "a\xE2\x82", u"a\xFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    // The byte after the input is a valid trail byte: reading past the end
    // would turn a cut-off character into a whole one.
    std::string padded = c.bytes + "\xE8\x80";
    int bytesLen = static_cast<int>(c.bytes.size());
    int needed = MultiByteToWideChar(c.codePage, 0, padded.data(), bytesLen, nullptr, 0);
    ASSERT_EQ(needed, static_cast<int>(c.wide.size()));
    std::u16string out(static_cast<size_t>(needed), u'\0');
    ASSERT_EQ(MultiByteToWideChar(c.codePage, 0, padded.data(), bytesLen, out.data(), needed), needed);
    EXPECT_EQ(out, c.wide);
    EXPECT_EQ(MultiToWide(c.bytes, c.codePage), c.wide);
  }
}

TEST(CodePageTest, TerminatorCountsOnlyWithLengthMinusOne) {
  const char16_t text[] = u"合輯\0tail";
  EXPECT_EQ(WideCharToMultiByte(950, 0, text, -1, nullptr, 0, nullptr, nullptr), 5);
  EXPECT_EQ(WideCharToMultiByte(950, 0, text, 2, nullptr, 0, nullptr, nullptr), 4);
  // An explicit length converts through embedded zeros.
  EXPECT_EQ(WideCharToMultiByte(950, 0, text, 7, nullptr, 0, nullptr, nullptr), 9);

  char out[8] = {};
  ASSERT_EQ(WideCharToMultiByte(950, 0, text, -1, out, sizeof(out), nullptr, nullptr), 5);
  EXPECT_EQ(std::string(out, 5), std::string("\xA6\x58\xBF\xE8\0", 5));

  const char bytes[] = "\xA6\x58\xBF\xE8\0tail";
  EXPECT_EQ(MultiByteToWideChar(950, 0, bytes, -1, nullptr, 0), 3);
  EXPECT_EQ(MultiByteToWideChar(950, 0, bytes, 4, nullptr, 0), 2);
  char16_t wide[4] = {u'x', u'x', u'x', u'x'};
  ASSERT_EQ(MultiByteToWideChar(950, 0, bytes, -1, wide, 4), 3);
  EXPECT_EQ(std::u16string(wide, 3), std::u16string(u"合輯\0", 3));
  EXPECT_EQ(wide[3], u'x');
}

TEST(CodePageTest, TooSmallBufferFailsWithoutWritingPastIt) {
  char out[6] = {'#', '#', '#', '#', '#', '#'};
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(950, 0, u"合輯", -1, out, 3, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(out + 3, 3), "###");

  char16_t wide[3] = {u'#', u'#', u'#'};
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(950, 0, "\xA6\x58\xBF\xE8", 4, wide, 1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(wide[1], u'#');
  // The replacement of an invalid byte is bounded the same way.
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(950, 0, "a\xFF", 2, wide, 1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(wide[1], u'#');
  ASSERT_EQ(MultiByteToWideChar(950, 0, "a\xFF", 2, wide, 2), 2);
  EXPECT_EQ(std::u16string(wide, 3), u"a?#");
}

TEST(CodePageTest, DefaultCharacterAndStrictFlags) {
  char out[8] = {};
  BOOL usedDefault = FALSE;
  ASSERT_EQ(WideCharToMultiByte(950, 0, u"éa", 2, out, sizeof(out), "*", &usedDefault), 2);
  EXPECT_EQ(std::string(out, 2), "*a");
  EXPECT_EQ(usedDefault, TRUE);
  // A double-byte default character is used whole.
  ASSERT_EQ(WideCharToMultiByte(950, 0, u"é", 1, out, sizeof(out), "\xA1\x48", nullptr), 2);
  EXPECT_EQ(Hex(std::string(out, 2)), "A1 48");

  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(950, MB_ERR_INVALID_CHARS, "a\xA6", 2, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"\xDC00", 1, nullptr, 0, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePageTest, InvalidParametersAreRefused) {
  char out[4];
  BOOL usedDefault;
  struct Call {
    const char* label;
    int result;
  };
  const Call calls[] = {
      {"zero length", WideCharToMultiByte(950, 0, u"a", 0, out, 4, nullptr, nullptr)},
      {"length below -1", WideCharToMultiByte(950, 0, u"a", -2, out, 4, nullptr, nullptr)},
      {"null input", WideCharToMultiByte(950, 0, nullptr, 1, out, 4, nullptr, nullptr)},
      {"null output with a size", WideCharToMultiByte(950, 0, u"a", 1, nullptr, 4, nullptr, nullptr)},
      {"unknown code page", WideCharToMultiByte(1252, 0, u"a", 1, out, 4, nullptr, nullptr)},
      {"utf-8 with usedDefault", WideCharToMultiByte(CP_UTF8, 0, u"a", 1, out, 4, nullptr, &usedDefault)},
      {"utf-8 with a default char", WideCharToMultiByte(CP_UTF8, 0, u"a", 1, out, 4, "?", nullptr)},
      {"bytes zero length", MultiByteToWideChar(950, 0, "a", 0, nullptr, 0)},
      {"bytes null input", MultiByteToWideChar(950, 0, nullptr, -1, nullptr, 0)},
  };
  for (const auto& call : calls) {
    SCOPED_TRACE(call.label);
    EXPECT_EQ(call.result, 0);
  }
  SetLastError(0);
  WideCharToMultiByte(950, 0, u"a", 0, out, 4, nullptr, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePageTest, ThreadsConvertIndependently) {
  // Each thread keeps its own converters; mixed directions and code pages
  // on several threads must not disturb each other's state.
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 300; ++i) {
        if (WideToMulti(u"合輯é", 950) != "\xA6\x58\xBF\xE8?") ++failures[t];
        if (MultiToWide("\xA6\x58\xBF", 950) != u"合?") ++failures[t];
        if (ToUtf8(u"合輯") != "\xE5\x90\x88\xE8\xBC\xAF") ++failures[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace ce
