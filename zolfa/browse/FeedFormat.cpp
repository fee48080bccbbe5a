#include "zolfa/browse/FeedFormat.h"

#include "zolfa/browse/MarkerSearch.h"

namespace zolfa {

namespace {

constexpr std::u16string_view kTitleStart = u"<title>";
constexpr std::u16string_view kTitleEnd = u"</title>";
constexpr std::u16string_view kLinkStart = u"<link>";
constexpr std::u16string_view kLinkEnd = u"</link>";
constexpr std::u16string_view kCategoryStart = u"<zolfa:category>";
constexpr std::u16string_view kCategoryEnd = u"</zolfa:category>";
constexpr std::u16string_view kItemStart = u"<item>";
constexpr std::u16string_view kItemEnd = u"</item>";

}  // namespace

void ParseFeedItem(std::u16string_view itemText, FeedItem& item) {
  if (auto title = FindBetween(itemText, 0, kTitleStart, kTitleEnd)) {
    item.title = title->Value(itemText);
  }
  if (auto link = FindBetween(itemText, 0, kLinkStart, kLinkEnd)) {
    item.link = link->Value(itemText);
  }
  if (auto category = FindBetween(itemText, 0, kCategoryStart, kCategoryEnd)) {
    SetCategory(item, category->Value(itemText));
  }
}

std::u16string ParseFeed(std::u16string_view document, std::vector<FeedItem>& list) {
  auto channelMatch = FindBetween(document, 0, kFeedStart, kFeedEnd);
  if (!channelMatch) return {};
  std::u16string_view channel = channelMatch->Value(document);

  std::u16string title;
  if (auto titleMatch = FindBetween(channel, 0, kTitleStart, kTitleEnd)) {
    title = titleMatch->Value(channel);
  }
  std::vector<std::u16string_view> itemTexts;
  SplitBetween(channel, kItemStart, kItemEnd, itemTexts);
  list.reserve(list.size() + itemTexts.size());
  for (std::u16string_view itemText : itemTexts) {
    FeedItem item;
    ParseFeedItem(itemText, item);
    list.push_back(std::move(item));
  }
  return title;
}

std::u16string FormatItemLine(std::u16string_view title, std::u16string_view link,
                              std::u16string_view image, std::u16string_view category) {
  std::u16string text;
  text.reserve(title.size() + link.size() + image.size() + category.size() + 110);
  text += u"<item><title>";
  text += title;
  text += u"</title><link>";
  text += link;
  text += u"</link><zolfa:image>";
  text += image;
  text += u"</zolfa:image><zolfa:category>";
  text += category;
  text += u"</zolfa:category></item>";
  return text;
}

std::u16string FormatItemBlock(const FeedItem& item) {
  std::u16string text;
  text.reserve(item.title.size() + item.link.size() + 140);
  text += u"\t\t<item>\r\n\t\t\t<title>";
  text += item.title;
  text += u"</title>\r\n\t\t\t<link>";
  text += item.link;
  text += u"</link>\r\n\t\t\t<zolfa:image>";
  text += IsPlayable(item) ? kSongImage : kDirectoryImage;
  text += u"</zolfa:image>\r\n\t\t\t<zolfa:category>";
  text += CategoryOf(item);
  text += u"</zolfa:category>\r\n\t\t</item>\r\n";
  return text;
}

}  // namespace zolfa
