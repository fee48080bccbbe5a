// Which commands of the current-playlist and personal-library screens are
// enabled, from the state of the screen alone.
#pragma once

#include <cstdint>

namespace zolfa {

// The two views of the personal-library screen.
constexpr int32_t kLibraryViewPlaylists = 1;
constexpr int32_t kLibraryViewSongs = 2;

struct LibraryEnabling {
  bool moveUp = false;
  bool moveDown = false;
  bool remove = false;
  bool rename = false;
  // "播放此歌單", "將此歌單附加到播放清單", "播放歌曲", "歌曲附加到播放清單".
  bool selectionCommands = false;
};

// selectedRow: the row of the visible list, -1 for none; rowCount: its rows.
// In the playlists view row 0 is the all-songs list, which neither moves,
// nor takes another name, nor goes, and nothing moves above it.
LibraryEnabling LibraryEnablingFor(int32_t view, int32_t selectedRow, int32_t rowCount);

struct CurPlaylistEnabling {
  bool moveUp = false;
  bool moveDown = false;
  bool clear = false;
  bool songList = false;
  bool lyrics = false;
  bool cover = false;
};

// The entries of the current playlist's menus that are not always enabled.
CurPlaylistEnabling CurPlaylistEnablingFor(int32_t selectedIndex, int32_t count,
                                           int32_t displayMode, bool hasLyrics,
                                           bool songStarted);

}  // namespace zolfa
