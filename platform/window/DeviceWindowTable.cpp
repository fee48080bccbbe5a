#include "platform/window/detail/DeviceWindowTable.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceRoot.h"

namespace ce::detail {
namespace {

constexpr char kHeader[] = "ce-window-table 1";
constexpr size_t kMaxFileBytes = 1 << 20;
constexpr size_t kMaxWindowsPerProcess = 4096;

// Strings are UTF-8 with every byte below 0x21, 0x7F and '%' written as
// %XX, so that a field never holds a space or a line break. A leading '='
// keeps empty strings visible as a field.
std::string Escape(const std::u16string& text) {
  std::string utf8 = ToUtf8(text);
  std::string out = "=";
  for (unsigned char c : utf8) {
    if (c < 0x21 || c == 0x7F || c == '%') {
      char buffer[4];
      std::snprintf(buffer, sizeof buffer, "%%%02X", c);
      out += buffer;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::u16string> Unescape(const std::string& field) {
  if (field.empty() || field[0] != '=') return std::nullopt;
  std::string utf8;
  for (size_t i = 1; i < field.size(); ++i) {
    if (field[i] != '%') {
      utf8 += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return std::nullopt;
    int high = HexDigit(field[i + 1]);
    int low = HexDigit(field[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    utf8 += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return FromUtf8(utf8);
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (in >> field) fields.push_back(field);
  return fields;
}

bool ParseUnsigned(const std::string& text, int base, uint64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long parsed = std::strtoull(text.c_str(), &end, base);
  if (errno != 0 || end != text.c_str() + text.size() || HexDigit(text[0]) < 0) return false;
  *value = parsed;
  return true;
}

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(kMaxFileBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  if (text.size() > kMaxFileBytes) return std::nullopt;
  return text;
}

// Writes a file so that readers see either the old or the new content.
bool ReplaceFile(const std::filesystem::path& path, const std::filesystem::path& temp,
                 const std::string& content) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t written = 0;
  while (written < content.size()) {
    ssize_t n = ::write(fd, content.data() + written, content.size() - written);
    if (n <= 0) {
      ::close(fd);
      ::unlink(temp.c_str());
      return false;
    }
    written += static_cast<size_t>(n);
  }
  ::close(fd);
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

std::filesystem::path ProcessFile(uint32_t key) {
  char name[32];
  std::snprintf(name, sizeof name, "p%08x.txt", key);
  return DeviceWindowTable::RunFolder() / "windows" / name;
}

uint64_t OwnStartTime() {
  static const uint64_t startTime = ProcessStartTime(getpid()).value_or(0);
  return startTime;
}

// This process's entry is removed at a normal exit; a crash leaves it to the
// liveness check of the next reader.
std::mutex exitMutex;
std::filesystem::path publishedFile;
pid_t publishedBy = 0;

void RemoveOwnEntry() {
  std::lock_guard lock(exitMutex);
  if (publishedBy == getpid() && !publishedFile.empty()) ::unlink(publishedFile.c_str());
  publishedFile.clear();
}

bool IsAlive(const DeviceProcess& process) {
  auto startTime = ProcessStartTime(process.pid);
  return startTime && *startTime == process.startTime;
}

std::optional<DeviceProcess> ReadProcess(uint32_t key, const std::filesystem::path& path) {
  auto text = ReadSmallFile(path);
  if (!text) return std::nullopt;
  auto process = DeviceWindowTable::Parse(key, *text);
  if (!process || !IsAlive(*process)) {
    // Ended (or unreadable) entries would otherwise be found forever.
    ::unlink(path.c_str());
    return std::nullopt;
  }
  return process;
}

}  // namespace

std::optional<uint64_t> ProcessStartTime(pid_t pid) {
  if (pid <= 0) return std::nullopt;
  auto text = ReadSmallFile("/proc/" + std::to_string(pid) + "/stat");
  if (!text) return std::nullopt;
  // The command name may hold spaces and parentheses; the fields after the
  // last ')' are fixed: state is the first, start time the twentieth.
  size_t close = text->rfind(')');
  if (close == std::string::npos) return std::nullopt;
  auto fields = Split(text->substr(close + 1));
  if (fields.size() < 20) return std::nullopt;
  if (fields[0] == "Z" || fields[0] == "X" || fields[0] == "x") return std::nullopt;
  uint64_t startTime = 0;
  if (!ParseUnsigned(fields[19], 10, &startTime)) return std::nullopt;
  return startTime;
}

std::filesystem::path DeviceWindowTable::RunFolder() { return DeviceRootPath() / "run"; }

std::string DeviceWindowTable::EscapeField(const std::u16string& text) { return Escape(text); }

std::optional<std::u16string> DeviceWindowTable::UnescapeField(const std::string& field) {
  return Unescape(field);
}

std::string DeviceWindowTable::Format(pid_t pid, uint64_t startTime,
                                      const std::vector<PublishedWindow>& windows) {
  std::string out = std::string(kHeader) + "\n";
  out += "process " + std::to_string(pid) + " " + std::to_string(startTime) + "\n";
  for (const auto& window : windows) {
    char serial[16];
    std::snprintf(serial, sizeof serial, "%08x", window.serial);
    out += std::string("window ") + serial + " " + Escape(window.className) + " " +
           Escape(window.title) + "\n";
  }
  return out;
}

std::optional<DeviceProcess> DeviceWindowTable::Parse(uint32_t key, const std::string& text) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return std::nullopt;
  if (!std::getline(in, line)) return std::nullopt;
  auto fields = Split(line);
  uint64_t pid = 0;
  uint64_t startTime = 0;
  if (fields.size() != 3 || fields[0] != "process" || !ParseUnsigned(fields[1], 10, &pid) ||
      pid == 0 || pid > 0x7FFFFFFF || !ParseUnsigned(fields[2], 10, &startTime)) {
    return std::nullopt;
  }
  DeviceProcess process;
  process.key = key;
  process.pid = static_cast<pid_t>(pid);
  process.startTime = startTime;
  while (std::getline(in, line) && process.windows.size() < kMaxWindowsPerProcess) {
    fields = Split(line);
    uint64_t serial = 0;
    if (fields.size() != 4 || fields[0] != "window" || !ParseUnsigned(fields[1], 16, &serial) ||
        serial > 0xFFFFFFFFu) {
      continue;  // a damaged line loses only itself
    }
    auto className = Unescape(fields[2]);
    auto title = Unescape(fields[3]);
    if (!className || !title) continue;
    process.windows.push_back({static_cast<uint32_t>(serial), *className, *title});
  }
  return process;
}

bool DeviceWindowTable::Publish(uint32_t key, const std::vector<PublishedWindow>& windows) {
  std::filesystem::path path = ProcessFile(key);
  {
    std::lock_guard lock(exitMutex);
    if (publishedBy == 0) std::atexit(RemoveOwnEntry);
    if (!publishedFile.empty() && publishedFile != path) ::unlink(publishedFile.c_str());
    publishedBy = getpid();
    publishedFile = windows.empty() ? std::filesystem::path() : path;
  }
  if (windows.empty()) {
    ::unlink(path.c_str());
    return true;
  }
  std::filesystem::path temp = path;
  temp.replace_extension(".tmp");
  return ReplaceFile(path, temp, Format(getpid(), OwnStartTime(), windows));
}

std::vector<DeviceProcess> DeviceWindowTable::OtherProcesses(uint32_t ownKey) {
  std::vector<DeviceProcess> processes;
  std::error_code error;
  std::filesystem::directory_iterator it(RunFolder() / "windows", error);
  if (error) return processes;
  for (const auto& entry : it) {
    std::string name = entry.path().filename().string();
    if (name.size() != 13 || name[0] != 'p' || name.substr(9) != ".txt") continue;
    uint64_t key = 0;
    if (!ParseUnsigned(name.substr(1, 8), 16, &key) || key == ownKey) continue;
    if (auto process = ReadProcess(static_cast<uint32_t>(key), entry.path())) {
      processes.push_back(std::move(*process));
    }
  }
  return processes;
}

std::optional<DeviceProcess> DeviceWindowTable::FindProcess(uint32_t key) {
  return ReadProcess(key, ProcessFile(key));
}

void DeviceWindowTable::WriteForeground(uint32_t ownKey, HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "%016llx\n",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  std::filesystem::path path = RunFolder() / "windows" / "foreground";
  char tempName[40];
  std::snprintf(tempName, sizeof tempName, "foreground.%08x.tmp", ownKey);
  std::filesystem::path temp = RunFolder() / "windows" / tempName;
  ReplaceFile(path, temp, text);
}

HWND DeviceWindowTable::ReadForeground() {
  auto text = ReadSmallFile(RunFolder() / "windows" / "foreground");
  if (!text) return nullptr;
  while (!text->empty() && (text->back() == '\n' || text->back() == '\r')) text->pop_back();
  uint64_t value = 0;
  if (!ParseUnsigned(*text, 16, &value)) return nullptr;
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

}  // namespace ce::detail
