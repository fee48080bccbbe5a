#include "zolfa/library/CCoreCurPlaylist.h"

#include <exception>

#include "platform/base/DeviceFile.h"
#include "platform/base/Random.h"
#include "zolfa/app/AppendLog.h"
#include "zolfa/app/ZolfaPaths.h"
#include "zolfa/library/AtomicFile.h"
#include "zolfa/library/CurPlaylistFile.h"

namespace zolfa {

namespace {

constexpr char16_t kClearQuestion[] = u"確定要清除所有歌曲嗎?";

}  // namespace

CCoreCurPlaylist::CCoreCurPlaylist(ICurPlaylistOwner& owner, ICurPlaylistCore& core)
    : owner_(owner), core_(core) {
  ReadPlayModes(shuffleMode_, repeatMode_);
}

CCoreCurPlaylist::~CCoreCurPlaylist() { SaveState(); }

std::u16string CCoreCurPlaylist::FilePath() { return ProgramFilePath(kCurPlayListFileName); }

bool CCoreCurPlaylist::Load() {
  std::string bytes;
  items_.clear();
  // A missing or unreadable file is an empty list.
  if (ReadDeviceFile(FilePath(), ce::OPEN_EXISTING, bytes)) {
    items_ = ParseCurPlaylistFile(bytes);
  }
  if (items_.empty()) selectedIndex_ = -1;
  owner_.FillRows(items_);
  if (shuffleMode_ == kShuffleOn) BuildShuffleOrder();
  return true;
}

bool CCoreCurPlaylist::Save() {
  if (!modified_) return false;
  // On failure the list stays in memory and modified stays set, so the next
  // Save tries again.
  if (!ReplaceFileAtomically(FilePath(), FormatCurPlaylistFile(items_))) return false;
  modified_ = false;
  return true;
}

void CCoreCurPlaylist::SaveState() {
  Save();
  WritePlayModes(shuffleMode_, repeatMode_);
}

void CCoreCurPlaylist::AddItems(const std::vector<FeedItem>& list, bool playFirst, bool replace) {
  if (replace) {
    items_.clear();
    owner_.DeleteAllRows();
  }
  int32_t first = Count();
  for (const FeedItem& item : list) {
    if (!IsPlayable(item)) continue;
    items_.push_back(item);
    owner_.AddRow(item);
  }
  if (shuffleMode_ == kShuffleOn) BuildShuffleOrder();
  KeepSelectionInList();
  // Only an entry this call added is started: with nothing added the player
  // would replay whatever it played last.
  if (playFirst && first < Count()) {
    PlayIndex(first);
    selectedIndex_ = first;
  } else if (selectedIndex_ < 0 && !items_.empty()) {
    selectedIndex_ = 0;
  }
  owner_.SelectRow(selectedIndex_);
  modified_ = true;
  Save();
}

void CCoreCurPlaylist::AddItem(const FeedItem& item, bool play) {
  if (IsPlayable(item)) {
    items_.push_back(item);
    owner_.AddRow(item);
    if (play) {
      SetCurrent(Count() - 1);
      PlayIndex(currentIndex_);
    }
  }
  if (shuffleMode_ == kShuffleOn) BuildShuffleOrder();
  modified_ = true;
  Save();
}

int CCoreCurPlaylist::PlayIndex(int32_t index) {
  SetSelected(index);
  owner_.SelectRow(index);
  SetCurrent(index);
  ICurPlaylistPlayer& player = owner_.Player();
  player.SetStoppedOnPurpose(false);
  FeedItem entry = CurrentItem();
  owner_.AllowCoverRepaint();
  owner_.MakeRowVisible(currentIndex_);
  int result = player.Play(entry);
  owner_.SetTitleLine(CurrentItem().title);
  return result;
}

bool CCoreCurPlaylist::SelectAndPlay(int32_t index) {
  SetSelected(index);
  return PlayIndex(index) == 1;
}

void CCoreCurPlaylist::SetSelected(int32_t index) {
  if (items_.empty()) return;
  if (index >= Count()) index = Count() - 1;
  if (index < 0) index = 0;
  selectedIndex_ = index;
}

void CCoreCurPlaylist::SetCurrent(int32_t index) {
  currentIndex_ = index;
  core_.SetNowPlayingFile(FilePath());
  core_.SetNowPlayingIndex(index);
  owner_.RepaintList();
}

FeedItem CCoreCurPlaylist::CurrentItem() {
  if (items_.empty()) {
    // The player plays nothing for an entry without a title.
    cachedEntry_.title.clear();
    return cachedEntry_;
  }
  if (InRange(currentIndex_)) {
    cachedEntry_ = items_[currentIndex_];
  } else if (currentIndex_ < 0) {
    int32_t row = owner_.FirstSelectedRow();
    if (InRange(row)) cachedEntry_ = items_[row];
  }
  return cachedEntry_;
}

void CCoreCurPlaylist::Stop() {
  ICurPlaylistPlayer& player = owner_.Player();
  player.Stop();
  player.ResetDisplay();
  songStarted_ = false;
  SetCurrent(-1);
  displayMode_ = 0;
  owner_.ShowDisplayMode(0);
  player.SetStoppedOnPurpose(true);
}

void CCoreCurPlaylist::SwapItems(int32_t a, int32_t b) {
  if (!InRange(a) || !InRange(b)) return;
  std::swap(items_[a], items_[b]);
  owner_.SetRowText(a, items_[a].title);
  owner_.SetRowText(b, items_[b].title);
  owner_.SelectRow(b);
  owner_.RepaintList();
  modified_ = true;
  Save();
}

void CCoreCurPlaylist::MoveUp(int32_t index) {
  if (index <= 0 || index >= Count()) return;
  int32_t above = index - 1;
  if (index == currentIndex_) {
    SetCurrent(above);
  } else if (above == currentIndex_) {
    SetCurrent(index);
  }
  SwapItems(index, above);
  SetSelected(above);
  owner_.SelectRow(above);
}

void CCoreCurPlaylist::MoveDown(int32_t index) {
  if (index < 0 || index >= Count() - 1) return;
  int32_t below = index + 1;
  if (index == currentIndex_) {
    SetCurrent(below);
  } else if (below == currentIndex_) {
    SetCurrent(index);
  }
  SwapItems(index, below);
  SetSelected(below);
  owner_.SelectRow(below);
}

void CCoreCurPlaylist::RemoveAt(int32_t index) {
  if (!InRange(index)) return;
  items_.erase(items_.begin() + index);
  owner_.DeleteRow(index);
  if (index == currentIndex_) {
    SetCurrent(-1);
  } else if (index < currentIndex_) {
    SetCurrent(currentIndex_ - 1);
  }
  int32_t row = index < Count() ? index : index - 1;
  // With the last entry gone there is no row left to select.
  if (row >= 0) owner_.SelectRow(row);
  KeepSelectionInList();
  modified_ = true;
  if (shuffleMode_ == kShuffleOn) BuildShuffleOrder();
}

void CCoreCurPlaylist::ClearAll() {
  if (items_.empty()) return;
  if (!owner_.ConfirmYesNo(kClearQuestion)) return;
  items_.clear();
  owner_.DeleteAllRows();
  // The selection must name an entry or none; playback and the play order
  // are left alone. The cleared list is written by the next Save.
  selectedIndex_ = -1;
  modified_ = true;
}

void CCoreCurPlaylist::KeepSelectionInList() {
  if (selectedIndex_ >= Count()) selectedIndex_ = Count() - 1;
}

void CCoreCurPlaylist::SetDisplayMode(int32_t mode) {
  if (mode < 0 || mode > 2) return;
  displayMode_ = mode;
  owner_.ShowDisplayMode(mode);
}

void CCoreCurPlaylist::ToggleShuffle() {
  if (shuffleMode_ == kShuffleOn) {
    shuffleMode_ = kShuffleOff;
    owner_.SetShuffleButton(false);
  } else if (shuffleMode_ == kShuffleOff) {
    shuffleMode_ = kShuffleOn;
    owner_.SetShuffleButton(true);
    BuildShuffleOrder();
  }
  owner_.RepaintList();
}

void CCoreCurPlaylist::ToggleRepeat() {
  if (repeatMode_ == kRepeatOn) {
    repeatMode_ = kRepeatOff;
    owner_.SetRepeatButton(false);
  } else if (repeatMode_ == kRepeatOff) {
    repeatMode_ = kRepeatOn;
    owner_.SetRepeatButton(true);
  }
  owner_.RepaintList();
}

void CCoreCurPlaylist::BuildShuffleOrder() {
  int32_t n = Count();
  shuffleOrder_.clear();
  for (int32_t i = 0; i < n; ++i) shuffleOrder_.push_back(i);
  // Every exchange involves the first element. The generator is the
  // process-wide one and is not seeded here.
  for (int32_t k = 0; k < 2 * n; ++k) {
    int32_t j = ce::rand() % n;
    std::swap(shuffleOrder_[0], shuffleOrder_[j]);
  }
}

int CCoreCurPlaylist::StopAtEnd() {
  Stop();
  return 0;
}

int CCoreCurPlaylist::PlayNextSong() {
  try {
    return PlayNextSongSteps();
  } catch (const std::exception&) {
  } catch (...) {
  }
  AppendLog(kPlaylistLogFileName, u"in PlayNextSong", true);
  return 1;
}

int CCoreCurPlaylist::PlayNextSongSteps() {
  int32_t n = Count();
  if (shuffleMode_ == kShuffleOn) {
    if (shufflePosition_ >= n) {
      shufflePosition_ = 0;
      BuildShuffleOrder();
      if (repeatMode_ == kRepeatOff) return StopAtEnd();
    }
    if (shufflePosition_ < 0) {
      shufflePosition_ = n - 1;
    } else if (static_cast<size_t>(shufflePosition_) < shuffleOrder_.size()) {
      currentIndex_ = shuffleOrder_[shufflePosition_];
      ++shufflePosition_;
    } else {
      // An empty list with repeat on has no element to wrap to.
      return StopAtEnd();
    }
  } else if (shuffleMode_ == kShuffleOff) {
    int64_t next = static_cast<int64_t>(currentIndex_) + 1;
    if (next >= n) {
      if (repeatMode_ == kRepeatOff) return StopAtEnd();
      SetCurrent(0);
    } else {
      currentIndex_ = static_cast<int32_t>(next);
      if (currentIndex_ < 0) currentIndex_ = n - 1;
    }
  }
  if (PlayIndex(currentIndex_) == 1) SetCurrent(currentIndex_);
  return 1;
}

int CCoreCurPlaylist::PlayPrevSong() {
  int32_t n = Count();
  if (shuffleMode_ == kShuffleOn) {
    if (shufflePosition_ < 0) {
      shufflePosition_ = n - 1;
      BuildShuffleOrder();
      if (repeatMode_ == kRepeatOff) return StopAtEnd();
    }
    if (shufflePosition_ >= n) {
      shufflePosition_ = 0;
    } else if (shufflePosition_ >= 0 &&
               static_cast<size_t>(shufflePosition_) < shuffleOrder_.size()) {
      currentIndex_ = shuffleOrder_[shufflePosition_];
      --shufflePosition_;
    } else {
      // An empty list with repeat on has no element to wrap to.
      return StopAtEnd();
    }
  } else if (shuffleMode_ == kShuffleOff) {
    int64_t previous = static_cast<int64_t>(currentIndex_) - 1;
    if (previous >= n) previous = 0;
    if (previous < 0) {
      if (repeatMode_ == kRepeatOff) return StopAtEnd();
      previous = n - 1;
    }
    currentIndex_ = static_cast<int32_t>(previous);
  }
  if (PlayIndex(currentIndex_) == 1) SetCurrent(currentIndex_);
  return 1;
}

void CCoreCurPlaylist::SetLyrics(std::u16string_view text) { owner_.SetLyrics(text); }

void CCoreCurPlaylist::SetLyricsPosition(int32_t seconds) { owner_.SetLyricsPosition(seconds); }

void CCoreCurPlaylist::SetAlbumCover(std::u16string_view source) {
  {
    std::lock_guard<std::mutex> lock(coverMutex_);
    if (source.empty()) {
      hasAlbumCover_ = false;
      return;
    }
    albumCover_.assign(source);
    hasAlbumCover_ = true;
  }
  owner_.ShowAlbumCover(source);
}

std::u16string CCoreCurPlaylist::AlbumCover() const {
  std::lock_guard<std::mutex> lock(coverMutex_);
  return albumCover_;
}

bool CCoreCurPlaylist::HasAlbumCover() const {
  std::lock_guard<std::mutex> lock(coverMutex_);
  return hasAlbumCover_;
}

}  // namespace zolfa
