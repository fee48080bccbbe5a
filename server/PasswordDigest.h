// The text that the handset sends as the password: the MD5 digest of the
// password bytes as 32 lower-case hexadecimal digits, computed by the same
// rule as the client so that the server can check a stored clear password.
#pragma once

#include <string>
#include <string_view>

namespace zolfa_server {

class PasswordDigest {
 public:
  // MD5 of the bytes, as 32 lower-case hexadecimal digits.
  static std::string Md5Hex(std::string_view bytes);

  // What a client sends for the password typed as utf8Password: a password
  // of exactly 32 UTF-16 units is sent unchanged; otherwise each unit gives
  // one byte (up to 255) or two bytes (high byte first), and the digest
  // covers as many bytes as the password has units.
  static std::string ForPassword(std::string_view utf8Password);

  // True when text is 32 lower-case hexadecimal digits.
  static bool IsDigestText(std::string_view text);
};

}  // namespace zolfa_server
