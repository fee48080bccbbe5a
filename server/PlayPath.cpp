#include "server/PlayPath.h"

namespace zolfa_server {

namespace {

constexpr const char* kVersion = "01000013";
constexpr const char* kSuffix = ".wma";

bool IsDecimal(const std::string& text) {
  size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
  if (text.size() == start) return false;
  for (size_t i = start; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

}  // namespace

std::string PlayPath::Parse(const std::string& path, const std::string& target, bool strict,
                            PlayPath* out) {
  if (path.size() < 5 || path.compare(0, 3, "/ps") != 0 || path[4] != '_') {
    return "not a play path";
  }
  PlayPath result;
  result.kind = path[3];
  std::string rest = path.substr(5);
  const std::string suffix = kSuffix;
  if (rest.size() < suffix.size() || rest.compare(rest.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return "the path must end in .wma";
  }
  rest.resize(rest.size() - suffix.size());
  const size_t first = rest.find('_');
  const size_t second = first == std::string::npos ? first : rest.find('_', first + 1);
  if (second == std::string::npos) return "the path needs version_sid_name";
  result.version = rest.substr(0, first);
  result.sid = rest.substr(first + 1, second - first - 1);
  result.name = rest.substr(second + 1);
  if (result.name.empty()) return "the path names nothing after the sid";
  if (strict) {
    if (result.version != kVersion) return "the version must be " + std::string(kVersion);
    const size_t question = target.find('?');
    if (question == std::string::npos || !IsDecimal(target.substr(question + 1))) {
      return "the query must be the tick count alone";
    }
  }
  *out = std::move(result);
  return std::string();
}

}  // namespace zolfa_server
