// Which commands the library and current-playlist screens enable.
#include <gtest/gtest.h>

#include <vector>

#include "zolfa/library/ScreenRules.h"

namespace zolfa {
namespace {

TEST(ScreenRulesTest, LibraryCommandsFollowTheSelectedRow) {
  struct Case {
    int32_t view, row, rows;
    bool up, down, remove, rename, selection;
  };
  const std::vector<Case> cases = {
      // The all-songs row and no selection: nothing moves, goes or is renamed.
      {kLibraryViewPlaylists, 0, 4, false, false, false, false, true},
      {kLibraryViewPlaylists, -1, 4, false, false, false, false, false},
      // Row 1 cannot move above the all-songs row; the last row cannot go down.
      {kLibraryViewPlaylists, 1, 4, false, true, true, true, true},
      {kLibraryViewPlaylists, 2, 4, true, true, true, true, true},
      {kLibraryViewPlaylists, 3, 4, true, false, true, true, true},
      {kLibraryViewPlaylists, 1, 2, false, false, true, true, true},
      {kLibraryViewSongs, 0, 5, false, true, true, false, true},
      {kLibraryViewSongs, 4, 5, true, false, true, false, true},
      {kLibraryViewSongs, 2, 5, true, true, true, false, true},
      {kLibraryViewSongs, -1, 5, false, false, false, false, false},
      {kLibraryViewSongs, 0, 0, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.view << " row " << c.row << " of " << c.rows);
    LibraryEnabling e = LibraryEnablingFor(c.view, c.row, c.rows);
    EXPECT_EQ(e.moveUp, c.up);
    EXPECT_EQ(e.moveDown, c.down);
    EXPECT_EQ(e.remove, c.remove);
    EXPECT_EQ(e.rename, c.rename);
    EXPECT_EQ(e.selectionCommands, c.selection);
  }
}

TEST(ScreenRulesTest, DisplayModesNeedAStartedSongAndLyrics) {
  // Lyrics shown: "歌詞模式" off, "歌曲清單" on.
  CurPlaylistEnabling lyrics = CurPlaylistEnablingFor(1, 3, 1, true, true);
  EXPECT_FALSE(lyrics.lyrics);
  EXPECT_TRUE(lyrics.songList);
  EXPECT_TRUE(lyrics.cover);
  CurPlaylistEnabling idle = CurPlaylistEnablingFor(0, 3, 0, true, false);
  EXPECT_FALSE(idle.songList);
  EXPECT_FALSE(idle.lyrics);
  EXPECT_FALSE(idle.cover);
  EXPECT_FALSE(idle.moveUp);
  EXPECT_TRUE(idle.moveDown);
  EXPECT_TRUE(CurPlaylistEnablingFor(0, 3, 0, true, true).lyrics);
  EXPECT_FALSE(CurPlaylistEnablingFor(0, 3, 0, false, true).lyrics);
  CurPlaylistEnabling last = CurPlaylistEnablingFor(2, 3, 2, false, true);
  EXPECT_FALSE(last.moveDown);
  EXPECT_FALSE(last.cover);
  EXPECT_FALSE(CurPlaylistEnablingFor(-1, 0, 0, false, false).clear);
}

}  // namespace
}  // namespace zolfa
