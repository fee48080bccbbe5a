// What the current playlist tells the core controller: which entry of which
// playlist file plays, for the playing-row mark of the list drawing.
#pragma once

#include <cstdint>
#include <string_view>

namespace zolfa {

class ICurPlaylistCore {
 public:
  virtual ~ICurPlaylistCore() = default;

  // Full device path of the playlist file whose entry plays.
  virtual void SetNowPlayingFile(std::u16string_view path) = 0;
  // Position of the playing entry in that file; -1 when none.
  virtual void SetNowPlayingIndex(int32_t index) = 0;
};

}  // namespace zolfa
