#include "zolfa/playback/TicketAnswer.h"

#include "zolfa/service/FindTag.h"

namespace zolfa {

namespace {

constexpr std::u16string_view kSentinels[] = {u"Zolfa911Zolfa911Zolfa911Zolfa911",
                                              u"11111111111111111111111111111111"};
constexpr size_t kDigestLength = 32;

// The value of the next element, when it is there and not empty.
bool ReadText(TagCursor& cursor, std::u16string_view name, std::u16string& out) {
  const std::u16string open = u"<" + std::u16string(name) + u">";
  const std::u16string close = u"</" + std::u16string(name) + u">";
  TagValue value = FindTag(cursor, open, close);
  if (!value.HasValue()) return false;
  out.assign(value.value);
  return true;
}

bool ReadNumber(TagCursor& cursor, std::u16string_view name, int32_t& out) {
  std::u16string text;
  if (!ReadText(cursor, name, text)) return false;
  out = TagNumber(text);
  return true;
}

}  // namespace

TicketAnswer ReadTicketAnswer(std::u16string_view answer) {
  TicketAnswer result;
  TagCursor cursor(answer);
  ReadNumber(cursor, u"status", result.status);
  ReadText(cursor, u"ErrorMessage", result.errorMessage);
  result.hasTicket = ReadText(cursor, u"ticket", result.ticket);
  ReadNumber(cursor, u"lyrics_exists", result.lyricsExists);
  ReadNumber(cursor, u"lyrics_editable", result.lyricsEditable);
  ReadNumber(cursor, u"album_id", result.albumId);
  result.hasAlbumPhotoMd5 = ReadText(cursor, u"album_photo_md5", result.albumPhotoMd5);
  return result;
}

LyricsAnswer ReadLyricsAnswer(std::u16string_view answer) {
  LyricsAnswer result;
  TagCursor outer(answer);
  std::u16string inside;
  if (!ReadText(outer, u"lyrics_struct", inside)) return result;
  result.found = true;
  TagCursor cursor(inside);
  ReadText(cursor, u"lyricist", result.lyricist);
  ReadText(cursor, u"composer", result.composer);
  ReadText(cursor, u"lyrics", result.lyrics);
  ReadNumber(cursor, u"creator", result.creator);
  ReadText(cursor, u"nick", result.nick);
  return result;
}

bool IsSentinelPhotoDigest(std::u16string_view digest) {
  if (digest.size() < kDigestLength) return false;
  const std::u16string_view head = digest.substr(0, kDigestLength);
  for (std::u16string_view sentinel : kSentinels) {
    if (head == sentinel) return true;
  }
  return false;
}

}  // namespace zolfa
