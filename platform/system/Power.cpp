#include "platform/system/Power.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/DeviceRoot.h"
#include "platform/base/Registry.h"
#include "platform/window/detail/DeviceWindowTable.h"

namespace ce {
namespace {

constexpr const char16_t* kPowerKey = u"System\\Platform\\Power";

struct NamedState {
  const char16_t* name;
  DWORD flags;
};
constexpr NamedState kStates[] = {
    {u"on", POWER_STATE_ON},
    {u"off", POWER_STATE_OFF},
    {u"critical", POWER_STATE_CRITICAL},
    {u"boot", POWER_STATE_BOOT},
    {u"idle", POWER_STATE_IDLE},
    {u"suspend", POWER_STATE_SUSPEND},
    {u"unattended", POWER_STATE_UNATTENDED},
    {u"reset", POWER_STATE_RESET},
    {u"useridle", POWER_STATE_USERIDLE},
    {u"backlighton", POWER_STATE_BACKLIGHTON},
    {u"password", POWER_STATE_PASSWORD},
};

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameName(const std::u16string& a, const char16_t* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != 0; ++i)
    if (Lower(a[i]) != b[i]) return false;
  return i == a.size() && b[i] == 0;
}

std::optional<std::u16string> ReadString(HKEY key, const char16_t* name) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueEx(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  std::u16string text(size / sizeof(char16_t) + 1, u'\0');
  DWORD bytes = static_cast<DWORD>(text.size() * sizeof(char16_t));
  if (RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(bytes / sizeof(char16_t));
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

// A DWORD of however many data bytes were stored (little-endian).
std::optional<DWORD> ReadDword(HKEY key, const char16_t* name) {
  BYTE data[8] = {};
  DWORD type = REG_NONE;
  DWORD size = sizeof(data);
  if (RegQueryValueEx(key, name, nullptr, &type, data, &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return std::nullopt;
  }
  DWORD value = 0;
  for (DWORD i = 0; i < size && i < 4; ++i) value |= DWORD{data[i]} << (8 * i);
  return value;
}

struct PowerSetting {
  std::u16string name = u"on";
  DWORD flags = POWER_STATE_ON;
  DWORD refuseReset = 0;
};

PowerSetting ReadSetting() {
  PowerSetting setting;
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kPowerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return setting;
  std::optional<std::u16string> name = ReadString(key, u"State");
  std::optional<DWORD> flags = ReadDword(key, u"Flags");
  if (name && flags) {
    setting.name = *name;
    setting.flags = *flags;
  } else if (name) {
    setting.name = *name;
    setting.flags = PowerStateFlagsOfName(*name);
  } else if (flags) {
    setting.flags = *flags;
    setting.name = PowerStateNameOfFlags(*flags);
  }
  setting.refuseReset = ReadDword(key, u"RefuseReset").value_or(0);
  RegCloseKey(key);
  return setting;
}

LONG WriteSetting(const char16_t* name, DWORD type, const BYTE* data, DWORD size) {
  HKEY key = nullptr;
  LONG result = RegCreateKeyEx(HKEY_LOCAL_MACHINE, kPowerKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                               nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS) return result;
  result = RegSetValueEx(key, name, 0, type, data, size);
  RegCloseKey(key);
  return result;
}

std::filesystem::path PowerFolder() { return RunAreaPath() / "power"; }

// Adds one restart under the run area's lock file, so that two resets of
// one device never count as one.
void CountRestart() {
  std::error_code ignored;
  std::filesystem::create_directories(PowerFolder(), ignored);
  int lock = open((PowerFolder() / "lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lock >= 0) flock(lock, LOCK_EX);
  uint32_t count = DeviceRestartCount() + 1;
  std::filesystem::path file = PowerFolder() / "restarts";
  std::filesystem::path temp = PowerFolder() / ("restarts." + std::to_string(getpid()) + ".tmp");
  {
    std::ofstream out(temp, std::ios::trunc);
    out << count << "\n";
  }
  std::filesystem::rename(temp, file, ignored);
  if (lock >= 0) close(lock);  // releases the lock
}

// Ends every other process that has a window on the device.
void EndDevicePrograms(bool force) {
  pid_t self = getpid();
  for (const auto& process : detail::DeviceWindowTable::OtherProcesses(0)) {
    if (process.pid == self) continue;
    // The pid must still be the process the table names, not a newcomer.
    if (detail::ProcessStartTime(process.pid) != process.startTime) continue;
    kill(process.pid, force ? SIGKILL : SIGTERM);
  }
}

}  // namespace

DWORD PowerStateFlagsOfName(const std::u16string& name) {
  for (const auto& state : kStates)
    if (SameName(name, state.name)) return state.flags;
  return 0;
}

std::u16string PowerStateNameOfFlags(DWORD flags) {
  for (const auto& state : kStates)
    if (state.flags == flags) return state.name;
  return std::u16string();
}

DWORD GetSystemPowerState(LPWSTR buffer, DWORD length, DWORD* flags) {
  PowerSetting setting = ReadSetting();
  if (buffer) {
    if (length < setting.name.size() + 1) return ERROR_INSUFFICIENT_BUFFER;
    setting.name.copy(buffer, setting.name.size());
    buffer[setting.name.size()] = u'\0';
  }
  if (flags) *flags = setting.flags;
  return ERROR_SUCCESS;
}

DWORD SetSystemPowerState(LPCWSTR state, DWORD flags, DWORD options) {
  std::u16string name;
  if (state) {
    name = state;
    flags = PowerStateFlagsOfName(name);
    if (flags == 0) return ERROR_INVALID_PARAMETER;
  } else {
    name = PowerStateNameOfFlags(flags);
    if (name.empty()) return ERROR_INVALID_PARAMETER;
  }
  switch (flags) {
    case POWER_STATE_RESET: {
      PowerSetting setting = ReadSetting();
      if (setting.refuseReset != 0) return setting.refuseReset;
      CountRestart();
      EndDevicePrograms((options & POWER_FORCE) != 0);
      std::fflush(nullptr);
      _exit(0);
    }
    case POWER_STATE_OFF:
    case POWER_STATE_SUSPEND:
    case POWER_STATE_CRITICAL:
    case POWER_STATE_BOOT:
      return ERROR_NOT_SUPPORTED;
    default:
      return static_cast<DWORD>(SetDevicePowerState(name, flags));
  }
}

uint32_t DeviceRestartCount() {
  std::ifstream in(PowerFolder() / "restarts");
  uint32_t count = 0;
  if (!(in >> count)) return 0;
  return count;
}

LONG SetDevicePowerState(const std::u16string& name, DWORD flags) {
  LONG result = WriteSetting(u"State", REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                             static_cast<DWORD>((name.size() + 1) * sizeof(char16_t)));
  if (result != ERROR_SUCCESS) return result;
  return WriteSetting(u"Flags", REG_DWORD, reinterpret_cast<const BYTE*>(&flags), sizeof(flags));
}

LONG SetDeviceResetRefusal(DWORD error) {
  return WriteSetting(u"RefuseReset", REG_DWORD, reinterpret_cast<const BYTE*>(&error),
                      sizeof(error));
}

}  // namespace ce
