#include "zolfa/service/FindTag.h"

#include <limits>

namespace zolfa {

TagCursor::TagCursor(std::u16string_view answer) : text(answer) {
  size_t zero = text.find(u'\0');
  if (zero != std::u16string_view::npos) {
    text = text.substr(0, zero);
  }
}

TagValue FindTag(TagCursor& cursor, std::u16string_view openTag, std::u16string_view closeTag) {
  TagValue result;
  if (cursor.IsAbsent()) {
    return result;
  }
  size_t open = cursor.text.find(openTag, cursor.position);
  if (open == std::u16string_view::npos) {
    return result;
  }
  size_t close = cursor.text.find(closeTag, cursor.position);
  if (close == std::u16string_view::npos) {
    cursor.position = TagCursor::kAbsent;
    return result;
  }
  result.found = true;
  result.start = open + openTag.size();
  result.length = static_cast<ptrdiff_t>(close) - static_cast<ptrdiff_t>(result.start);
  if (result.length > 0) {
    result.value = cursor.text.substr(result.start, static_cast<size_t>(result.length));
  }
  cursor.position = close + closeTag.size();
  return result;
}

int32_t TagNumber(std::u16string_view value) {
  size_t i = 0;
  while (i < value.size() && (value[i] == u' ' || (value[i] >= u'\t' && value[i] <= u'\r'))) {
    ++i;
  }
  bool negative = false;
  if (i < value.size() && (value[i] == u'-' || value[i] == u'+')) {
    negative = value[i] == u'-';
    ++i;
  }
  // Accumulated as a negative number so that the lowest value fits.
  constexpr int64_t kLowest = std::numeric_limits<int32_t>::min();
  int64_t number = 0;
  for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i) {
    number = number * 10 - (value[i] - u'0');
    if (number < kLowest) {
      number = kLowest - 1;  // saturated; keeps consuming digits
    }
  }
  if (negative) {
    return number < kLowest ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(number);
  }
  return -number > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                       : static_cast<int32_t>(-number);
}

}  // namespace zolfa
