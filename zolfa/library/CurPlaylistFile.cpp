#include "zolfa/library/CurPlaylistFile.h"

#include "zolfa/browse/FeedFormat.h"

namespace zolfa {

namespace {

constexpr std::u16string_view kHeader =
    u"<?xml version=\"1.0\" ?>\r\n<rss version=\"2.0\">\r\n\t<channel>\r\n\t\t<title>"
    u"現在播放清單</title>\r\n";
constexpr std::u16string_view kFooter = u"\t</channel>\r\n</rss>";

// Appends the piece and its line feed as UTF-16LE bytes.
void AppendPiece(std::string& out, std::u16string_view piece) {
  for (char16_t unit : piece) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  out.push_back('\n');
  out.push_back('\0');
}

}  // namespace

std::string FormatCurPlaylistFile(const std::vector<FeedItem>& entries) {
  std::string out;
  size_t estimate = 2 * (kHeader.size() + kFooter.size() + 2);
  for (const FeedItem& entry : entries) {
    estimate += 2 * (entry.title.size() + entry.link.size() + 150);
  }
  out.reserve(estimate);

  AppendPiece(out, kHeader);
  std::u16string piece;
  for (const FeedItem& entry : entries) {
    AppendPiece(out, u"\t\t<item>\r\n\t\t\t<title>");
    piece.assign(entry.title);
    piece += u"</title>\r\n\t\t\t<link>";
    piece += entry.link;
    AppendPiece(out, piece);
    piece.assign(u"</link>\r\n\t\t\t<zolfa:image>");
    piece += IsPlayable(entry) ? kSongImage : kDirectoryImage;
    AppendPiece(out, piece);
    AppendPiece(out, u"</zolfa:image>\r\n\t\t\t<zolfa:category>");
    AppendPiece(out, CategoryOf(entry));
    AppendPiece(out, u"</zolfa:category>\r\n\t\t</item>\r\n");
  }
  AppendPiece(out, kFooter);
  return out;
}

std::vector<FeedItem> ParseCurPlaylistFile(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (unit != u'\n') text.push_back(unit);
  }
  std::vector<FeedItem> entries;
  ParseFeed(text, entries);
  return entries;
}

}  // namespace zolfa
