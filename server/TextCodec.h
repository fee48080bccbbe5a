// Conversions between the server's own text (UTF-8) and the encodings that
// go over the wire: code page 950 for most answers and for query values,
// UTF-16 for the password digest rule. Built on glibc iconv.
#pragma once

#include <string>
#include <string_view>

namespace zolfa_server {

class TextCodec {
 public:
  // UTF-8 to code page 950. A character that the code page cannot hold
  // becomes "?", as the handset's own conversion does; invalid UTF-8 bytes
  // become "?" too.
  static std::string Utf8ToCp950(std::string_view utf8);

  // Code page 950 to UTF-8. Bytes that are no valid code page 950 sequence
  // become U+FFFD; the input is never read past its end.
  static std::string Cp950ToUtf8(std::string_view cp950);

  // UTF-8 to UTF-16 code units (invalid bytes become U+FFFD).
  static std::u16string Utf8ToUtf16(std::string_view utf8);

 private:
  static std::string Convert(const char* to, const char* from, std::string_view input,
                             std::string_view replacement, size_t skipOnError);
};

}  // namespace zolfa_server
