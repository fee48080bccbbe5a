#include "zolfa/browse/ListAnswer.h"

#include <algorithm>
#include <array>

#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/MarkerSearch.h"

namespace zolfa {

namespace {

constexpr size_t kNotFound = std::u16string_view::npos;

constexpr std::array<ListAnswerTags, kBrowseKindCount> kTagsByKind = {{
    {u"<genre>", u"</genre>", u"<id>", u"</id>"},
    {u"<artist>", u"</artist>", u"<id>", u"</id>"},
    {u"<album>", u"</album>", u"<id>", u"</id>"},
    {u"<song>", u"</song>", u"<song_id>", u"</song_id>"},
    {u"<Item>", u"</Item>", {}, {}},
    {u"<Item>", u"</Item>", {}, {}},
}};

constexpr std::u16string_view kTrackPrefix = u"track";

// The next place of one marker in one text. The inner searches of an answer
// are not bounded by their element, so a tag that the answer lacks would be
// searched to the end of the answer once per element; the last answer is
// kept instead. It stays right while searches start no earlier than the last
// one and not past the place found, and the answer's searches only move
// forward, so each marker scans the answer at most about once.
//
// The scan itself skips ahead by the last character under the marker's end
// (Horspool). The skip table is indexed by the low byte of a code unit and
// keeps the smallest skip of all marker characters that share it, so a skip
// never passes over a place where the marker could start.
class CachedMarker {
 public:
  explicit CachedMarker(std::u16string_view marker) : marker_(marker) {
    // Skips are capped at 255 to keep the table small; a shorter skip is
    // always safe.
    const size_t length = marker_.size();
    skip_.fill(static_cast<uint8_t>(std::min<size_t>(length, 255)));
    for (size_t i = 0; i + 1 < length; ++i) {
      skip_[marker_[i] & 0xFF] = static_cast<uint8_t>(std::min<size_t>(length - 1 - i, 255));
    }
  }

  size_t Find(std::u16string_view text, size_t from) {
    if (searched_ && from >= lastFrom_ && (found_ == kNotFound || found_ >= from)) return found_;
    found_ = Scan(text, from);
    lastFrom_ = from;
    searched_ = true;
    return found_;
  }

 private:
  size_t Scan(std::u16string_view text, size_t from) const {
    const size_t length = marker_.size();
    if (length == 0 || from > text.size() || text.size() - from < length) return kNotFound;
    const char16_t last = marker_[length - 1];
    const char16_t* data = text.data();
    for (size_t pos = from; pos <= text.size() - length;) {
      const char16_t c = data[pos + length - 1];
      if (c == last && std::char_traits<char16_t>::compare(data + pos, marker_.data(), length - 1) == 0) {
        return pos;
      }
      pos += skip_[c & 0xFF];
    }
    return kNotFound;
  }

  std::u16string_view marker_;
  std::array<uint8_t, 256> skip_;
  bool searched_ = false;
  size_t lastFrom_ = 0;
  size_t found_ = kNotFound;
};

// A start and end marker pair searched by the rule of FindBetween, through
// the caches above.
class CachedPair {
 public:
  CachedPair(std::u16string_view start, std::u16string_view end)
      : start_(start), end_(end), startLen_(start.size()), endLen_(end.size()) {}

  std::optional<MarkerMatch> Find(std::u16string_view text, size_t from) {
    if (startLen_ == 0 || endLen_ == 0 || from > text.size()) return std::nullopt;
    size_t startAt = start_.Find(text, from);
    if (startAt == kNotFound) return std::nullopt;
    size_t endAt = end_.Find(text, startAt);
    if (endAt == kNotFound) return std::nullopt;
    MarkerMatch match;
    match.startAt = startAt;
    match.valueBegin = startAt + startLen_;
    match.valueEnd = std::max(endAt, match.valueBegin);
    match.next = endAt + endLen_;
    return match;
  }

 private:
  CachedMarker start_;
  CachedMarker end_;
  size_t startLen_;
  size_t endLen_;
};

// A topic tag in its plain form, and in its escaped form when the plain one
// is missing or empty.
class TopicTag {
 public:
  TopicTag(std::u16string_view start, std::u16string_view end, std::u16string_view escapedStart,
           std::u16string_view escapedEnd)
      : plain_(start, end), escaped_(escapedStart, escapedEnd) {}

  // Empty text when the tag is missing or empty in both forms.
  std::u16string_view Value(std::u16string_view text, size_t from) {
    auto match = plain_.Find(text, from);
    if (match && match->valueEnd > match->valueBegin) return match->Value(text);
    match = escaped_.Find(text, from);
    return match ? match->Value(text) : std::u16string_view();
  }

 private:
  CachedPair plain_;
  CachedPair escaped_;
};

}  // namespace

std::optional<ListAnswerTags> ListAnswerTagsOf(int32_t kind) {
  if (kind < 0 || kind >= kBrowseKindCount) return std::nullopt;
  return kTagsByKind[static_cast<size_t>(kind)];
}

size_t ParseListAnswer(std::u16string_view answer, int32_t kind, const FeedItemSink& sink) {
  auto tags = ListAnswerTagsOf(kind);
  if (!tags) return 0;
  const bool catalogueForm = !IsTopicKind(kind);

  CachedPair text(u"<text>", u"</text>");
  CachedPair id(tags->idStart, tags->idEnd);
  TopicTag type(u"<ItemType>", u"</ItemType>", u"&lt;ItemType&gt;", u"&lt;/ItemType&gt;");
  TopicTag name(u"<ItemName>", u"</ItemName>", u"&lt;ItemName&gt;", u"&lt;/ItemName&gt;");
  TopicTag itemId(u"<ItemID>", u"</ItemID>", u"&lt;ItemID&gt;", u"&lt;/ItemID&gt;");

  CachedPair elements(tags->elementStart, tags->elementEnd);
  size_t count = 0;
  size_t cursor = 0;
  while (auto element = elements.Find(answer, cursor)) {
    if (element->valueEnd == element->valueBegin) break;
    cursor = element->next;
    const size_t inner = element->valueBegin;

    FeedItem item;
    auto title = catalogueForm ? text.Find(answer, inner) : std::nullopt;
    if (title && title->valueEnd > title->valueBegin) {
      item.title = title->Value(answer);
      if (auto link = id.Find(answer, title->next)) item.link = link->Value(answer);
      item.category = kCategoryFolder;
    } else {
      std::u16string_view typeText = type.Value(answer, inner);
      if (typeText.empty()) continue;
      item.title = name.Value(answer, inner);
      item.link = itemId.Value(answer, inner);
      item.category = typeText.starts_with(kTrackPrefix) ? kCategorySong : kCategoryFolder;
    }
    ++count;
    if (sink) sink(std::move(item));
  }
  return count;
}

}  // namespace zolfa
