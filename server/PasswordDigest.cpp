#include "server/PasswordDigest.h"

#include <openssl/evp.h>

#include "server/TextCodec.h"

namespace zolfa_server {

std::string PasswordDigest::Md5Hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr) != 1) {
    return std::string();
  }
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    text.push_back(kHex[digest[i] >> 4]);
    text.push_back(kHex[digest[i] & 0x0F]);
  }
  return text;
}

std::string PasswordDigest::ForPassword(std::string_view utf8Password) {
  std::u16string units = TextCodec::Utf8ToUtf16(utf8Password);
  if (units.size() == 32) return std::string(utf8Password);
  std::string bytes;
  for (char16_t unit : units) {
    if (unit <= 0xFF) {
      bytes.push_back(static_cast<char>(unit));
    } else {
      bytes.push_back(static_cast<char>(unit >> 8));
      bytes.push_back(static_cast<char>(unit & 0xFF));
    }
  }
  return Md5Hex(std::string_view(bytes).substr(0, units.size()));
}

bool PasswordDigest::IsDigestText(std::string_view text) {
  if (text.size() != 32) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

}  // namespace zolfa_server
