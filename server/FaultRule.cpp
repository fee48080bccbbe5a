#include "server/FaultRule.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <fstream>
#include <sstream>

namespace zolfa_server {

namespace {

constexpr long long kMaxDelayMs = 24LL * 3600 * 1000;

bool ParseNumber(const std::string& text, long long low, long long high, long long* value) {
  if (text.empty() || text.size() > 12) return false;
  size_t start = text[0] == '-' ? 1 : 0;
  if (start == text.size()) return false;
  for (size_t i = start; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  long long number = std::stoll(text);
  if (number < low || number > high) return false;
  *value = number;
  return true;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string ReadAnyFile(const std::string& name, std::string* content) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return "cannot read body-file " + name;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  *content = bytes.str();
  return std::string();
}

// Reads a regular file that lies inside folder, opened beneath it in one
// kernel walk so that no link or ".." leads out of it.
std::string ReadFileInFolder(const std::filesystem::path& folder, const std::string& name,
                             std::string* content) {
  if (folder.empty()) return "body-file needs the server's data folder (--data)";
  std::error_code error;
  std::filesystem::path base = std::filesystem::canonical(folder, error);
  if (error) return "cannot use the data folder " + folder.string();
  std::filesystem::path wanted(name);
  std::filesystem::path inside =
      wanted.is_absolute() ? wanted.lexically_normal().lexically_relative(base) : wanted;
  bool outside = inside.empty() || inside.is_absolute() ||
                 (!inside.empty() && *inside.begin() == "..");
  if (outside) return "body-file must be a file in the data folder: " + name;
  int dir = open(base.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return "cannot use the data folder " + folder.string();
  struct open_how how {};
  how.flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
  long fd = syscall(SYS_openat2, dir, inside.c_str(), &how, sizeof how);
  close(dir);
  if (fd < 0) {
    return errno == EXDEV || errno == ELOOP ? "body-file must be a file in the data folder: " + name
                                            : "cannot read body-file " + name;
  }
  struct stat st {};
  std::string bytes;
  bool ok = fstat(static_cast<int>(fd), &st) == 0 && S_ISREG(st.st_mode);
  char buffer[65536];
  while (ok) {
    ssize_t n = read(static_cast<int>(fd), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    bytes.append(buffer, static_cast<size_t>(n));
  }
  close(static_cast<int>(fd));
  if (!ok) return "cannot read body-file " + name;
  *content = std::move(bytes);
  return std::string();
}

}  // namespace

std::string FaultRule::Parse(const std::string& text, FaultRule* rule,
                             const std::filesystem::path* bodyFolder) {
  FaultRule result;
  std::stringstream pieces(text);
  std::string piece;
  bool acts = false;
  while (std::getline(pieces, piece, ',')) {
    size_t equals = piece.find('=');
    if (equals == std::string::npos) return "expected KEY=VALUE, not \"" + piece + "\"";
    std::string key = piece.substr(0, equals);
    std::string value = piece.substr(equals + 1);
    long long number = 0;
    if (key == "host") {
      result.host = Lower(value);
    } else if (key == "path") {
      if (value.empty() || value[0] != '/') return "path must start with /";
      result.path = value;
    } else if (key == "status") {
      if (!ParseNumber(value, 100, 599, &number)) return "status must be 100 to 599";
      result.status = static_cast<int>(number);
      acts = true;
    } else if (key == "delay") {
      if (!ParseNumber(value, 0, kMaxDelayMs, &number)) return "delay must be 0 to 86400000 ms";
      result.delayMs = static_cast<int>(number);
      acts = true;
    } else if (key == "drip") {
      size_t colon = value.find(':');
      long long ms = 0;
      if (colon == std::string::npos ||
          !ParseNumber(value.substr(0, colon), 1, 1 << 30, &number) ||
          !ParseNumber(value.substr(colon + 1), 0, 60000, &ms)) {
        return "drip must be BYTES:MS (1 or more bytes, 0 to 60000 ms)";
      }
      result.dripBytes = static_cast<size_t>(number);
      result.dripMs = static_cast<int>(ms);
      acts = true;
    } else if (key == "truncate") {
      if (!ParseNumber(value, 0, 1LL << 40, &number)) return "truncate must be a byte count";
      result.truncate = static_cast<size_t>(number);
      acts = true;
    } else if (key == "body") {
      if (value != "empty") return "body must be \"empty\" (or use body-file)";
      result.body = std::string();
      acts = true;
    } else if (key == "body-file") {
      std::string content;
      std::string error = bodyFolder != nullptr ? ReadFileInFolder(*bodyFolder, value, &content)
                                                : ReadAnyFile(value, &content);
      if (!error.empty()) return error;
      result.body = std::move(content);
      acts = true;
    } else if (key == "times") {
      if (!ParseNumber(value, 1, 1 << 30, &number)) return "times must be 1 or more";
      result.times = static_cast<int>(number);
    } else {
      return "unknown fault setting \"" + key + "\"";
    }
  }
  if (!acts) return "a fault needs status, delay, drip, truncate, body or body-file";
  *rule = std::move(result);
  return std::string();
}

bool FaultRule::Matches(const std::string& requestHost, const std::string& requestPath) const {
  if (times == 0) return false;
  if (!host.empty() && host != requestHost) return false;
  if (!path.empty() && path != requestPath) return false;
  return true;
}

std::string FaultRule::Describe() const {
  std::string text = "fault";
  auto add = [&](const std::string& piece) { text += (text == "fault" ? " " : ",") + piece; };
  if (!host.empty()) add("host=" + host);
  if (!path.empty()) add("path=" + path);
  if (status != 0) add("status=" + std::to_string(status));
  if (delayMs != 0) add("delay=" + std::to_string(delayMs));
  if (dripBytes != 0) add("drip=" + std::to_string(dripBytes) + ":" + std::to_string(dripMs));
  if (truncate) add("truncate=" + std::to_string(*truncate));
  if (body) add("body=(" + std::to_string(body->size()) + " bytes)");
  if (times >= 0) add("times=" + std::to_string(times));
  return text;
}

}  // namespace zolfa_server
