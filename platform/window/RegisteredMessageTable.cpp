#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>

#include "platform/base/DeviceRoot.h"
#include "platform/window/SystemWindows.h"
#include "platform/window/Window.h"
#include "platform/window/detail/DeviceWindowTable.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {
namespace {

constexpr UINT kFirstMessage = 0xC000;
constexpr UINT kLastMessage = 0xFFFF;
constexpr size_t kMaxNameLength = 255;

std::u16string Fold(std::u16string_view name) {
  std::u16string folded(name);
  for (auto& c : folded) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  }
  return folded;
}

// The device's registered message names: "<run>/window-messages.txt", one
// escaped name per line, the line index giving the number. Readers and
// writers of all processes hold an exclusive flock on the file, so two
// processes registering the same new name get one line. Numbers never
// change once given: a damaged line keeps its index.
class RegisteredMessageTable {
 public:
  UINT Register(std::u16string_view name) {
    std::lock_guard lock(mutex_);
    std::string root = DeviceRootPath().string();
    if (root != root_) {
      root_ = root;
      cache_.clear();
    }
    std::u16string folded = Fold(name);
    auto cached = cache_.find(folded);
    if (cached != cache_.end()) return cached->second;
    UINT number = LookUpOrAdd(name, folded);
    if (number != 0) cache_[folded] = number;
    return number;
  }

 private:
  UINT LookUpOrAdd(std::u16string_view name, const std::u16string& folded) {
    std::filesystem::path run = detail::DeviceWindowTable::RunFolder();
    std::error_code error;
    std::filesystem::create_directories(run, error);
    std::filesystem::path path = run / "window-messages.txt";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
      SetLastError(ERROR_ACCESS_DENIED);
      return 0;
    }
    while (::flock(fd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
      }
    }
    UINT number = LookUpOrAddLocked(fd, name, folded);
    ::close(fd);  // releases the lock
    return number;
  }

  UINT LookUpOrAddLocked(int fd, std::u16string_view name, const std::u16string& folded) {
    std::string content;
    char buffer[4096];
    for (;;) {
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      content.append(buffer, static_cast<size_t>(n));
      if (content.size() > (kLastMessage - kFirstMessage + 1) * (kMaxNameLength * 9 + 2)) break;
    }
    size_t index = 0;
    size_t start = 0;
    while (start < content.size()) {
      size_t end = content.find('\n', start);
      std::string line = content.substr(start, end == std::string::npos ? std::string::npos
                                                                        : end - start);
      auto entry = detail::DeviceWindowTable::UnescapeField(line);
      if (entry && Fold(*entry) == folded) return kFirstMessage + static_cast<UINT>(index);
      ++index;
      if (end == std::string::npos) break;
      start = end + 1;
    }
    if (kFirstMessage + index > kLastMessage) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    // A line cut short by a crash stays a line of its own.
    std::string append;
    if (!content.empty() && content.back() != '\n') append = "\n";
    append += detail::DeviceWindowTable::EscapeField(std::u16string(name)) + "\n";
    if (::lseek(fd, 0, SEEK_END) < 0 ||
        ::write(fd, append.data(), append.size()) != static_cast<ssize_t>(append.size())) {
      SetLastError(ERROR_WRITE_FAULT);
      return 0;
    }
    return kFirstMessage + static_cast<UINT>(index);
  }

  std::mutex mutex_;
  std::string root_;
  std::map<std::u16string, UINT> cache_;
};

}  // namespace

UINT RegisterWindowMessage(LPCWSTR name) {
  if (name == nullptr || name[0] == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string_view view(name);
  if (view.size() > kMaxNameLength) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  static RegisteredMessageTable* table = new RegisteredMessageTable;  // used until exit
  return table->Register(view);
}

}  // namespace ce
