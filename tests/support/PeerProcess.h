// A window_peer process started for a test, with its report lines.
#pragma once

#include <sys/types.h>

#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/base/Types.h"

namespace test_support {

class PeerProcess {
 public:
  PeerProcess(const std::filesystem::path& device, const std::string& className,
              const std::string& title, const std::vector<std::string>& messageNames = {});
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  // Waits (real time) for the next report line starting with prefix; lines
  // before it stay for later calls. Empty when none came.
  std::string WaitForLine(const std::string& prefix, int timeoutMs = 5000);
  // The peer's window (after "ready").
  ce::HWND Window() const { return window_; }
  ce::UINT Registered(const std::string& name) const;
  // Kills the process as a crash would and reaps it.
  void Kill();
  // Waits for the process to end; returns its exit status (-1 if killed).
  int Wait();
  pid_t Pid() const { return pid_; }

 private:
  bool ReadMore(int timeoutMs);

  pid_t pid_ = -1;
  int output_ = -1;
  std::string partial_;
  std::deque<std::string> lines_;
  bool ended_ = false;  // the peer closed its output
  std::map<std::string, ce::UINT> registered_;
  ce::HWND window_ = nullptr;
};

}  // namespace test_support
