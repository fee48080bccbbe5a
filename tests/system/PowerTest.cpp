#include "platform/system/Power.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#include "platform/base/Registry.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/PeerProcess.h"

namespace ce {
namespace {

using test_support::PeerProcess;

struct Reported {
  std::u16string name;
  DWORD flags = 0;
};

Reported Query() {
  WCHAR name[260] = {};
  Reported reported;
  EXPECT_EQ(GetSystemPowerState(name, 260, &reported.flags), static_cast<DWORD>(ERROR_SUCCESS));
  reported.name = name;
  return reported;
}

void WriteRaw(const char16_t* value, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, u"System\\Platform\\Power", 0, nullptr, 0,
                           KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueEx(key, value, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

TEST(PowerStateTest, TheDeviceSettingIsWhatTheQueryReports) {
  testing::TempDeviceRoot root;
  Reported fresh = Query();
  EXPECT_EQ(fresh.name, u"on");
  EXPECT_EQ(fresh.flags, POWER_STATE_ON);

  ASSERT_EQ(SetDevicePowerState(u"unattended", POWER_STATE_UNATTENDED), ERROR_SUCCESS);
  EXPECT_EQ(Query().name, u"unattended");
  EXPECT_EQ(Query().flags, POWER_STATE_UNATTENDED);
  ASSERT_EQ(SetDevicePowerState(u"resuming", 0), ERROR_SUCCESS);
  EXPECT_EQ(Query().name, u"resuming");
  EXPECT_EQ(Query().flags, 0u);

  // A name or flag word alone is completed from the other.
  testing::TempDeviceRoot other;
  DWORD password = POWER_STATE_PASSWORD;
  WriteRaw(u"Flags", REG_DWORD, &password, 1 + 3);
  EXPECT_EQ(Query().name, u"password");
  EXPECT_EQ(Query().flags, POWER_STATE_PASSWORD);

  // The name needs room for its terminator; the flags alone need no buffer.
  WCHAR small[8];
  EXPECT_EQ(GetSystemPowerState(small, 8, nullptr), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  DWORD flags = 0;
  EXPECT_EQ(GetSystemPowerState(nullptr, 0, &flags), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(flags, POWER_STATE_PASSWORD);
}

TEST(PowerStateTest, RequestsForStatesOtherThanResetChangeTheStateOrAreRefused) {
  testing::TempDeviceRoot root;
  struct Case {
    const char16_t* name;
    DWORD flags;
    DWORD result;
    const char16_t* reported;
  };
  const Case cases[] = {
      {u"Unattended", 0, ERROR_SUCCESS, u"Unattended"},
      {nullptr, POWER_STATE_IDLE, ERROR_SUCCESS, u"idle"},
      {u"on", 0, ERROR_SUCCESS, u"on"},
      {u"suspend", 0, ERROR_NOT_SUPPORTED, u"on"},
      {nullptr, POWER_STATE_OFF, ERROR_NOT_SUPPORTED, u"on"},
      {u"sleepy", 0, ERROR_INVALID_PARAMETER, u"on"},
      {nullptr, POWER_STATE_ON | POWER_STATE_IDLE, ERROR_INVALID_PARAMETER, u"on"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name ? std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name))
                        : std::to_string(c.flags));
    EXPECT_EQ(SetSystemPowerState(c.name, c.flags, POWER_FORCE), c.result);
    EXPECT_EQ(Query().name, c.reported);
  }
}

TEST(PowerStateTest, AResetEndsTheDeviceProgramsAndCountsOneRestart) {
  testing::TempDeviceRoot root;
  for (DWORD options : {POWER_FORCE, DWORD{0}}) {
    SCOPED_TRACE(options);
    PeerProcess program(root.Path(), "ZOLFACE", "ZolfaCE");
    ASSERT_NE(program.Window(), nullptr);
    uint32_t before = DeviceRestartCount();
    // The caller is a program of the device too: it ends as well.
    int code = testing::RunInChildProcess([&] {
      SetSystemPowerState(nullptr, POWER_STATE_RESET, options);
      return 99;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(program.Wait(), -1);  // ended by the reset, not by itself
    EXPECT_EQ(DeviceRestartCount(), before + 1);
  }
}

TEST(PowerStateTest, ARefusedResetReturnsItsErrorAndEndsNothing) {
  testing::TempDeviceRoot root;
  PeerProcess program(root.Path(), "ZOLFACE", "ZolfaCE");
  ASSERT_NE(program.Window(), nullptr);
  ASSERT_EQ(SetDeviceResetRefusal(ERROR_ACCESS_DENIED), ERROR_SUCCESS);
  EXPECT_EQ(SetSystemPowerState(u"reset", 0, POWER_FORCE), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(DeviceRestartCount(), 0u);
  EXPECT_EQ(kill(program.Pid(), 0), 0);  // still running
}

}  // namespace
}  // namespace ce
