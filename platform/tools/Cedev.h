// The device tool: commands for people who work with a device root.
// Each command family lives in its own file and registers itself here.
#pragma once

#include <string>
#include <vector>

namespace ce::tools {

// Exit codes of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the command ran and failed (key absent, ...)
constexpr int kExitUsage = 2;   // bad arguments, bad data, bad path: nothing was written

using CommandFn = int (*)(const std::vector<std::string>& args);

struct CommandRegistrar {
  CommandRegistrar(const char* name, const char* usage, CommandFn run);
};

}  // namespace ce::tools
