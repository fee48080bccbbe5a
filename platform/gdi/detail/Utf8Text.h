// Internal: UTF-16 text as UTF-8 for Pango, with the byte offset of every
// UTF-16 unit (a lone surrogate becomes U+FFFD).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ce::detail {

struct Utf8Text {
  std::string bytes;
  // offsets[i]: where unit i starts in bytes (the low half of a pair shares
  // its pair's offset); offsets[size] = bytes.size().
  std::vector<int> offsets;
};

inline Utf8Text ToUtf8WithOffsets(std::u16string_view text) {
  Utf8Text out;
  out.bytes.reserve(text.size() * 3);
  out.offsets.reserve(text.size() + 1);
  auto put = [&out](char32_t c) {
    if (c < 0x80) {
      out.bytes.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.bytes.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.bytes.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.bytes.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.bytes.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  };
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t u = text[i];
    out.offsets.push_back(static_cast<int>(out.bytes.size()));
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      put(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      out.offsets.push_back(out.offsets.back());
      ++i;
    } else if (u >= 0xD800 && u < 0xE000) {
      put(0xFFFD);
    } else if (u == 0) {
      put(0x20);  // Pango stops at a zero byte; a counted text may hold one
    } else {
      put(u);
    }
  }
  out.offsets.push_back(static_cast<int>(out.bytes.size()));
  return out;
}

}  // namespace ce::detail
