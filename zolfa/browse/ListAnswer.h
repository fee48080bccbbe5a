// Conversion of the service's browse list answers into feed items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "zolfa/browse/FeedItem.h"

namespace zolfa {

// The element tags of one request kind's answer. idStart and idEnd are empty
// for the topic kinds, whose elements are read in the topic form only.
struct ListAnswerTags {
  std::u16string_view elementStart;
  std::u16string_view elementEnd;
  std::u16string_view idStart;
  std::u16string_view idEnd;
};

// The tags of a request kind (0..5, see BrowseKind.h); empty for any other.
std::optional<ListAnswerTags> ListAnswerTagsOf(int32_t kind);

using FeedItemSink = std::function<void(FeedItem)>;

// Reads the elements of a decoded answer in order and hands one item per
// element to sink. Parsing ends at the first element that is missing its end
// tag or has empty content. A catalogue element ("<text>" with a non-empty
// value, then its identifier tag) gives a "folder" item; otherwise the topic
// form (ItemType, ItemName, ItemID, each also in its "&lt;..&gt;" escaped
// form) gives a "song" item when the type starts with "track", else a
// "folder" item, and an element with no type gives nothing. Tags an element
// lacks are looked for further on in the answer, not only inside the element.
// Returns the number of items handed to sink; an unknown kind gives none.
// Runs in time linear in the answer's length.
size_t ParseListAnswer(std::u16string_view answer, int32_t kind, const FeedItemSink& sink);

}  // namespace zolfa
