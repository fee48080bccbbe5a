// What a catalogue read from a music folder has for playback: the song's
// own file, the lyrics beside it and the album's picture. The sample
// catalogue has none of these (its songs are tone tunes, its lyrics and
// photos made up), so it hands out no SongMedia.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "server/CatalogueRecords.h"

namespace zolfa_server {

class SongMedia {
 public:
  struct Picture {
    std::string bytes;
    std::string contentType;
    std::string digest;  // MD5 of the bytes, 32 lower-case hex digits
  };

  virtual ~SongMedia() = default;
  // The song's music file.
  virtual std::optional<std::filesystem::path> File(const Song& song) const = 0;
  // The song's timed lyrics; nothing when it has none.
  virtual std::optional<std::string> Lyrics(const Song& song) const = 0;
  // The album's picture; nothing when it has none.
  virtual std::optional<Picture> Cover(const Album& album) const = 0;
};

}  // namespace zolfa_server
