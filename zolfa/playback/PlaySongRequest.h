// One song-ticket request and its results. The worker that runs it owns it
// and frees it after the result has been delivered; the player screen sees
// it only while it handles MSG_TICKET_READY.
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/Types.h"

namespace zolfa {

struct PlaySongRequest {
  ce::HWND requester = nullptr;  // the player screen; it receives the result
  std::u16string songId;         // catalogue song identifier
  std::u16string streamUrl;      // result: the full address of the audio stream
  int32_t lyricsEditable = 0;    // kept, not used further
  std::u16string lyrics;         // the timed lyrics
  std::u16string lyricist;
  std::u16string composer;
  int32_t creator = 0;
  std::u16string nick;
  std::u16string ticketReply;  // body of the ticket answer
  std::u16string lyricsReply;  // body of the lyrics answer
  int32_t albumId = 0;
  // Absent (false) when the answer had no non-empty <album_photo_md5>.
  bool hasAlbumPhotoMd5 = false;
  std::u16string albumPhotoMd5;
  uint32_t generation = 0;  // tick count (ms) when the request was made
};

}  // namespace zolfa
