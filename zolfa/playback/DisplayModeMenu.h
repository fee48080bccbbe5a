// The context menu of the lyrics and album-cover screens: the popup menu
// 185 "ContextOnSong" with everything removed but its three display-mode
// entries, which switch the current-playlist screen between its song list,
// lyrics and album cover.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"
#include "platform/window/Window.h"

namespace zolfa {

constexpr ce::UINT kContextOnSongMenuId = 185;
constexpr ce::UINT kCmdShowSongList = 32913;    // "歌曲清單"
constexpr ce::UINT kCmdShowLyrics = 32918;      // "歌詞模式"
constexpr ce::UINT kCmdShowAlbumCover = 32855;  // "專輯封面"

// Display modes of the current playlist.
constexpr int32_t kDisplaySongList = 0;
constexpr int32_t kDisplayLyrics = 1;
constexpr int32_t kDisplayAlbumCover = 2;

// A new popup menu (the caller destroys it) with the three entries, each
// enabled or greyed as asked. Built from menu resource 185 when the program
// has it, else from the entries themselves.
ce::HMENU BuildDisplayModeMenu(bool songList, bool lyrics, bool albumCover);

// The display mode a command of the menu asks for; -1 for other commands.
int32_t DisplayModeOfCommand(ce::UINT command);

}  // namespace zolfa
