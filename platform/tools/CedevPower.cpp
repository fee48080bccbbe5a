// cedev power [show] | power set NAME [FLAGS] | power refuse-reset CODE
//
// Shows and changes the device's power manager: the power state programs
// are told (a test makes the device "unattended" with it), the error a reset
// request gets (0 lets resets happen), and the restarts counted so far.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/system/Power.h"
#include "platform/tools/Cedev.h"

namespace ce::tools {
namespace {

constexpr char kUsage[] = "power [show] | power set NAME [FLAGS] | power refuse-reset CODE";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "cedev power: %s\nusage: cedev %s\n", message.c_str(), kUsage);
  return kExitUsage;
}

// A number in decimal or (with 0x) hexadecimal that fits 32 bits.
bool ParseNumber(const std::string& text, DWORD* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
  if (*end != '\0' || parsed > 0xFFFFFFFFull || text[0] == '-') return false;
  *value = static_cast<DWORD>(parsed);
  return true;
}

int Show() {
  WCHAR name[260] = {};
  DWORD flags = 0;
  GetSystemPowerState(name, 260, &flags);
  std::printf("state %s flags 0x%08X restarts %u\n", ToUtf8(name).c_str(), flags,
              DeviceRestartCount());
  return kExitOk;
}

int Set(const std::vector<std::string>& args) {
  if (args.size() < 2 || args.size() > 3) return UsageError("set takes NAME and maybe FLAGS");
  std::u16string name = FromUtf8(args[1]);
  if (name.empty() || name.size() >= 260) return UsageError("the state name must be 1 to 259 characters");
  DWORD flags = PowerStateFlagsOfName(name);
  if (args.size() == 3 && !ParseNumber(args[2], &flags))
    return UsageError("bad flag word \"" + args[2] + "\"");
  if (SetDevicePowerState(name, flags) != ERROR_SUCCESS) {
    std::fprintf(stderr, "cedev power: the registry cannot be written\n");
    return kExitFailed;
  }
  return kExitOk;
}

int RefuseReset(const std::vector<std::string>& args) {
  DWORD code = 0;
  if (args.size() != 2 || !ParseNumber(args[1], &code))
    return UsageError("refuse-reset takes an error code (0 allows resets)");
  if (SetDeviceResetRefusal(code) != ERROR_SUCCESS) {
    std::fprintf(stderr, "cedev power: the registry cannot be written\n");
    return kExitFailed;
  }
  return kExitOk;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty() || (args[0] == "show" && args.size() == 1)) return Show();
  if (args[0] == "set") return Set(args);
  if (args[0] == "refuse-reset") return RefuseReset(args);
  return UsageError("unknown subcommand \"" + args[0] + "\"");
}

const CommandRegistrar kRegistrar("power", kUsage, &Run);

}  // namespace
}  // namespace ce::tools
