#include "platform/base/detail/RegistryName.h"

#include <locale.h>
#include <wctype.h>

namespace ce {
namespace {

// The C.UTF-8 locale gives the Unicode lower-case mapping without touching
// the process's global locale. It lives for the whole process.
locale_t LowerCaseLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// True when every surrogate in text is part of a pair. SQLite stores names
// as UTF-8 and would mangle a lone surrogate.
bool HasOnlyPairedSurrogates(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

std::u16string_view ViewOf(LPCWSTR text) {
  return text == nullptr ? std::u16string_view() : std::u16string_view(text);
}

}  // namespace

std::u16string LowerRegistryName(std::u16string_view name) {
  std::u16string lower(name);
  locale_t locale = LowerCaseLocale();
  for (char16_t& unit : lower) {
    if (unit < 0x80) {
      if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit + (u'a' - u'A'));
    } else if (locale != static_cast<locale_t>(0) && !IsSurrogate(unit)) {
      wint_t folded = towlower_l(unit, locale);
      if (folded <= 0xFFFF && !IsSurrogate(static_cast<char16_t>(folded))) {
        unit = static_cast<char16_t>(folded);
      }
    }
  }
  return lower;
}

LONG ParseRegistryKeyPath(LPCWSTR path, std::vector<RegistryName>* components) {
  components->clear();
  std::u16string_view rest = ViewOf(path);
  if (!HasOnlyPairedSurrogates(rest)) return ERROR_INVALID_PARAMETER;
  while (!rest.empty()) {
    size_t end = rest.find(u'\\');
    std::u16string_view part = rest.substr(0, end);
    rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
    if (part.empty()) continue;
    if (part.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    components->push_back(RegistryName{std::u16string(part), LowerRegistryName(part)});
  }
  return ERROR_SUCCESS;
}

LONG ParseRegistryValueName(LPCWSTR name, RegistryName* result) {
  std::u16string_view text = ViewOf(name);
  if (text.size() > kMaxValueNameLength || !HasOnlyPairedSurrogates(text)) {
    return ERROR_INVALID_PARAMETER;
  }
  result->name.assign(text);
  result->lower = LowerRegistryName(text);
  return ERROR_SUCCESS;
}

}  // namespace ce
