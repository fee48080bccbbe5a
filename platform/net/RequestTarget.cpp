#include "platform/net/RequestTarget.h"

#include "platform/base/CodePage.h"

namespace ce {

std::string EscapeRequestTarget(std::u16string_view path) {
  if (path.empty()) return "/";
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string bytes = WideToMulti(path, CP_ACP);
  std::string target;
  target.reserve(bytes.size());
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b >= 0x7F) {
      target += '%';
      target += kHex[b >> 4];
      target += kHex[b & 0x0F];
    } else {
      target += c;
    }
  }
  return target;
}

}  // namespace ce
