// The current playlist: the ordered songs the player works through, the
// playing and the selected entry, the play order (shuffle and repeat) and the
// file "CurPlayList.xml" in which the list survives between runs.
//
// The current-playlist screen owns the object and is reached through its
// owner interface; the core controller learns the playing entry through its
// own small interface. Every operation runs on the user-interface thread,
// except SetAlbumCover, which the cover workers call.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "zolfa/browse/FeedItem.h"
#include "zolfa/library/ICurPlaylistCore.h"
#include "zolfa/library/ICurPlaylistOwner.h"
#include "zolfa/library/PlayModeSettings.h"

namespace zolfa {

class CCoreCurPlaylist {
 public:
  // Takes the initial values and reads the two play modes from the settings.
  CCoreCurPlaylist(ICurPlaylistOwner& owner, ICurPlaylistCore& core);
  // Runs SaveState, so the list and the modes survive the screen.
  ~CCoreCurPlaylist();
  CCoreCurPlaylist(const CCoreCurPlaylist&) = delete;
  CCoreCurPlaylist& operator=(const CCoreCurPlaylist&) = delete;

  // Full device path of "CurPlayList.xml".
  static std::u16string FilePath();

  // File.
  bool Load();
  bool Save();
  void SaveState();

  // Adding.
  void AddItems(const std::vector<FeedItem>& list, bool playFirst, bool replace);
  void AddItem(const FeedItem& item, bool play);

  // Playing and selecting.
  int PlayIndex(int32_t index);
  bool SelectAndPlay(int32_t index);
  void SetSelected(int32_t index);
  void SetCurrent(int32_t index);
  FeedItem CurrentItem();
  void Stop();

  // Edits.
  void SwapItems(int32_t a, int32_t b);
  void MoveUp(int32_t index);
  void MoveDown(int32_t index);
  void RemoveAt(int32_t index);
  void ClearAll();

  void SetDisplayMode(int32_t mode);

  // Play order.
  void ToggleShuffle();
  void ToggleRepeat();
  void BuildShuffleOrder();
  int PlayNextSong();
  int PlayPrevSong();

  // Relays from the player to the lyrics panel.
  void SetLyrics(std::u16string_view text);
  void SetLyricsPosition(int32_t seconds);
  // Keeps a non-empty cover source and hands it to the album-cover panel; an
  // empty one only marks the cover as absent. Safe on any thread.
  void SetAlbumCover(std::u16string_view source);
  std::u16string AlbumCover() const;
  bool HasAlbumCover() const;

  // Accessors.
  const std::vector<FeedItem>& Items() const { return items_; }
  int32_t SelectedIndex() const { return selectedIndex_; }
  int32_t CurrentIndex() const { return currentIndex_; }
  int32_t DisplayMode() const { return displayMode_; }
  int32_t RepeatMode() const { return repeatMode_; }
  int32_t ShuffleMode() const { return shuffleMode_; }
  const std::vector<int32_t>& ShuffleOrder() const { return shuffleOrder_; }
  int32_t ShufflePosition() const { return shufflePosition_; }
  bool Modified() const { return modified_; }
  bool SongStarted() const { return songStarted_; }
  void SetSongStarted(bool started) { songStarted_ = started; }

 private:
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  bool InRange(int32_t index) const { return index >= 0 && index < Count(); }
  int PlayNextSongSteps();
  // Ends the list: stops playback and reports that nothing more plays.
  int StopAtEnd();
  // Keeps selectedIndex a position in the list or -1.
  void KeepSelectionInList();

  ICurPlaylistOwner& owner_;
  ICurPlaylistCore& core_;

  std::vector<FeedItem> items_;
  int32_t selectedIndex_ = -1;
  int32_t currentIndex_ = -1;
  int32_t repeatMode_ = kRepeatOff;
  int32_t shuffleMode_ = kShuffleOff;
  std::vector<int32_t> shuffleOrder_;
  int32_t shufflePosition_ = -1;
  int32_t displayMode_ = 0;
  bool modified_ = false;
  bool songStarted_ = false;
  FeedItem cachedEntry_;

  // The cover source arrives on worker threads.
  mutable std::mutex coverMutex_;
  std::u16string albumCover_;
  bool hasAlbumCover_ = false;
};

}  // namespace zolfa
