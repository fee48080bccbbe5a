// A zolfa-server process for one test: started on port 0 with its own data
// folder, asked over HTTP, stopped and its folder removed at the end.
#pragma once

#include <httplib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

class ServerProcess {
 public:
  // Starts the server with these extra arguments. accounts, when not empty,
  // is written to accounts.txt of the data folder first.
  explicit ServerProcess(std::vector<std::string> args = {}, const std::string& accounts = "");
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  bool Started() const { return port_ > 0; }
  int Port() const { return port_; }
  const std::filesystem::path& DataDir() const { return dataDir_; }

  // GET of a target (sent as it is, no escaping added) with a Host header
  // and, when agent is not empty, that User-Agent.
  httplib::Result Get(const std::string& target, const std::string& host = "ds.zolfa.test",
                      int readTimeoutMs = 5000, const std::string& agent = "");
  // GET /_control?query; returns the status.
  int Control(const std::string& query);
  std::vector<std::string> LogLines() const;

  // Sends SIGTERM and waits; returns the exit status (or -1).
  int Stop();

  // Starts the binary with arguments and returns its exit status and what
  // it wrote to standard error (for start-up failures).
  static int RunToExit(const std::vector<std::string>& args, std::string* errorText);

 private:
  std::filesystem::path dataDir_;
  int pid_ = -1;
  int port_ = -1;
};

}  // namespace test_support
