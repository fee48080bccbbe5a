// What the core controller and the top-level dialog ask of the current
// playlist: additions from the browse and library screens, the next song
// when the media ended, the album cover found by the request workers, and
// stopping and saving at logout.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "zolfa/browse/FeedItem.h"

namespace zolfa {

class ICurrentPlaylist {
 public:
  virtual ~ICurrentPlaylist() = default;

  // Appends every playable item in order, after clearing the list when
  // replace is set; with playFirst the first item added plays. May throw on
  // a platform failure; the core controller catches and logs it.
  virtual void AddItems(const std::vector<FeedItem>& list, bool playFirst, bool replace) = 0;
  // Appends the item when it is playable; with play it plays.
  virtual void AddItem(const FeedItem& item, bool play) = 0;
  // Advances in the play order; 0 when playback stopped at the end.
  virtual int PlayNextSong() = 0;
  // Stops playback (logout).
  virtual void Stop() = 0;
  // Writes the list and the playing entry to the current playlist file.
  virtual void SaveState() = 0;
  // A non-empty cover source is kept and shown; an empty one marks the cover
  // absent. User-interface thread: the core controller hands covers found
  // by workers to the screen's thread first.
  virtual void SetAlbumCover(std::u16string_view source) = 0;
  // The link of the entry now playing; empty when none plays.
  virtual std::u16string PlayingLink() const { return {}; }
};

}  // namespace zolfa
