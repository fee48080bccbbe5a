#include "zolfa/browse/FeedItem.h"

#include <algorithm>

namespace zolfa {

namespace {

// Only ASCII letters change: every letter of the words and markers compared
// here is ASCII, and no other character lower-cases to one of them.
char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return LowerAscii(x) == LowerAscii(y); });
}

int MatchCategory(std::u16string_view text) {
  for (size_t i = 0; i < kCategories.size(); ++i) {
    if (EqualsNoCase(text, kCategories[i])) return static_cast<int>(i);
  }
  return kCategoryIndexNone;
}

}  // namespace

int CategoryIndex(const FeedItem& item) { return MatchCategory(item.category); }

std::u16string CategoryOf(const FeedItem& item) {
  int index = MatchCategory(item.category);
  return index == kCategoryIndexNone ? std::u16string() : std::u16string(kCategories[index]);
}

bool SetCategory(FeedItem& item, std::u16string_view text) {
  if (text.empty()) {
    item.category.clear();
    return true;
  }
  int index = MatchCategory(text);
  if (index == kCategoryIndexNone) return false;
  item.category = kCategories[index];
  return true;
}

bool IsPlayable(const FeedItem& item) {
  std::u16string lower(item.link);
  std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
  std::u16string_view view(lower);
  if (view.starts_with(kPlaySongPrefix)) return true;
  return view.find(u".wma") != std::u16string_view::npos ||
         view.find(u".mp3") != std::u16string_view::npos;
}

std::u16string SongIdOf(const FeedItem& item) {
  std::u16string_view link(item.link);
  if (!link.starts_with(kPlaySongPrefix)) return {};
  return std::u16string(link.substr(kPlaySongPrefix.size()));
}

}  // namespace zolfa
