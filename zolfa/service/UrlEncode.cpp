#include "zolfa/service/UrlEncode.h"

#include "platform/base/CodePage.h"

namespace zolfa {
namespace {

constexpr std::u16string_view kHttpScheme = u"http://";
// The search for the end of the host starts after the scheme and the host's
// first character.
constexpr size_t kHostSearchStart = 8;

bool IsUnreserved(unsigned char b) {
  return b == '-' || b == '.' || b == '_' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') ||
         (b >= 'a' && b <= 'z');
}

// Index of the "/" that ends the host, or npos.
size_t HostEnd(std::u16string_view address) {
  if (address.size() <= kHostSearchStart) return std::u16string_view::npos;
  return address.find(u'/', kHostSearchStart);
}

}  // namespace

std::u16string UrlEncode(std::u16string_view value, std::u16string_view prefix) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string bytes = ce::WideToMulti(value, ce::CP_ACP);
  std::string encoded;
  encoded.reserve(bytes.size() * 3);
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (IsUnreserved(b)) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[b >> 4];
      encoded += kHex[b & 0x0F];
    }
  }
  std::u16string result(prefix);
  result += ce::MultiToWide(encoded, ce::CP_ACP);
  return result;
}

std::u16string UrlHost(std::u16string_view address) {
  if (address.substr(0, kHttpScheme.size()) != kHttpScheme) return {};
  size_t end = HostEnd(address);
  size_t start = kHttpScheme.size();
  return std::u16string(address.substr(start, end == std::u16string_view::npos ? end : end - start));
}

std::u16string UrlPath(std::u16string_view address) {
  if (address.substr(0, kHttpScheme.size()) != kHttpScheme) return {};
  size_t end = HostEnd(address);
  return end == std::u16string_view::npos ? std::u16string() : std::u16string(address.substr(end));
}

}  // namespace zolfa
