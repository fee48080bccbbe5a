#include "zolfa/service/PasswordDigest.h"

#include "zolfa/service/CMD5Checksum.h"

namespace zolfa {
namespace {

constexpr size_t kDigestLength = 32;

}  // namespace

std::u16string PasswordDigest(std::u16string_view password) {
  if (password.size() == kDigestLength) return std::u16string(password);
  std::string bytes;
  bytes.reserve(password.size() * 2);
  for (char16_t c : password) {
    if (c > 0xFF) bytes += static_cast<char>(c >> 8);
    bytes += static_cast<char>(c & 0xFF);
  }
  return DigestText(bytes.data(), password.size());
}

}  // namespace zolfa
