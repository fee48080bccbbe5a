#include "server/ServerOptions.h"

#include "server/RunSettings.h"

namespace zolfa_server {

namespace {

bool ParseInt(const std::string& text, int low, int high, int* value) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  int number = std::stoi(text);
  if (number < low || number > high) return false;
  *value = number;
  return true;
}

}  // namespace

const char* ServerOptions::Usage() {
  return "usage: zolfa-server [--port N] [--data DIR] [--log FILE] [--session-ttl SECONDS]\n"
         "                    [--lenient] [--threads N] [--request-deadline SECONDS]\n"
         "                    [--music DIR [--music-db FILE]]\n"
         "                    [--fault SPEC] [--fail-host HOST=STATUS] [--delay-host HOST=MS]\n"
         "                    [--delay-path PATH=MS] [--set [KIND:]NAME=VALUE]\n"
         "                    [--drop [KIND:]NAME] [--unclose [KIND:]NAME]\n"
         "                    [--order [KIND:]NAME,NAME...]\n"
         "Listens on 127.0.0.1 (port 0: a free port) and prints \"listening on "
         "127.0.0.1:PORT\".\n"
         "See server/README.md for the settings and the /_control endpoint.\n";
}

std::string ServerOptions::Parse(int argc, char** argv, ServerOptions* options) {
  ServerOptions result;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      result.help = true;
      continue;
    }
    if (arg.rfind("--", 0) != 0) return "unexpected argument \"" + arg + "\"";
    std::string name = arg.substr(2);
    std::string value;
    bool hasValue = false;
    size_t equals = name.find('=');
    if (equals != std::string::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
      hasValue = true;
    }
    if (name == "lenient") {
      if (hasValue) return "--lenient takes no value";
      result.lenient = true;
      continue;
    }
    bool known = name == "port" || name == "data" || name == "log" || name == "session-ttl" ||
                 name == "threads" || name == "request-deadline" || name == "music" ||
                 name == "music-db" || RunSettings::IsSettingOption(name);
    if (!known) return "unknown option --" + name;
    if (!hasValue) {
      if (i + 1 >= argc) return "--" + name + " needs a value";
      value = argv[++i];
    }
    if (name == "port") {
      if (!ParseInt(value, 0, 65535, &result.port)) return "--port must be 0 to 65535";
    } else if (name == "data") {
      if (value.empty()) return "--data needs a folder";
      result.dataDir = value;
    } else if (name == "log") {
      if (value.empty()) return "--log needs a file";
      result.logFile = value;
    } else if (name == "session-ttl") {
      if (!ParseInt(value, 0, 100000000, &result.sessionTtlSeconds)) {
        return "--session-ttl must be a number of seconds";
      }
    } else if (name == "threads") {
      if (!ParseInt(value, 1, 1024, &result.threads)) return "--threads must be 1 to 1024";
    } else if (name == "request-deadline") {
      if (!ParseInt(value, 1, 3600, &result.requestDeadlineSeconds)) {
        return "--request-deadline must be 1 to 3600 seconds";
      }
    } else if (name == "music") {
      if (value.empty()) return "--music needs a folder";
      result.musicDir = value;
    } else if (name == "music-db") {
      if (value.empty()) return "--music-db needs a file";
      result.musicDb = value;
    } else if (RunSettings::IsSettingOption(name)) {
      result.settings.emplace_back(name, value);
    } else {
      return "unknown option --" + name;
    }
  }
  if (!result.musicDb.empty() && result.musicDir.empty()) return "--music-db needs --music";
  *options = std::move(result);
  return std::string();
}

}  // namespace zolfa_server
