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

void PrintUsage() {
  std::fprintf(stderr, "usage: cedev [--device DIR] COMMAND ...\n");
  for (const auto& [name, command] : Commands()) std::fprintf(stderr, "  cedev %s\n", command.usage);
}

}  // namespace

CommandRegistrar::CommandRegistrar(const char* name, const char* usage, CommandFn run) {
  Commands()[name] = Command{usage, run};
}

}  // namespace ce::tools

int main(int argc, char** argv) {
  using namespace ce::tools;
  std::string error;
  if (!ce::OpenDeviceRootFromArgs(argc, argv, &error)) {
    std::fprintf(stderr, "cedev: cannot open the device root: %s\n", error.c_str());
    return kExitUsage;
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    PrintUsage();
    return args.empty() ? kExitUsage : kExitOk;
  }
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
