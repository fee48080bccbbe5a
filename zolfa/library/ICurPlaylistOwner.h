// What the current playlist asks of the screen that owns it: its song list,
// its title line, its display modes and panels, and the player bar it holds.
//
// Rows of the song list stand for entries of the playlist at the same
// position. Every call comes on the user-interface thread except
// ShowAlbumCover (see there).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "zolfa/browse/FeedItem.h"
#include "zolfa/library/ICurPlaylistPlayer.h"

namespace zolfa {

class ICurPlaylistOwner {
 public:
  virtual ~ICurPlaylistOwner() = default;

  // The player bar embedded in the screen; it lives as long as the screen.
  virtual ICurPlaylistPlayer& Player() = 0;

  // Song list.
  virtual void AddRow(const FeedItem& entry) = 0;
  virtual void DeleteRow(int32_t row) = 0;
  virtual void DeleteAllRows() = 0;
  // Replaces all rows by one row per entry, in order.
  virtual void FillRows(const std::vector<FeedItem>& entries) = 0;
  virtual void SetRowText(int32_t row, std::u16string_view text) = 0;
  // Selects and focuses the row and scrolls it into view.
  virtual void SelectRow(int32_t row) = 0;
  // Scrolls the row into view without changing the selection.
  virtual void MakeRowVisible(int32_t row) = 0;
  // The first selected row, -1 when none.
  virtual int32_t FirstSelectedRow() = 0;
  virtual void RepaintList() = 0;

  // Display modes: 0 song list, 1 lyrics, 2 album cover.
  virtual void ShowDisplayMode(int32_t mode) = 0;
  virtual void SetTitleLine(std::u16string_view title) = 0;
  virtual void SetShuffleButton(bool pressed) = 0;
  virtual void SetRepeatButton(bool pressed) = 0;

  // Lets the album-cover panel repaint when the next cover arrives.
  virtual void AllowCoverRepaint() = 0;
  // A non-empty cover source for the album-cover panel. Called on the thread
  // of the worker that found the cover; the screen hands it to its own
  // thread before touching the panel.
  virtual void ShowAlbumCover(std::u16string_view source) = 0;
  // Relays to the lyrics panel, passed on unchanged.
  virtual void SetLyrics(std::u16string_view text) = 0;
  virtual void SetLyricsPosition(int32_t seconds) = 0;

  // Asks the user a yes/no question; true for yes.
  virtual bool ConfirmYesNo(std::u16string_view question) = 0;
};

}  // namespace zolfa
