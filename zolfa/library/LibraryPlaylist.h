// One named playlist of the personal library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zolfa/library/LibrarySong.h"

namespace zolfa {

// The id and name of the list that holds every song added to any other list.
constexpr int32_t kAllSongsId = -99;
inline constexpr char16_t kAllSongsName[] = u"全部歌曲";

struct LibraryPlaylist {
  int32_t id = 0;  // larger than every other id when made; playlists are found by id
  std::u16string name;
  std::vector<LibrarySong> songs;

  bool operator==(const LibraryPlaylist&) const = default;
};

}  // namespace zolfa
