// Arbitrary ticket and lyrics answers through their readers.
//
// Input: pairs of bytes read as UTF-16 units (little-endian). Every value
// read must be text of the answer, the sentinel rule must agree with a
// plain comparison, and the lyrics reader must find its elements only
// inside the lyrics_struct element.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "zolfa/playback/TicketAnswer.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool Inside(const std::u16string& answer, const std::u16string& value) {
  return value.empty() || answer.find(value) != std::u16string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zolfa;
  std::u16string answer;
  for (size_t i = 0; i + 1 < size; i += 2) {
    answer += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  const std::u16string text = answer.substr(0, answer.find(u'\0'));

  TicketAnswer ticket = ReadTicketAnswer(answer);
  Check(ticket.hasTicket == !ticket.ticket.empty());
  Check(ticket.hasAlbumPhotoMd5 == !ticket.albumPhotoMd5.empty());
  Check(Inside(text, ticket.ticket) && Inside(text, ticket.errorMessage) &&
        Inside(text, ticket.albumPhotoMd5));
  if (text.find(u"<status>") == std::u16string::npos) Check(ticket.status == kTicketNoStatus);
  const std::u16string head = ticket.albumPhotoMd5.substr(0, 32);
  Check(IsSentinelPhotoDigest(ticket.albumPhotoMd5) ==
        (head == u"Zolfa911Zolfa911Zolfa911Zolfa911" || head == u"11111111111111111111111111111111"));

  LyricsAnswer lyrics = ReadLyricsAnswer(answer);
  if (!lyrics.found) {
    Check(lyrics.lyrics.empty() && lyrics.lyricist.empty() && lyrics.creator == 0);
  }
  Check(Inside(text, lyrics.lyrics) && Inside(text, lyrics.nick));
  return 0;
}
