#include "zolfa/library/ScreenRules.h"

namespace zolfa {

LibraryEnabling LibraryEnablingFor(int32_t view, int32_t selectedRow, int32_t rowCount) {
  LibraryEnabling e;
  const bool selected = selectedRow >= 0 && selectedRow < rowCount;
  e.selectionCommands = selected;
  if (!selected) return e;
  const bool last = selectedRow == rowCount - 1;
  if (view == kLibraryViewPlaylists) {
    if (selectedRow == 0) return e;  // the all-songs list
    e.moveUp = selectedRow >= 2;
    e.moveDown = !last;
    e.remove = true;
    e.rename = true;
  } else {
    e.moveUp = selectedRow != 0;
    e.moveDown = !last;
    e.remove = rowCount > 0;
  }
  return e;
}

CurPlaylistEnabling CurPlaylistEnablingFor(int32_t selectedIndex, int32_t count,
                                           int32_t displayMode, bool hasLyrics,
                                           bool songStarted) {
  CurPlaylistEnabling e;
  e.moveUp = selectedIndex != 0;
  e.moveDown = selectedIndex != count - 1;
  e.clear = count > 0;
  e.songList = displayMode != 0;
  e.lyrics = displayMode != 1 && hasLyrics && songStarted;
  e.cover = displayMode != 2 && songStarted;
  return e;
}

}  // namespace zolfa
