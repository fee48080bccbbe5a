// The forward-only tag reader that takes values out of the service's answers.
//
// Answers are read without an XML parser: a value is whatever lies between a
// literal opening tag and a literal closing tag, searched case-sensitively,
// forward only, without entity decoding. Parsers ask for elements in the
// order the service writes them; an element before one already read is not
// found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zolfa {

// Where the next search in one answer starts. The answer ends at its first
// zero character (the form in which the transport hands text over). Once a
// closing tag was missing the cursor is absent and finds nothing more.
struct TagCursor {
  static constexpr size_t kAbsent = std::u16string_view::npos;

  explicit TagCursor(std::u16string_view answer);

  bool IsAbsent() const { return position == kAbsent; }

  std::u16string_view text;  // borrowed; the caller keeps the answer alive
  size_t position = 0;       // index into text, or kAbsent
};

// One search result. length is in characters and may be zero or negative
// when the closing tag came before the end of the opening tag; callers take
// a value only when HasValue().
struct TagValue {
  bool found = false;  // both tags were found
  size_t start = 0;    // index of the value in the cursor's text
  ptrdiff_t length = 0;
  std::u16string_view value;  // the value when length > 0, else empty

  bool HasValue() const { return found && length > 0; }
};

// Searches openTag from the cursor; when it is missing nothing is returned
// and the cursor stays. Otherwise closeTag is searched, also from the cursor
// (not from the end of the opening tag): when it is missing the cursor
// becomes absent; when it is found the value runs from the end of the
// opening tag to it and the cursor moves past it.
TagValue FindTag(TagCursor& cursor, std::u16string_view openTag, std::u16string_view closeTag);

// A value read as a decimal integer: leading white space, an optional sign,
// then the leading digits; no digits gives 0. Values beyond the 32-bit range
// saturate at its ends.
int32_t TagNumber(std::u16string_view value);

}  // namespace zolfa
