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

// How often each code unit (by its low byte) stands in the first part of an
// answer. A marker looks for its rarest unit there, so that few places of the
// text need the whole marker compared; which unit it picks never changes
// what it finds.
class UnitCounts {
 public:
  static constexpr size_t kSampleUnits = 8192;

  explicit UnitCounts(std::u16string_view text) {
    counts_.fill(0);
    const size_t sample = std::min(text.size(), kSampleUnits);
    for (size_t i = 0; i < sample; ++i) ++counts_[text[i] & 0xFF];
  }
  uint32_t Of(char16_t unit) const { return counts_[unit & 0xFF]; }

 private:
  std::array<uint32_t, 256> counts_;
};

// The next place of one marker in one text. The inner searches of an answer
// are not bounded by their element, so a tag that the answer lacks would be
// searched to the end of the answer once per element; the last answer is
// kept instead. It stays right while searches start no earlier than the last
// one and not past the place found, and the answer's searches only move
// forward, so each marker scans the answer at most about once.
//
// The scan looks for one unit of the marker, its anchor: the rarest one in
// the answer's first part (the later of equals).
class CachedMarker {
 public:
  CachedMarker(std::u16string_view marker, const UnitCounts& counts) : marker_(marker) {
    for (size_t i = 0; i < marker_.size(); ++i) {
      if (counts.Of(marker_[i]) <= counts.Of(marker_[anchor_])) anchor_ = i;
    }
  }

  size_t Find(std::u16string_view text, size_t from) {
    if (searched_ && from >= lastFrom_ && (found_ == kNotFound || found_ >= from)) return found_;
    found_ = FindMarker(text, from, marker_, anchor_);
    lastFrom_ = from;
    searched_ = true;
    return found_;
  }

 private:
  std::u16string_view marker_;
  size_t anchor_ = 0;
  bool searched_ = false;
  size_t lastFrom_ = 0;
  size_t found_ = kNotFound;
};

// A start and end marker pair searched by the rule of FindBetween, through
// the caches above.
class CachedPair {
 public:
  CachedPair(std::u16string_view start, std::u16string_view end, const UnitCounts& counts)
      : start_(start, counts), end_(end, counts), startLen_(start.size()), endLen_(end.size()) {}

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
           std::u16string_view escapedEnd, const UnitCounts& counts)
      : plain_(start, end, counts), escaped_(escapedStart, escapedEnd, counts) {}

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

  const UnitCounts counts(answer);
  CachedPair text(u"<text>", u"</text>", counts);
  CachedPair id(tags->idStart, tags->idEnd, counts);
  TopicTag type(u"<ItemType>", u"</ItemType>", u"&lt;ItemType&gt;", u"&lt;/ItemType&gt;", counts);
  TopicTag name(u"<ItemName>", u"</ItemName>", u"&lt;ItemName&gt;", u"&lt;/ItemName&gt;", counts);
  TopicTag itemId(u"<ItemID>", u"</ItemID>", u"&lt;ItemID&gt;", u"&lt;/ItemID&gt;", counts);

  CachedPair elements(tags->elementStart, tags->elementEnd, counts);
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
