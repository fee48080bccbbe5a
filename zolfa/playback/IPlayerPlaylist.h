// What the player bar asks of the current playlist it plays and of the
// lyrics display beside it. Every call comes on the user-interface thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "zolfa/browse/FeedItem.h"

namespace zolfa {

class IPlayerPlaylist {
 public:
  virtual ~IPlayerPlaylist() = default;

  // The playlist's own stop: the player stopped, the current entry none,
  // the song list shown, the stopped-on-purpose mark set.
  virtual void Stop() = 0;
  // The row the user selected; -1 when none.
  virtual int32_t SelectedIndex() = 0;
  virtual void SetCurrent(int32_t index) = 0;
  virtual FeedItem CurrentItem() = 0;
  virtual int PlayNextSong() = 0;
  virtual int PlayPrevSong() = 0;
  virtual void SetSongStarted(bool started) = 0;
  virtual int32_t Count() = 0;
  // 0 song list, 1 lyrics, 2 album cover.
  virtual int32_t DisplayMode() = 0;
  virtual void SetDisplayMode(int32_t mode) = 0;

  // The lyrics display: the song's timed lyrics, the position in whole
  // seconds, and whether the text gave any line.
  virtual void SetLyrics(std::u16string_view text) = 0;
  virtual void SetLyricsPosition(int32_t seconds) = 0;
  virtual bool LyricsHaveLines() = 0;
};

}  // namespace zolfa
