#include "server/QueryString.h"

namespace zolfa_server {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

QueryString::QueryString(std::string_view query) {
  size_t start = 0;
  while (start <= query.size()) {
    size_t end = query.find('&', start);
    if (end == std::string_view::npos) end = query.size();
    std::string_view piece = query.substr(start, end - start);
    if (!piece.empty()) {
      size_t equals = piece.find('=');
      Pair pair;
      pair.key = PercentDecode(piece.substr(0, equals));
      if (equals != std::string_view::npos) pair.rawValue = std::string(piece.substr(equals + 1));
      pair.value = PercentDecode(pair.rawValue);
      pairs_.push_back(std::move(pair));
    }
    start = end + 1;
  }
}

std::optional<std::string> QueryString::Get(std::string_view key) const {
  for (const Pair& pair : pairs_) {
    if (pair.key == key) return pair.value;
  }
  return std::nullopt;
}

std::vector<std::string> QueryString::Keys() const {
  std::vector<std::string> keys;
  for (const Pair& pair : pairs_) keys.push_back(pair.key);
  return keys;
}

std::string QueryString::PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace zolfa_server
