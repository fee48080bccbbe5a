// The answers of the stream server that a song ticket reads: the ticket
// answer and the lyrics answer. Both are read with FindTag, forward only, in
// the order the service writes the elements; a missing element is skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zolfa {

// A ticket answer without a status, or with an empty one, reads as this
// (which is not 0, so it fails the ticket).
constexpr int32_t kTicketNoStatus = 200;

struct TicketAnswer {
  int32_t status = kTicketNoStatus;
  std::u16string errorMessage;  // read, not used
  bool hasTicket = false;
  std::u16string ticket;
  int32_t lyricsExists = 0;
  int32_t lyricsEditable = 0;
  int32_t albumId = 0;
  bool hasAlbumPhotoMd5 = false;
  std::u16string albumPhotoMd5;
};

// <status>, <ErrorMessage>, <ticket>, <lyrics_exists>, <lyrics_editable>,
// <album_id>, <album_photo_md5>, in this order.
TicketAnswer ReadTicketAnswer(std::u16string_view answer);

struct LyricsAnswer {
  bool found = false;  // a <lyrics_struct> was there
  std::u16string lyricist;
  std::u16string composer;
  std::u16string lyrics;
  int32_t creator = 0;
  std::u16string nick;
};

// <lyrics_struct>, and inside it <lyricist>, <composer>, <lyrics>,
// <creator>, <nick>, in this order.
LyricsAnswer ReadLyricsAnswer(std::u16string_view answer);

// True when the digest names no photo: its first 32 characters are one of
// the service's two sentinels.
bool IsSentinelPhotoDigest(std::u16string_view digest);

}  // namespace zolfa
