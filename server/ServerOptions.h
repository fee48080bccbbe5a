// The command line of zolfa-server:
//   zolfa-server [--port N] [--data DIR] [--log FILE] [--session-ttl SECONDS]
//                [--lenient] [--threads N] [--request-deadline SECONDS]
//                [--music DIR [--music-db FILE]] [settings...]
// where the settings are the options of RunSettings (--fault SPEC,
// --fail-host HOST=STATUS, --delay-host HOST=MS, --delay-path PATH=MS,
// --set RULE, --drop RULE, --unclose RULE, --order RULE), each as often as
// needed. "--name value" and "--name=value" are both accepted.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace zolfa_server {

struct ServerOptions {
  int port = 0;  // 0: a free port, printed at start
  std::filesystem::path dataDir;
  std::filesystem::path logFile;
  int sessionTtlSeconds = 3600;  // 0: sessions never end by themselves
  bool lenient = false;
  // At most this many answer threads, started as connections need them.
  int threads = 256;
  // A request (line, headers, body) must arrive within this time.
  int requestDeadlineSeconds = 10;
  // A music folder served instead of the sample catalogue, and the file of
  // its scan state (default: MusicFolder::DefaultDatabase).
  std::filesystem::path musicDir;
  std::filesystem::path musicDb;
  std::vector<std::pair<std::string, std::string>> settings;
  bool help = false;

  // Returns an error text, or an empty text.
  static std::string Parse(int argc, char** argv, ServerOptions* options);
  static const char* Usage();
};

}  // namespace zolfa_server
