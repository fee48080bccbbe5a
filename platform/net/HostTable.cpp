#include "platform/net/HostTable.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "platform/base/DeviceRoot.h"

namespace ce {
namespace {

constexpr size_t kMaxNameLength = 253;

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_';
}

bool IsHostName(std::string_view text) {
  return !text.empty() && text.size() <= kMaxNameLength && text.front() != '.' &&
         std::all_of(text.begin(), text.end(), IsNameChar);
}

// A decimal port 1..65535 without sign or spaces.
bool ParsePort(std::string_view text, uint16_t* port) {
  if (text.empty() || text.size() > 5) return false;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (value == 0 || value > 65535) return false;
  *port = static_cast<uint16_t>(value);
  return true;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool SameKey(const HostTable::Key& a, const HostTable::Key& b) {
  return a.port == b.port && EqualNoCase(a.name, b.name);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::filesystem::path HostTable::DefaultPath() { return DeviceRootPath() / "hosts"; }

bool HostTable::ParseKey(std::string_view text, Key* key) {
  Key parsed;
  size_t colon = text.find(':');
  std::string_view name = text.substr(0, colon);
  if (!IsHostName(name)) return false;
  if (colon != std::string_view::npos && !ParsePort(text.substr(colon + 1), &parsed.port))
    return false;
  parsed.name = std::string(name);
  *key = parsed;
  return true;
}

bool HostTable::ParseEndpoint(std::string_view text, Endpoint* endpoint) {
  Endpoint parsed;
  std::string_view address;
  std::string_view port;
  if (!text.empty() && text.front() == '[') {
    size_t close = text.find(']');
    if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':')
      return false;
    address = text.substr(1, close - 1);
    port = text.substr(close + 2);
    in6_addr ip6{};
    if (address.empty() || inet_pton(AF_INET6, std::string(address).c_str(), &ip6) != 1)
      return false;
  } else {
    size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return false;
    address = text.substr(0, colon);
    port = text.substr(colon + 1);
    // A dotted address must be a valid IPv4 address; anything else a name.
    in_addr ip4{};
    bool looksNumeric = !address.empty() && std::all_of(address.begin(), address.end(), [](char c) {
      return (c >= '0' && c <= '9') || c == '.';
    });
    if (looksNumeric ? inet_pton(AF_INET, std::string(address).c_str(), &ip4) != 1
                     : !IsHostName(address))
      return false;
  }
  if (!ParsePort(port, &parsed.port)) return false;
  parsed.address = std::string(address);
  *endpoint = parsed;
  return true;
}

std::string HostTable::FormatKey(const Key& key) {
  return key.port == 0 ? key.name : key.name + ":" + std::to_string(key.port);
}

std::string HostTable::FormatEndpoint(const Endpoint& endpoint) {
  bool ip6 = endpoint.address.find(':') != std::string::npos;
  std::string address = ip6 ? "[" + endpoint.address + "]" : endpoint.address;
  return address + ":" + std::to_string(endpoint.port);
}

std::optional<HostTable::Entry> HostTable::ParseLine(std::string_view text) {
  text = Trim(text);
  size_t space = text.find_first_of(" \t");
  if (space == std::string_view::npos) return std::nullopt;
  Entry entry;
  if (!ParseKey(text.substr(0, space), &entry.key)) return std::nullopt;
  if (!ParseEndpoint(Trim(text.substr(space)), &entry.endpoint)) return std::nullopt;
  return entry;
}

bool HostTable::Load(const std::filesystem::path& path, std::string* error) {
  lines_.clear();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return true;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot read " + path.string() + ": " + std::strerror(errno);
    return false;
  }
  std::string text;
  while (std::getline(in, text)) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    lines_.push_back(Line{text, ParseLine(text)});
  }
  if (in.bad()) {
    if (error) *error = "cannot read " + path.string();
    lines_.clear();
    return false;
  }
  return true;
}

bool HostTable::Save(const std::filesystem::path& path, std::string* error) const {
  // A temporary name of this writer's own: two writers never share one.
  std::string temp = path.string() + ".XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = "cannot write " + temp + ": " + std::strerror(errno);
    return false;
  }
  std::string text;
  for (const Line& line : lines_) text += line.text + '\n';
  bool written = true;
  for (size_t done = 0; written && done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    written = n > 0;
    if (written) done += static_cast<size_t>(n);
  }
  written = written && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
  int writeErrno = errno;
  written = close(fd) == 0 && written;
  if (!written) {
    if (error) *error = "cannot write " + temp + ": " + std::strerror(writeErrno);
    unlink(temp.c_str());
    return false;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    if (error) *error = "cannot replace " + path.string() + ": " + std::strerror(errno);
    unlink(temp.c_str());
    return false;
  }
  return true;
}

HostTable::EditLock::~EditLock() {
  if (fd_ >= 0) close(fd_);
}

bool HostTable::EditLock::Take(const std::filesystem::path& table, std::string* error) {
  std::string lockFile = table.string() + ".lock";
  int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  int result = fd < 0 ? -1 : 0;
  while (fd >= 0 && (result = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (result != 0) {
    if (error) *error = "cannot lock " + lockFile + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  if (fd_ >= 0) close(fd_);
  fd_ = fd;
  return true;
}

void HostTable::Add(const Key& key, const Endpoint& endpoint) {
  Entry entry{key, endpoint};
  std::string text = FormatKey(key) + " " + FormatEndpoint(endpoint);
  for (Line& line : lines_) {
    if (line.entry && SameKey(line.entry->key, key)) {
      line = Line{text, entry};
      return;
    }
  }
  lines_.push_back(Line{text, entry});
}

bool HostTable::Remove(const Key& key) {
  auto gone = std::remove_if(lines_.begin(), lines_.end(), [&](const Line& line) {
    return line.entry && SameKey(line.entry->key, key);
  });
  bool removed = gone != lines_.end();
  lines_.erase(gone, lines_.end());
  return removed;
}

std::optional<HostTable::Endpoint> HostTable::Lookup(std::string_view name, uint16_t port) const {
  std::optional<Endpoint> anyPort;
  for (const Line& line : lines_) {
    if (!line.entry || !EqualNoCase(line.entry->key.name, name)) continue;
    if (line.entry->key.port == port && port != 0) return line.entry->endpoint;
    if (line.entry->key.port == 0 && !anyPort) anyPort = line.entry->endpoint;
  }
  return anyPort;
}

std::vector<HostTable::Entry> HostTable::Entries() const {
  std::vector<Entry> entries;
  for (const Line& line : lines_)
    if (line.entry) entries.push_back(*line.entry);
  return entries;
}

std::vector<std::string> HostTable::BadLines() const {
  std::vector<std::string> bad;
  for (const Line& line : lines_) {
    std::string_view text = Trim(line.text);
    if (!line.entry && !text.empty() && text.front() != '#') bad.push_back(line.text);
  }
  return bad;
}

}  // namespace ce
