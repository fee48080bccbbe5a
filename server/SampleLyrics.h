// The timed lyrics of the sample songs, as the lyrics answer carries them:
// one line a second, "[mm:ss-mm:ss]" spans, type tags choosing the
// highlight colour, a countdown marker before the first sung line and one
// line long enough to be wrapped on a narrow screen. Texts are UTF-8.
#pragma once

#include <string>

#include "server/CatalogueRecords.h"

namespace zolfa_server {

class SampleLyrics {
 public:
  // Whether the song has lyrics: every song but those whose id ends in 4.
  static bool Exists(const Song& song);
  static std::string For(const Song& song);
  static std::string Lyricist(const Song& song);
  static std::string Composer(const Song& song);
};

}  // namespace zolfa_server
