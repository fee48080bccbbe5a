#include "server/PlaylistText.h"

namespace zolfa_server {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace

std::vector<std::string> ReadPlaylistText(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string> entries;
  while (!text.empty()) {
    // Lines end in LF, CR LF or a lone CR (old Mac playlists).
    size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) continue;
    size_t last = line.find_last_not_of(" \t\r");
    line = line.substr(first, last - first + 1);
    if (line[0] == '#') continue;
    std::string entry;
    if (line.substr(0, 7) == "file://") {
      line.remove_prefix(7);
      // "file://host/path": only local files are meant.
      if (!line.empty() && line[0] != '/') {
        size_t slash = line.find('/');
        if (slash == std::string_view::npos) continue;
        line.remove_prefix(slash);
      }
      entry = PercentDecoded(line);
    } else {
      entry = std::string(line);
      for (char& c : entry) {
        if (c == '\\') c = '/';
      }
    }
    if (entry.find('\0') != std::string::npos || entry.empty()) continue;
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace zolfa_server
