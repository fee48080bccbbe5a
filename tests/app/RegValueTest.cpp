#include <gtest/gtest.h>

#include "platform/testing/TestSupport.h"
#include "tests/app/RegistryProbe.h"
#include "zolfa/app/CRegDword.h"
#include "zolfa/app/CRegString.h"
#include "zolfa/app/RegValuePath.h"
#include "zolfa/app/ZolfaPaths.h"

namespace zolfa {
namespace {

using testing::DeleteStored;
using testing::ReadStored;
using testing::WideBytes;
using testing::WriteStored;

const std::u16string kKey(kSettingsKey);

TEST(RegValuePathTest, SplitsAtTheLastBackslash) {
  struct Case {
    std::u16string full, key, name;
  };
  const Case cases[] = {
      {u"Software\\Quendal\\zolfa\\account0", u"Software\\Quendal\\zolfa", u"account0"},
      {u"\\Software\\A\\\\v\\\\", u"Software\\A", u"v"},
      {u"Software\\Microsoft\\Windows Media Player\\Streaming\\Connection Speed",
       u"Software\\Microsoft\\Windows Media Player\\Streaming", u"Connection Speed"},
      {u"value", u"", u"value"},
      {u"\\value", u"", u"value"},
      {u"\\\\", u"", u""},
      {u"", u"", u""},
  };
  for (const Case& c : cases) {
    RegValuePath parts = SplitRegValuePath(c.full);
    EXPECT_EQ(parts.keyPath, c.key);
    EXPECT_EQ(parts.valueName, c.name);
  }
}

class RegValueTest : public ::testing::Test {
 protected:
  ce::testing::TempDeviceRoot root_;
};

TEST_F(RegValueTest, AbsentKeyReadsDefaultsAndFirstWriteCreatesIt) {
  for (int i = 0; i < kAccountCount; ++i) {
    CRegString account(SettingsValuePath(std::u16string(kAccountValuePrefix) + char16_t(u'0' + i)), u"", true);
    EXPECT_EQ(account.Get(), u"");
    EXPECT_FALSE(account.HaveValue());
  }
  CRegDword shuffle(SettingsValuePath(kShuffleValue), 4);
  EXPECT_EQ(shuffle.Get(), 4u);

  CRegString account0(SettingsValuePath(u"account0"), u"", true);
  account0.Set(u"user@例");
  auto stored = ReadStored(ce::HKEY_CURRENT_USER, kKey, u"account0");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, ce::REG_SZ);
  EXPECT_EQ(stored->data, WideBytes(u"user@例"));  // with its terminating zero
  EXPECT_EQ(CRegString(SettingsValuePath(u"account0")).Get(), u"user@例");
}

TEST_F(RegValueTest, UnreadableValuesGiveTheDefault) {
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"number", ce::REG_DWORD, {1, 0, 0, 0});
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"text", ce::REG_SZ, WideBytes(u"abc"));
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"long", ce::REG_DWORD, {1, 2, 3, 4, 5});
  EXPECT_EQ(CRegString(SettingsValuePath(u"number"), u"def").Get(), u"def");
  EXPECT_EQ(CRegString(SettingsValuePath(u"missing"), u"def").Get(), u"def");
  EXPECT_EQ(CRegDword(SettingsValuePath(u"text"), 7).Get(), 7u);
  EXPECT_EQ(CRegDword(SettingsValuePath(u"long"), 7).Get(), 7u);
  // The same names under the other root do not exist.
  EXPECT_EQ(CRegString(SettingsValuePath(u"text"), u"def", false, ce::HKEY_LOCAL_MACHINE).Get(), u"def");
}

