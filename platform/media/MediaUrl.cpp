#include "platform/media/MediaUrl.h"

namespace ce {
namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool HostCharacter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'.' || c == u'-' || c == u'_';
}

}  // namespace

std::u16string MediaUrl::BaseName() const {
  std::u16string text = path.substr(0, path.find_first_of(u"?#"));
  size_t slash = text.rfind(u'/');
  if (slash != std::u16string::npos) text.erase(0, slash + 1);
  size_t dot = text.rfind(u'.');
  if (dot != std::u16string::npos && dot > 0) text.erase(dot);
  return text;
}

std::optional<MediaUrl> ParseMediaUrl(const std::u16string& url) {
  static constexpr std::u16string_view kScheme = u"http://";
  if (url.size() <= kScheme.size()) return std::nullopt;
  for (size_t i = 0; i < kScheme.size(); ++i)
    if (Lower(url[i]) != kScheme[i]) return std::nullopt;
  size_t at = kScheme.size();
  size_t hostEnd = at;
  while (hostEnd < url.size() && HostCharacter(url[hostEnd])) ++hostEnd;
  if (hostEnd == at) return std::nullopt;
  MediaUrl parsed;
  parsed.host = url.substr(at, hostEnd - at);
  at = hostEnd;
  if (at < url.size() && url[at] == u':') {
    ++at;
    uint32_t port = 0;
    size_t digits = 0;
    while (at < url.size() && url[at] >= u'0' && url[at] <= u'9' && digits < 6) {
      port = port * 10 + (url[at] - u'0');
      ++at;
      ++digits;
    }
    if (digits == 0 || port == 0 || port > 65535) return std::nullopt;
    parsed.port = static_cast<WORD>(port);
  }
  if (at < url.size() && url[at] != u'/' && url[at] != u'?') return std::nullopt;
  parsed.path = url.substr(at);
  if (parsed.path.empty() || parsed.path[0] != u'/') parsed.path = std::u16string(u"/") + parsed.path;
  return parsed;
}

}  // namespace ce
