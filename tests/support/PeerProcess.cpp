#include "tests/support/PeerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace test_support {

PeerProcess::PeerProcess(const std::filesystem::path& device, const std::string& className,
                         const std::string& title, const std::vector<std::string>& messageNames) {
  std::vector<std::string> args = {CE_WINDOW_PEER, "--device", device.string(), "--class",
                                   className,      "--title",  title};
  for (const auto& name : messageNames) {
    args.push_back("--register");
    args.push_back(name);
  }
  // Everything the child needs is prepared before fork: between fork and
  // exec only async-signal-safe calls are allowed.
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  output_ = pipeFds[0];
  for (const auto& name : messageNames) {
    std::string line = WaitForLine("registered " + name + " ");
    registered_[name] = line.empty() ? 0 : static_cast<ce::UINT>(std::stoul(line.substr(line.rfind(' ') + 1)));
  }
  std::string ready = WaitForLine("ready ");
  if (!ready.empty()) {
    window_ = reinterpret_cast<ce::HWND>(static_cast<uintptr_t>(std::stoull(ready.substr(6), nullptr, 16)));
  }
}

PeerProcess::~PeerProcess() {
  if (pid_ > 0) Kill();
  if (output_ >= 0) ::close(output_);
}

ce::UINT PeerProcess::Registered(const std::string& name) const {
  auto it = registered_.find(name);
  return it == registered_.end() ? 0 : it->second;
}

bool PeerProcess::ReadMore(int timeoutMs) {
  if (output_ < 0) return false;
  pollfd entry{output_, POLLIN, 0};
  if (::poll(&entry, 1, timeoutMs) <= 0) return false;
  char buffer[4096];
  ssize_t n = ::read(output_, buffer, sizeof buffer);
  if (n <= 0) {
    ended_ = true;
    return false;
  }
  partial_.append(buffer, static_cast<size_t>(n));
  for (size_t end; (end = partial_.find('\n')) != std::string::npos;) {
    lines_.push_back(partial_.substr(0, end));
    partial_.erase(0, end + 1);
  }
  return true;
}

std::string PeerProcess::WaitForLine(const std::string& prefix, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    for (auto it = lines_.begin(); it != lines_.end(); ++it) {
      if (it->compare(0, prefix.size(), prefix) == 0) {
        std::string line = *it;
        lines_.erase(it);
        return line;
      }
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0 || ended_) return {};
    ReadMore(static_cast<int>(left));
  }
}

void PeerProcess::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

int PeerProcess::Wait() {
  if (pid_ <= 0) return -1;
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace test_support
