// Slow, literal reference forms of the marker search and the list answer
// reader, for checking the offset-based code against: SplitBetween deletes
// from a working copy and searches again, and every search of the answer
// reader starts from scratch. Shared by the tests and the fuzz targets.
#pragma once

#include <string>
#include <vector>

#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/FeedItem.h"

namespace zolfa::naive {

// ExtractBetween on a copy, reporting where the end marker ended.
inline bool Extract(const std::u16string& text, const std::u16string& start,
                    const std::u16string& end, std::u16string& value, size_t* afterEnd = nullptr) {
  if (start.empty() || end.empty()) return false;
  size_t s = text.find(start);
  if (s == std::u16string::npos) return false;
  size_t e = text.find(end, s);
  if (e == std::u16string::npos) return false;
  size_t valueBegin = s + start.size();
  value = e > valueBegin ? text.substr(valueBegin, e - valueBegin) : std::u16string();
  if (afterEnd) *afterEnd = e + end.size();
  return true;
}

inline std::vector<std::u16string> Split(std::u16string text, const std::u16string& start,
                                         const std::u16string& end) {
  std::vector<std::u16string> values;
  std::u16string value;
  size_t afterEnd = 0;
  while (Extract(text, start, end, value, &afterEnd)) {
    values.push_back(value);
    text.erase(0, afterEnd);
  }
  return values;
}

// The value between start and end searched in the answer from pos; also
// reports the position past the end marker.
inline bool ExtractFrom(const std::u16string& answer, size_t pos, const std::u16string& start,
                        const std::u16string& end, std::u16string& value, size_t* afterEnd = nullptr) {
  if (pos > answer.size()) return false;
  size_t after = 0;
  if (!Extract(answer.substr(pos), start, end, value, &after)) return false;
  if (afterEnd) *afterEnd = pos + after;
  return true;
}

inline std::u16string TopicValue(const std::u16string& answer, size_t pos, const std::u16string& tag) {
  std::u16string value;
  if (ExtractFrom(answer, pos, u"<" + tag + u">", u"</" + tag + u">", value) && !value.empty()) {
    return value;
  }
  value.clear();
  ExtractFrom(answer, pos, u"&lt;" + tag + u"&gt;", u"&lt;/" + tag + u"&gt;", value);
  return value;
}

inline std::vector<FeedItem> ListAnswer(const std::u16string& answer, int kind) {
  static const char16_t* const kElements[] = {u"genre", u"artist", u"album", u"song", u"Item", u"Item"};
  std::vector<FeedItem> items;
  if (kind < 0 || kind > 5) return items;
  std::u16string element = kElements[kind];
  std::u16string idTag = kind == kBrowseSongList ? u"song_id" : u"id";
  size_t cursor = 0;
  std::u16string content;
  size_t after = 0;
  while (ExtractFrom(answer, cursor, u"<" + element + u">", u"</" + element + u">", content, &after) &&
         !content.empty()) {
    size_t inner = answer.find(u"<" + element + u">", cursor) + element.size() + 2;
    cursor = after;
    FeedItem item;
    std::u16string title;
    size_t afterText = 0;
    if (!IsTopicKind(kind) && ExtractFrom(answer, inner, u"<text>", u"</text>", title, &afterText) &&
        !title.empty()) {
      item.title = title;
      ExtractFrom(answer, afterText, u"<" + idTag + u">", u"</" + idTag + u">", item.link);
      item.category = u"folder";
    } else {
      std::u16string type = TopicValue(answer, inner, u"ItemType");
      if (type.empty()) continue;
      item.title = TopicValue(answer, inner, u"ItemName");
      item.link = TopicValue(answer, inner, u"ItemID");
      item.category = type.substr(0, 5) == u"track" ? u"song" : u"folder";
    }
    items.push_back(item);
  }
  return items;
}

}  // namespace zolfa::naive
