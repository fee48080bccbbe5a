#include "tests/support/ServerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace test_support {

namespace {

std::filesystem::path MakeTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zolfa-srv-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  return made ? std::filesystem::path(made) : std::filesystem::path();
}

// Starts the binary with stdout (and, if wanted, stderr) on pipes.
int Spawn(const std::vector<std::string>& args, int* outFd, int* errFd) {
  int out[2];
  int err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return -1;
  int pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    dup2(out[1], 1);
    if (errFd != nullptr) dup2(err[1], 2);
    close(out[0]);
    close(out[1]);
    close(err[0]);
    close(err[1]);
    std::vector<char*> argv;
    std::string binary = ZOLFA_SERVER_BINARY;
    argv.push_back(binary.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  *outFd = out[0];
  if (errFd != nullptr) {
    *errFd = err[0];
  } else {
    close(err[0]);
  }
  return pid;
}

// Reads one line from fd, waiting at most timeoutMs in all.
std::string ReadLine(int fd, int timeoutMs) {
  std::string line;
  while (line.empty() || line.back() != '\n') {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) break;
    char c;
    if (read(fd, &c, 1) != 1) break;
    line.push_back(c);
  }
  return line;
}

}  // namespace

ServerProcess::ServerProcess(std::vector<std::string> args, const std::string& accounts) {
  dataDir_ = MakeTempDir();
  if (!accounts.empty()) std::ofstream(dataDir_ / "accounts.txt") << accounts;
  std::vector<std::string> all = {"--port", "0", "--data", dataDir_.string()};
  all.insert(all.end(), args.begin(), args.end());
  int outFd = -1;
  pid_ = Spawn(all, &outFd, nullptr);
  if (pid_ <= 0) return;
  std::string line = ReadLine(outFd, 10000);
  close(outFd);
  const std::string prefix = "listening on 127.0.0.1:";
  if (line.rfind(prefix, 0) == 0) port_ = std::atoi(line.c_str() + prefix.size());
}

ServerProcess::~ServerProcess() {
  Stop();
  std::error_code error;
  if (!dataDir_.empty()) std::filesystem::remove_all(dataDir_, error);
}

httplib::Result ServerProcess::Get(const std::string& target, const std::string& host,
                                   int readTimeoutMs, const std::string& agent) {
  httplib::Client client("127.0.0.1", port_);
  client.set_url_encode(false);
  client.set_read_timeout(std::chrono::milliseconds(readTimeoutMs));
  client.set_keep_alive(false);
  httplib::Headers headers{{"Host", host}};
  if (!agent.empty()) headers.emplace("User-Agent", agent);
  return client.Get(target.c_str(), headers);
}

int ServerProcess::Control(const std::string& query) {
  httplib::Result result = Get("/_control?" + query, "127.0.0.1");
  return result ? result->status : -1;
}

std::vector<std::string> ServerProcess::LogLines() const {
  std::vector<std::string> lines;
  std::ifstream in(dataDir_ / "requests.log");
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

int ServerProcess::Stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ServerProcess::RunToExit(const std::vector<std::string>& args, std::string* errorText) {
  int outFd = -1;
  int errFd = -1;
  int pid = Spawn(args, &outFd, &errFd);
  if (pid <= 0) return -1;
  close(outFd);
  // A server that unexpectedly starts is stopped after 10 s.
  std::string text;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (true) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{errFd, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
      kill(pid, SIGTERM);
      break;
    }
    char buffer[512];
    ssize_t n = read(errFd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  close(errFd);
  int status = 0;
  waitpid(pid, &status, 0);
  if (errorText != nullptr) *errorText = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace test_support
