// ParseFeed over arbitrary documents: checked against a reference that cuts
// the document with copies and deletions, and, for items whose fields hold
// no "<", against writing the items as blocks and reading them back.
// Input: byte 0 picks the text mode; the rest is the document.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/feed/FuzzText.h"
#include "tests/browse/NaiveFeed.h"
#include "zolfa/browse/FeedFormat.h"

namespace {

using zolfa::FeedItem;

std::u16string ReferenceFeed(const std::u16string& document, std::vector<FeedItem>& list) {
  std::u16string channel;
  if (!zolfa::naive::Extract(document, u"<rss version=\"2.0\">", u"</rss>", channel)) return {};
  std::u16string title;
  zolfa::naive::Extract(channel, u"<title>", u"</title>", title);
  for (const std::u16string& text : zolfa::naive::Split(channel, u"<item>", u"</item>")) {
    FeedItem item;
    zolfa::naive::Extract(text, u"<title>", u"</title>", item.title);
    zolfa::naive::Extract(text, u"<link>", u"</link>", item.link);
    std::u16string category;
    if (zolfa::naive::Extract(text, u"<zolfa:category>", u"</zolfa:category>", category)) {
      zolfa::SetCategory(item, category);
    }
    list.push_back(item);
  }
  return title;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zolfa;
  if (size < 1) return 0;
  const std::u16string document = fuzz::WideText(data + 1, size - 1, data[0] & 1);

  std::vector<FeedItem> list;
  std::u16string title = ParseFeed(document, list);
  for (const FeedItem& item : list) {
    if (!item.category.empty() && CategoryIndex(item) < 0) fuzz::Fail("category not canonical");
  }
  if (document.size() <= 8192) {
    std::vector<FeedItem> expected;
    if (ReferenceFeed(document, expected) != title || expected != list) fuzz::Fail("differs from reference");
  }

  std::u16string written = u"<rss version=\"2.0\"><channel><title></title>";
  std::vector<FeedItem> plain;
  for (const FeedItem& item : list) {
    if ((item.title + item.link).find(u'<') != std::u16string::npos) continue;
    plain.push_back(item);
    written += FormatItemBlock(item);
  }
  written += u"</channel></rss>";
  std::vector<FeedItem> readBack;
  ParseFeed(written, readBack);
  if (readBack != plain) fuzz::Fail("blocks do not read back");
  return 0;
}
