#include "zolfa/browse/MarkerSearch.h"

#include <algorithm>

namespace zolfa {

std::optional<MarkerMatch> FindBetween(std::u16string_view text, size_t from,
                                       std::u16string_view start, std::u16string_view end) {
  // An empty marker would match everywhere and never move the search on.
  if (start.empty() || end.empty() || from > text.size()) return std::nullopt;
  size_t startAt = text.find(start, from);
  if (startAt == std::u16string_view::npos) return std::nullopt;
  size_t endAt = text.find(end, startAt);
  if (endAt == std::u16string_view::npos) return std::nullopt;
  MarkerMatch match;
  match.startAt = startAt;
  match.valueBegin = startAt + start.size();
  match.valueEnd = std::max(endAt, match.valueBegin);
  match.next = endAt + end.size();
  return match;
}

bool ExtractBetween(std::u16string_view text, std::u16string_view start, std::u16string_view end,
                    std::u16string& value) {
  auto match = FindBetween(text, 0, start, end);
  if (!match) return false;
  value = match->Value(text);
  return true;
}

size_t SplitBetween(std::u16string_view text, std::u16string_view start, std::u16string_view end,
                    std::vector<std::u16string_view>& values) {
  size_t count = 0;
  size_t cursor = 0;
  while (auto match = FindBetween(text, cursor, start, end)) {
    values.push_back(match->Value(text));
    ++count;
    cursor = match->next;
  }
  return count;
}

size_t SplitBetween(std::u16string_view text, std::u16string_view start, std::u16string_view end,
                    std::vector<std::u16string>& values) {
  size_t count = 0;
  size_t cursor = 0;
  while (auto match = FindBetween(text, cursor, start, end)) {
    values.emplace_back(match->Value(text));
    ++count;
    cursor = match->next;
  }
  return count;
}

}  // namespace zolfa
