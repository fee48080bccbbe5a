#include "zolfa/library/TagIndex.h"

#include <algorithm>

namespace zolfa {

TagIndex::TagIndex(std::u16string_view text, std::initializer_list<std::u16string_view> tags)
    : text_(text), tags_(tags), starts_(tags.size()) {
  // A text of 4 G characters cannot come from one answer; cut the index there
  // rather than wrap its positions.
  if (text_.size() >= UINT32_MAX) text_ = text_.substr(0, UINT32_MAX - 1);
  for (size_t at = text_.find(u'<'); at != std::u16string_view::npos;
       at = text_.find(u'<', at + 1)) {
    std::u16string_view rest = text_.substr(at);
    for (size_t t = 0; t < tags_.size(); ++t) {
      if (!tags_[t].empty() && tags_[t].front() == u'<' && rest.starts_with(tags_[t])) {
        starts_[t].push_back(static_cast<uint32_t>(at));
      }
    }
  }
}

size_t TagIndex::Next(std::u16string_view tag, size_t from) const {
  for (size_t t = 0; t < tags_.size(); ++t) {
    if (tags_[t] != tag) continue;
    const std::vector<uint32_t>& starts = starts_[t];
    auto it = std::lower_bound(starts.begin(), starts.end(), from,
                               [](uint32_t start, size_t value) { return start < value; });
    return it == starts.end() ? std::u16string_view::npos : *it;
  }
  // Not indexed: search the text itself.
  return text_.find(tag, from);
}

TagValue TagIndex::Find(TagCursor& cursor, std::u16string_view openTag,
                        std::u16string_view closeTag) const {
  TagValue result;
  if (cursor.IsAbsent()) return result;
  size_t open = Next(openTag, cursor.position);
  if (open == std::u16string_view::npos) return result;
  size_t close = Next(closeTag, cursor.position);
  if (close == std::u16string_view::npos) {
    cursor.position = TagCursor::kAbsent;
    return result;
  }
  result.found = true;
  result.start = open + openTag.size();
  result.length = static_cast<ptrdiff_t>(close) - static_cast<ptrdiff_t>(result.start);
  if (result.length > 0) {
    result.value = text_.substr(result.start, static_cast<size_t>(result.length));
  }
  cursor.position = close + closeTag.size();
  return result;
}

}  // namespace zolfa
