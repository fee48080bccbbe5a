#include "zolfa/app/MediaPlayerValues.h"

#include <gtest/gtest.h>

#include "platform/testing/TestSupport.h"
#include "tests/app/RegistryProbe.h"
#include "zolfa/app/ZolfaPaths.h"

namespace zolfa {
namespace {

using testing::ReadStored;
using testing::WriteStored;

const std::u16string kKey(kMediaStreamingKey);

std::vector<ce::BYTE> Stored(std::u16string_view name) {
  auto value = ReadStored(ce::HKEY_LOCAL_MACHINE, kKey, std::u16string(name));
  EXPECT_TRUE(value);
  if (!value) return {};
  EXPECT_EQ(value->type, ce::REG_DWORD);
  return value->data;
}

TEST(MediaPlayerValuesTest, AbsentValuesAreWritten) {
  ce::testing::TempDeviceRoot root;
  SetMediaPlayerStreamingValues();
  EXPECT_EQ(Stored(kConnectionSpeedValue), (std::vector<ce::BYTE>{0x80, 0x25, 0, 0}));
  EXPECT_EQ(Stored(kStreamingBufferValue), (std::vector<ce::BYTE>{20, 0, 0, 0}));
  EXPECT_EQ(Stored(kLocalBufferValue), (std::vector<ce::BYTE>{20, 0, 0, 0}));
}

// Values stored with short data show by their length whether they were
// written again: a rewrite always stores 4 bytes.
TEST(MediaPlayerValuesTest, OnlyDifferingValuesAreWritten) {
  ce::testing::TempDeviceRoot root;
  WriteStored(ce::HKEY_LOCAL_MACHINE, kKey, std::u16string(kConnectionSpeedValue), ce::REG_DWORD, {0x80, 0x25});
  WriteStored(ce::HKEY_LOCAL_MACHINE, kKey, std::u16string(kStreamingBufferValue), ce::REG_DWORD, {20});
  WriteStored(ce::HKEY_LOCAL_MACHINE, kKey, std::u16string(kLocalBufferValue), ce::REG_DWORD, {5});
  SetMediaPlayerStreamingValues();
  EXPECT_EQ(Stored(kConnectionSpeedValue), (std::vector<ce::BYTE>{0x80, 0x25}));
  EXPECT_EQ(Stored(kStreamingBufferValue), (std::vector<ce::BYTE>{20}));
  EXPECT_EQ(Stored(kLocalBufferValue), (std::vector<ce::BYTE>{20, 0, 0, 0}));
}

}  // namespace
}  // namespace zolfa
