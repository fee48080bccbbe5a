#include "zolfa/library/CPersonalLibrary.h"

#include <algorithm>

#include "platform/base/DeviceFile.h"
#include "zolfa/app/ZolfaPaths.h"
#include "zolfa/browse/FeedFormat.h"
#include "zolfa/browse/MarkerSearch.h"
#include "zolfa/library/AtomicFile.h"
#include "zolfa/service/FindTag.h"

namespace zolfa {

namespace {

constexpr int32_t kFirstPlaylistId = 1001;
constexpr char16_t kDamagedFileSuffix[] = u".bad";

// id + offset with the wrap of the device's 32-bit arithmetic, without
// overflowing a signed integer.
int32_t OffsetId(int32_t id, uint32_t offset) {
  return static_cast<int32_t>(static_cast<uint32_t>(id) + offset);
}

std::u16string TextBetween(std::u16string_view text, std::u16string_view start,
                           std::u16string_view end) {
  auto match = FindBetween(text, 0, start, end);
  return match ? std::u16string(match->Value(text)) : std::u16string();
}

// Whether two entries stand for the same song: the same service song
// number, or, for songs without one (plain media addresses, number 0), the
// same play address.
bool SameSong(const LibrarySong& a, const LibrarySong& b) {
  return a.songId == b.songId && (a.songId != 0 || a.playUrl == b.playUrl);
}

// Removes the first entry of songs that stands for song; false when none does.
bool RemoveFirst(std::vector<LibrarySong>& songs, const LibrarySong& song) {
  auto first = std::find_if(songs.begin(), songs.end(),
                            [&](const LibrarySong& entry) { return SameSong(entry, song); });
  if (first == songs.end()) return false;
  songs.erase(first);
  return true;
}

}  // namespace

CPersonalLibrary::CPersonalLibrary(IPersonalLibraryOwner& owner) : owner_(owner) {}

CPersonalLibrary::~CPersonalLibrary() {
  if (modified_) SaveLibrary();
}

std::u16string CPersonalLibrary::FilePath() { return ProgramFilePath(kPersonalLibraryFileName); }

void CPersonalLibrary::LoadLibrary() {
  playlists_.clear();
  modified_ = false;
  fileUnreadable_ = false;
  damagedFile_.clear();
  // The program folder is made when missing, so a first start gets its
  // empty library file.
  EnsureProgramFolder();
  std::string bytes;
  if (!ReadDeviceFile(FilePath(), ce::OPEN_ALWAYS, bytes)) {
    // Neither opened nor created: the library holds no playlist. If a file
    // is there all the same, it must outlive this run untouched.
    fileUnreadable_ = ce::GetFileAttributes(FilePath().c_str()) != ce::INVALID_FILE_ATTRIBUTES;
    return;
  }
  bool hasLibrary = false;
  playlists_ = ParsePersonalLibraryFile(bytes, &hasLibrary);
  if (!hasLibrary && !bytes.empty()) damagedFile_ = std::move(bytes);
  EnsureAllSongs();
}

bool CPersonalLibrary::SaveLibrary() {
  if (fileUnreadable_) return false;
  if (!damagedFile_.empty()) {
    if (!ReplaceFileAtomically(FilePath() + kDamagedFileSuffix, damagedFile_)) return false;
    damagedFile_.clear();
  }
  if (!ReplaceFileAtomically(FilePath(), FormatPersonalLibraryFile(playlists_))) return false;
  modified_ = false;
  return true;
}

void CPersonalLibrary::EnsureAllSongs() {
  if (playlists_.empty()) {
    auto allSongs = std::make_unique<LibraryPlaylist>();
    allSongs->id = kAllSongsId;
    allSongs->name = kAllSongsName;
    playlists_.push_back(std::move(allSongs));
    return;
  }
  if (FindPlaylist(kAllSongsId) >= 0) return;
  auto allSongs = std::make_unique<LibraryPlaylist>();
  allSongs->id = kAllSongsId;
  allSongs->name = kAllSongsName;
  for (const auto& playlist : playlists_) {
    allSongs->songs.insert(allSongs->songs.end(), playlist->songs.begin(), playlist->songs.end());
  }
  playlists_.insert(playlists_.begin(), std::move(allSongs));
}

int32_t CPersonalLibrary::NextPlaylistId() const {
  if (playlists_.empty()) return kFirstPlaylistId;
  int32_t largest = playlists_.front()->id;
  for (const auto& playlist : playlists_) largest = std::max(largest, playlist->id);
  return largest == kAllSongsId ? kFirstPlaylistId : OffsetId(largest, 1);
}

void CPersonalLibrary::AddPlaylist(std::u16string_view name, const std::vector<FeedItem>& items) {
  auto playlist = std::make_unique<LibraryPlaylist>();
  playlist->id = NextPlaylistId();
  playlist->name.assign(name);
  LibraryPlaylist* allSongs = AllSongs();
  for (const FeedItem& item : items) {
    LibrarySong song;
    song.songId = TagNumber(SongIdOf(item));
    song.songName = item.title;
    song.playUrl = item.link;
    playlist->songs.push_back(song);
    if (allSongs != nullptr) allSongs->songs.push_back(std::move(song));
  }
  playlists_.push_back(std::move(playlist));
  owner_.RebuildPlaylistList();
  Changed();
}

void CPersonalLibrary::DeletePlaylist(int32_t position) {
  if (!InRange(position) || IsAllSongs(position)) return;
  // The all-songs list holds one entry per song of the other playlists, so
  // it loses one entry per deleted song: a song that another playlist also
  // holds keeps its entry there.
  if (LibraryPlaylist* allSongs = AllSongs()) {
    for (const LibrarySong& song : playlists_[position]->songs) RemoveFirst(allSongs->songs, song);
  }
  playlists_.erase(playlists_.begin() + position);
  Changed();
}

void CPersonalLibrary::DeleteSong(int32_t playlist, int32_t position) {
  if (!InRange(playlist)) return;
  std::vector<LibrarySong>& songs = playlists_[playlist]->songs;
  if (position < 0 || position >= static_cast<int32_t>(songs.size())) return;
  const LibrarySong deleted = songs[position];
  if (IsAllSongs(playlist)) {
    for (int32_t i = 0; i < Count(); ++i) {
      if (i == playlist) continue;
      std::erase_if(playlists_[i]->songs,
                    [&](const LibrarySong& song) { return SameSong(song, deleted); });
    }
  } else if (LibraryPlaylist* allSongs = AllSongs()) {
    RemoveFirst(allSongs->songs, deleted);
  }
  songs.erase(songs.begin() + position);
  Changed();
}

void CPersonalLibrary::MovePlaylist(int32_t position, Direction direction) {
  // Position 0 belongs to the all-songs list: nothing moves from or to it.
  int32_t target = direction == Direction::kUp ? position - 1 : position + 1;
  if (position < 1 || position >= Count() || target < 1 || target >= Count()) return;
  std::swap(playlists_[position], playlists_[target]);
  Changed();
}

void CPersonalLibrary::MoveSong(int32_t playlist, int32_t position, Direction direction) {
  if (!InRange(playlist)) return;
  std::vector<LibrarySong>& songs = playlists_[playlist]->songs;
  int32_t count = static_cast<int32_t>(songs.size());
  int32_t target = direction == Direction::kUp ? position - 1 : position + 1;
  if (position < 0 || position >= count || target < 0 || target >= count) return;
  std::swap(songs[position], songs[target]);
  Changed();
}

void CPersonalLibrary::RenamePlaylist(int32_t position, std::u16string_view name) {
  if (!InRange(position) || IsAllSongs(position)) return;
  playlists_[position]->name.assign(name);
  Changed();
}

void CPersonalLibrary::ImportPlaylists(std::u16string_view text) {
  std::vector<std::u16string_view> playlistTexts;
  SplitBetween(text, u"<playlist>", u"</playlist>", playlistTexts);
  LibraryPlaylist* allSongs = AllSongs();
  int32_t base = NextPlaylistId();
  std::vector<std::u16string_view> songTexts;
  for (size_t i = 0; i < playlistTexts.size(); ++i) {
    std::u16string_view playlistText = playlistTexts[i];
    auto playlist = std::make_unique<LibraryPlaylist>();
    playlist->id = OffsetId(base, static_cast<uint32_t>(i));
    playlist->name = TextBetween(playlistText, u"<playlist_name>", u"</playlist_name>");
    songTexts.clear();
    SplitBetween(playlistText, u"<song_data>", u"</song_data>", songTexts);
    for (std::u16string_view songText : songTexts) {
      LibrarySong song;
      song.songId = TagNumber(TextBetween(songText, u"<song_id>", u"</song_id>"));
      song.songName = TextBetween(songText, u"<song_name>", u"</song_name>");
      song.playUrl = TextBetween(songText, u"<play_url>", u"</play_url>");
      playlist->songs.push_back(song);
      if (allSongs != nullptr) allSongs->songs.push_back(std::move(song));
    }
    playlists_.push_back(std::move(playlist));
  }
  owner_.RebuildPlaylistList();
  owner_.SelectPlaylistRow(0);
  owner_.Repaint();
  Changed();
}

std::vector<FeedItem> CPersonalLibrary::PlaylistItems(int32_t playlist) const {
  std::vector<FeedItem> items;
  if (!InRange(playlist)) return items;
  const std::vector<LibrarySong>& songs = playlists_[playlist]->songs;
  items.reserve(songs.size());
  for (const LibrarySong& song : songs) {
    FeedItem item;
    ParseFeedItem(FormatItemLine(song.songName, song.playUrl, kSongImage, u""), item);
    items.push_back(std::move(item));
  }
  return items;
}

int32_t CPersonalLibrary::FindPlaylist(int32_t id) const {
  for (int32_t i = 0; i < Count(); ++i) {
    if (playlists_[i]->id == id) return i;
  }
  return -1;
}

LibraryPlaylist* CPersonalLibrary::AllSongs() {
  int32_t position = FindPlaylist(kAllSongsId);
  return position >= 0 ? playlists_[position].get() : nullptr;
}

bool CPersonalLibrary::IsAllSongs(int32_t position) const {
  return position >= 0 && position == FindPlaylist(kAllSongsId);
}

void CPersonalLibrary::Changed() {
  modified_ = true;
  SaveLibrary();
}

}  // namespace zolfa
