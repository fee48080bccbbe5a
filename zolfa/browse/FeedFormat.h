// The RSS 2.0 text form of feed items: reading a feed document and writing
// items in the one-line and the multi-line form. Texts are taken and written
// literally (no attributes, CDATA, comments or entities).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "zolfa/browse/FeedItem.h"

namespace zolfa {

inline constexpr std::u16string_view kFeedStart = u"<rss version=\"2.0\">";
inline constexpr std::u16string_view kFeedEnd = u"</rss>";

// Fills title, link and category from one item's text. A missing element
// leaves its field as it was; a category word that is not canonical leaves
// the category as it was. The image element is not read.
void ParseFeedItem(std::u16string_view itemText, FeedItem& item);

// Appends the items of a feed document to list in document order and returns
// the channel title (the first title of the channel, so it must come before
// the first item). A document without both rss markers has no title and no
// items.
std::u16string ParseFeed(std::u16string_view document, std::vector<FeedItem>& list);

// "<item><title>..</title><link>..</link><zolfa:image>..</zolfa:image>
// <zolfa:category>..</zolfa:category></item>" on one line, values unescaped.
std::u16string FormatItemLine(std::u16string_view title, std::u16string_view link,
                              std::u16string_view image, std::u16string_view category);

// The item as an indented block of CR LF lines, with the song image for a
// playable item and the directory image otherwise; values unescaped.
std::u16string FormatItemBlock(const FeedItem& item);

}  // namespace zolfa
