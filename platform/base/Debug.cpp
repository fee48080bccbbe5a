#include "platform/base/Debug.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceRoot.h"
#include "platform/base/detail/DeviceState.h"

namespace ce {
namespace {

using Sink = std::function<void(const std::string&)>;

std::mutex sinkMutex;
std::shared_ptr<const Sink> sink;

bool EnvAsksForStderr() {
  const char* value = std::getenv("CE_DEBUG_STDERR");
  return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

std::atomic<bool>& ToStderr() {
  static std::atomic<bool> on{EnvAsksForStderr()};
  return on;
}

// One write(2) per line with O_APPEND, so lines of several processes never
// interleave inside a line.
void AppendToLog(const std::string& line) {
  std::filesystem::path log = RunAreaPath() / "debug.log";
  int fd = open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const char* data = line.data();
  size_t left = line.size();
  while (left > 0) {
    ssize_t n = write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data += n;
    left -= static_cast<size_t>(n);
  }
  close(fd);
}

}  // namespace

void OutputDebugString(LPCWSTR text) {
  if (text == nullptr) return;
  std::string utf8 = ToUtf8(std::u16string_view(text));
  std::shared_ptr<const Sink> current;
  {
    std::lock_guard lock(sinkMutex);
    current = sink;
  }
  // Called outside the lock: a sink may itself write debug output.
  if (current && *current) (*current)(utf8);
  // The log holds one line per call: the caller's own line end is dropped.
  std::string line = utf8;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  line.push_back('\n');
  if (detail::DeviceRootIsOpen()) AppendToLog(line);
  if (ToStderr().load(std::memory_order_relaxed)) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
  }
}

void SetDebugToStderr(bool on) { ToStderr().store(on, std::memory_order_relaxed); }

void SetDebugSink(std::function<void(const std::string&)> newSink) {
  std::lock_guard lock(sinkMutex);
  sink = newSink ? std::make_shared<const Sink>(std::move(newSink)) : nullptr;
}

}  // namespace ce