TEST_F(RegValueTest, StringsStoredByOthersAreReadWithinTheirLength) {
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"bare", ce::REG_SZ, WideBytes(u"abc", false));
  auto odd = WideBytes(u"xy", false);
  odd.push_back(0x41);
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"odd", ce::REG_SZ, odd);
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"cut", ce::REG_SZ, WideBytes(std::u16string(u"ab\0cd", 5)));
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"empty", ce::REG_SZ, {});
  EXPECT_EQ(CRegString(SettingsValuePath(u"bare")).Get(), u"abc");
  EXPECT_EQ(CRegString(SettingsValuePath(u"odd")).Get(), u"xy");
  EXPECT_EQ(CRegString(SettingsValuePath(u"cut")).Get(), u"ab");
  CRegString empty(SettingsValuePath(u"empty"), u"def");
  EXPECT_EQ(empty.Get(), u"");
  EXPECT_TRUE(empty.HaveValue());
}

TEST_F(RegValueTest, ForceReadsAndWritesEveryTimeCachedDoesNot) {
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"autologin", ce::REG_SZ, WideBytes(u"1"));
  CRegString cached(SettingsValuePath(u"autologin"));
  CRegString forced(SettingsValuePath(u"autologin"), u"", true);

  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"autologin", ce::REG_SZ, WideBytes(u""));
  EXPECT_EQ(cached.Get(), u"1");  // read at construction, kept
  EXPECT_EQ(forced.Get(), u"");   // read again

  // An unchanged value is written only with force.
  DeleteStored(ce::HKEY_CURRENT_USER, kKey, u"autologin");
  cached.Set(u"1");
  EXPECT_FALSE(ReadStored(ce::HKEY_CURRENT_USER, kKey, u"autologin"));
  forced.Set(u"");
  EXPECT_TRUE(ReadStored(ce::HKEY_CURRENT_USER, kKey, u"autologin"));
  // A changed value is always written.
  cached.Set(u"");
  DeleteStored(ce::HKEY_CURRENT_USER, kKey, u"autologin");
  cached.Set(u"1");
  ASSERT_TRUE(ReadStored(ce::HKEY_CURRENT_USER, kKey, u"autologin"));
  EXPECT_EQ(ReadStored(ce::HKEY_CURRENT_USER, kKey, u"autologin")->data, WideBytes(u"1"));
}

TEST_F(RegValueTest, NumbersReadShortDataAndWriteFourBytes) {
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"shuffle", ce::REG_DWORD, {3});
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"two", ce::REG_DWORD, {0x80, 0x25});
  CRegDword shuffle(SettingsValuePath(u"shuffle"), 4);
  EXPECT_EQ(shuffle.Get(), 3u);
  EXPECT_EQ(CRegDword(SettingsValuePath(u"two")).Get(), 9600u);

  shuffle.Set(0x01020304);
  auto stored = ReadStored(ce::HKEY_CURRENT_USER, kKey, u"shuffle");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, ce::REG_DWORD);
  EXPECT_EQ(stored->data, (std::vector<ce::BYTE>{4, 3, 2, 1}));
  EXPECT_EQ(CRegDword(SettingsValuePath(u"shuffle"), 4).Get(), 0x01020304u);
}

TEST_F(RegValueTest, NumberCacheAndForce) {
  CRegDword cached(SettingsValuePath(u"n"), 5);
  CRegDword forced(SettingsValuePath(u"n"), 5, true);
  // Nothing is stored yet, so even the default is written.
  cached.Set(5);
  EXPECT_TRUE(ReadStored(ce::HKEY_CURRENT_USER, kKey, u"n"));
  WriteStored(ce::HKEY_CURRENT_USER, kKey, u"n", ce::REG_DWORD, {9, 0, 0, 0});
  EXPECT_EQ(cached.Get(), 5u);
  EXPECT_EQ(forced.Get(), 9u);
  DeleteStored(ce::HKEY_CURRENT_USER, kKey, u"n");
  cached.Set(5);
  EXPECT_FALSE(ReadStored(ce::HKEY_CURRENT_USER, kKey, u"n"));
  EXPECT_EQ(forced.Get(), 5u);  // absent again: the default
  forced.Set(9);
  forced.Set(9);
  DeleteStored(ce::HKEY_CURRENT_USER, kKey, u"n");
  forced.Set(9);
  EXPECT_TRUE(ReadStored(ce::HKEY_CURRENT_USER, kKey, u"n"));
}

}  // namespace
}  // namespace zolfa
