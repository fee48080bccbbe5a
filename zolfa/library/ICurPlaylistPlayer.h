// What the current playlist asks of the player bar that plays its entries.
#pragma once

#include "zolfa/browse/FeedItem.h"

namespace zolfa {

class ICurPlaylistPlayer {
 public:
  virtual ~ICurPlaylistPlayer() = default;

  // Starts playing the entry and returns 1. An entry with an empty title
  // plays nothing.
  virtual int Play(const FeedItem& entry) = 0;
  virtual void Stop() = 0;
  // Returns the bar to its idle look (no time, no status text).
  virtual void ResetDisplay() = 0;
  // The mark that tells the media events a stop was asked for by the user,
  // so that the end of the media does not advance to the next song.
  virtual void SetStoppedOnPurpose(bool stopped) = 0;
};

}  // namespace zolfa
