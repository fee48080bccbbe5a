// Arbitrary playlist bytes through the ".m3u" reader: every entry must be
// a non-empty path of one line, without blanks at its ends, NUL bytes or a
// leading "#".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/PlaylistText.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string& entry : zolfa_server::ReadPlaylistText(text)) {
    Check(!entry.empty() && entry.find('\0') == std::string::npos);
    if (text.find("file://") == std::string_view::npos) {
      Check(entry.find('\n') == std::string::npos && entry.find('\r') == std::string::npos);
      Check(entry.front() != '#' && entry.front() != ' ' && entry.back() != ' ');
      Check(entry.find('\\') == std::string::npos);
    }
  }
  return 0;
}
