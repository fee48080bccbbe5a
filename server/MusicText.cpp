#include "server/MusicText.h"

#include <cctype>
#include <cstdio>

#include "server/TextCodec.h"

namespace zolfa_server {

namespace {

// The length of the well-formed UTF-8 character at text[at], or 0.
size_t CharLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : (lead >> 4) == 0xE ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  }
  if (length == 3) {
    unsigned char second = byte(at + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0)) return 0;
  }
  if (length == 4) {
    unsigned char second = byte(at + 1);
    if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) return 0;
  }
  return length;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size();) {
    size_t length = CharLength(bytes, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string DisplayText(std::string_view bytes) {
  if (IsUtf8(bytes)) return std::string(bytes);
  return TextCodec::Cp950ToUtf8(bytes);
}

std::string SafeLogText(std::string_view bytes) {
  std::string text;
  for (size_t at = 0; at < bytes.size();) {
    size_t length = CharLength(bytes, at);
    unsigned char c = static_cast<unsigned char>(bytes[at]);
    if (length == 0 || c < 0x20 || c == 0x7F) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      text += escaped;
      ++at;
    } else {
      text.append(bytes.substr(at, length));
      at += length;
    }
  }
  return text;
}

std::string AnswerText(std::string_view utf8) {
  std::string text;
  for (char c : utf8) {
    if (c == '<') {
      text += "＜";
    } else if (c == '>') {
      text += "＞";
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      text += ' ';
    } else {
      text += c;
    }
  }
  return text;
}

bool IsVariousArtists(std::string_view albumArtist) {
  std::string lower;
  for (char c : albumArtist) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == "various artists" || lower == "various" || lower == "va" ||
         albumArtist == "群星" || albumArtist == "合輯";
}

}  // namespace zolfa_server
