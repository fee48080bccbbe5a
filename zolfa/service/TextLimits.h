// Sizes of the service manager's fixed text fields, and the one way to cut a
// text down to them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zolfa {

// Characters (UTF-16 units) a session identifier may hold.
constexpr size_t kMaxSidLength = 64;
// Characters a server host name may hold.
constexpr size_t kMaxHostLength = 255;
// Characters of the client identifier ("ZOLFA-" and 42 letters).
constexpr size_t kClientIdLength = 48;

// The first maxUnits UTF-16 units of text. A surrogate pair is never split:
// when the cut would leave a lone high surrogate at the end, that unit goes
// too, so the result is always well-formed where the input was.
inline std::u16string TruncateText(std::u16string_view text, size_t maxUnits) {
  if (text.size() <= maxUnits) {
    return std::u16string(text);
  }
  size_t keep = maxUnits;
  if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) {
    --keep;
  }
  return std::u16string(text.substr(0, keep));
}

}  // namespace zolfa
