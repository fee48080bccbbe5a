// One song of a personal playlist.
#pragma once

#include <cstdint>
#include <string>

namespace zolfa {

struct LibrarySong {
  int32_t songId = 0;       // the service's song number; 0 when the song has none
  std::u16string songName;  // shown in lists
  std::u16string playUrl;   // the link that plays it, normally "zolfa://play_song_<id>"

  bool operator==(const LibrarySong&) const = default;
};

}  // namespace zolfa
