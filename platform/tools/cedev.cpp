// cedev [--device DIR] COMMAND ARGS...
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/base/DeviceRoot.h"
#include "platform/tools/Cedev.h"

namespace ce::tools {
namespace {

struct Command {
  const char* usage;
  CommandFn run;
};

std::map<std::string, Command>& Commands() {
  static std::map<std::string, Command> commands;
  return commands;
}

void PrintUsage(FILE* out = stderr) {
  std::fprintf(out, "usage: cedev [--device DIR] COMMAND ...\n");
  for (const auto& [name, command] : Commands()) std::fprintf(out, "  cedev %s\n", command.usage);
}

// True when the command line asks for the usage (or names no command at all):
// answered before the device root is opened, so that asking creates nothing.
bool WantsUsageOnly(int argc, char** argv, bool* asked) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--device") {
      ++i;
      continue;
    }
    if (arg.rfind("--device=", 0) == 0) continue;
    *asked = arg == "--help" || arg == "-h";
    return *asked;
  }
  *asked = false;
  return true;
}

}  // namespace

CommandRegistrar::CommandRegistrar(const char* name, const char* usage, CommandFn run) {
  Commands()[name] = Command{usage, run};
}

}  // namespace ce::tools

int main(int argc, char** argv) {
  using namespace ce::tools;
  bool asked = false;
  if (WantsUsageOnly(argc, argv, &asked)) {
    PrintUsage(asked ? stdout : stderr);
    return asked ? kExitOk : kExitUsage;
  }
  std::string error;
  if (!ce::OpenDeviceRootFromArgs(argc, argv, &error)) {
    std::fprintf(stderr, "cedev: cannot open the device root: %s\n", error.c_str());
    return kExitUsage;
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  auto it = Commands().find(args[0]);
  if (it == Commands().end()) {
    std::fprintf(stderr, "cedev: unknown command \"%s\"\n", args[0].c_str());
    PrintUsage();
    return kExitUsage;
  }
  args.erase(args.begin());
  int code = it->second.run(args);
  ce::CloseDeviceRoot();
  return code;
}
