// The text of "CurPlayList.xml": an RSS 2.0 document in UTF-16 little-endian
// without a byte-order mark, written as a sequence of pieces each followed
// by one line feed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "zolfa/browse/FeedItem.h"

namespace zolfa {

inline constexpr std::u16string_view kCurPlaylistChannelTitle = u"現在播放清單";

// The exact bytes of the file for these entries. Titles, links and
// categories are written as they are, without escaping.
std::string FormatCurPlaylistFile(const std::vector<FeedItem>& entries);

// The entries of a file's bytes, in file order, playable or not. Line feeds
// only separate written pieces and are removed before the feed is read; a
// trailing odd byte is ignored. Anything that is not such a document gives
// no entries.
std::vector<FeedItem> ParseCurPlaylistFile(std::string_view bytes);

}  // namespace zolfa
