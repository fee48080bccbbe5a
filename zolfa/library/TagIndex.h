// Every place where one of a few tags begins in a text, so that the searches
// of FindTag become binary searches.
//
// Find gives exactly what FindTag gives on a cursor over the same text, and
// moves the cursor the same way; a search that FindTag runs through a long
// stretch of text costs a logarithm here. Used where one answer is searched
// many times from many places.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "zolfa/service/FindTag.h"

namespace zolfa {

class TagIndex {
 public:
  // text is borrowed and must outlive the index; tags are the only ones
  // Find may be asked for.
  TagIndex(std::u16string_view text, std::initializer_list<std::u16string_view> tags);

  TagValue Find(TagCursor& cursor, std::u16string_view openTag, std::u16string_view closeTag) const;

 private:
  // First place at or after from where tag begins, or npos.
  size_t Next(std::u16string_view tag, size_t from) const;

  std::u16string_view text_;
  std::vector<std::u16string_view> tags_;
  std::vector<std::vector<uint32_t>> starts_;  // per tag, ascending
};

}  // namespace zolfa
