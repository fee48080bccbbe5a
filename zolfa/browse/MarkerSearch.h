// Marker search: values between literal start and end markers, found by
// forward search only. There is no XML parsing and no entity decoding, and
// markers do not nest: a value ends at the first end marker at or after the
// place where its start marker begins.
//
// All searches work on offsets into the caller's text, so reading n values
// costs time linear in the text. Searches are case-sensitive. An empty marker
// never matches.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zolfa {

// The first place of marker in text at or after from; npos when there is
// none (or the marker is empty). The search looks for the marker's unit at
// `anchor` and compares the whole marker there: any anchor gives the same
// result, a unit that is rare in the text makes it fast.
size_t FindMarker(std::u16string_view text, size_t from, std::u16string_view marker, size_t anchor);
// The marker's unit least likely to be common in markup (upper-case letters
// and digits before lower-case letters, tag punctuation last; the later of
// equals).
size_t DefaultAnchor(std::u16string_view marker);

// One value found in a text, as offsets into that text.
struct MarkerMatch {
  size_t startAt = 0;     // where the start marker begins
  size_t valueBegin = 0;  // just past the start marker
  size_t valueEnd = 0;    // where the end marker begins; never before valueBegin
  size_t next = 0;        // just past the end marker; always after startAt

  std::u16string_view Value(std::u16string_view text) const {
    return text.substr(valueBegin, valueEnd - valueBegin);
  }
};

// Finds the first start marker at or after from, then the first end marker at
// or after the place where that start marker begins. When the end marker
// begins inside the start marker the value is empty.
std::optional<MarkerMatch> FindBetween(std::u16string_view text, size_t from,
                                       std::u16string_view start, std::u16string_view end);

// The value between the first start marker and the end marker after it.
// Returns false and leaves value unchanged when either marker is missing; an
// empty value is a success.
bool ExtractBetween(std::u16string_view text, std::u16string_view start, std::u16string_view end,
                    std::u16string& value);

// Every value between start and end markers, in order: after each value the
// search goes on past its end marker. Appends to values and returns how many
// were appended. The views point into text, which the caller keeps alive.
size_t SplitBetween(std::u16string_view text, std::u16string_view start, std::u16string_view end,
                    std::vector<std::u16string_view>& values);
// The same, with copies of the values.
size_t SplitBetween(std::u16string_view text, std::u16string_view start, std::u16string_view end,
                    std::vector<std::u16string>& values);

}  // namespace zolfa
