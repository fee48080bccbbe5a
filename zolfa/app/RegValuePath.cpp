#include "zolfa/app/RegValuePath.h"

namespace zolfa {

namespace {

std::u16string_view TrimBackslashes(std::u16string_view text) {
  size_t first = text.find_first_not_of(u'\\');
  if (first == std::u16string_view::npos) return {};
  size_t last = text.find_last_not_of(u'\\');
  return text.substr(first, last - first + 1);
}

}  // namespace

RegValuePath SplitRegValuePath(std::u16string_view fullPath) {
  size_t last = fullPath.find_last_not_of(u'\\');
  fullPath = last == std::u16string_view::npos ? std::u16string_view() : fullPath.substr(0, last + 1);
  size_t slash = fullPath.rfind(u'\\');
  RegValuePath parts;
  if (slash == std::u16string_view::npos) {
    parts.valueName = TrimBackslashes(fullPath);
  } else {
    parts.keyPath = TrimBackslashes(fullPath.substr(0, slash));
    parts.valueName = TrimBackslashes(fullPath.substr(slash + 1));
  }
  return parts;
}

}  // namespace zolfa
