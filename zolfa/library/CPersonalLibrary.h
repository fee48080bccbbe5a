// The personal library: the user's named playlists kept on the handset in
// "personal.db", with the all-songs list (id -99, "全部歌曲") at position 0.
//
// The personal-library screen owns the model and is reached through its
// owner interface. Every change is written to the file at once, so a program
// that is killed loses nothing; the screen also saves when it goes away.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zolfa/browse/FeedItem.h"
#include "zolfa/library/IPersonalLibraryOwner.h"
#include "zolfa/library/LibraryPlaylist.h"
#include "zolfa/library/PersonalLibraryFile.h"

namespace zolfa {

class CPersonalLibrary {
 public:
  enum class Direction { kUp, kDown };

  explicit CPersonalLibrary(IPersonalLibraryOwner& owner);
  // Writes what is still unsaved.
  ~CPersonalLibrary();
  CPersonalLibrary(const CPersonalLibrary&) = delete;
  CPersonalLibrary& operator=(const CPersonalLibrary&) = delete;

  // Full device path of "personal.db".
  static std::u16string FilePath();

  // Empties the library and reads the file (created empty when missing),
  // then makes sure the all-songs list exists. When the file can neither be
  // opened nor created the library stays without any playlist.
  void LoadLibrary();
  // Writes the file; false when it cannot be written.
  bool SaveLibrary();
  void EnsureAllSongs();
  int32_t NextPlaylistId() const;

  void AddPlaylist(std::u16string_view name, const std::vector<FeedItem>& items);
  void DeletePlaylist(int32_t position);
  void DeleteSong(int32_t playlist, int32_t position);
  void MovePlaylist(int32_t position, Direction direction);
  void MoveSong(int32_t playlist, int32_t position, Direction direction);
  void RenamePlaylist(int32_t position, std::u16string_view name);
  void ImportPlaylists(std::u16string_view text);

  // The songs of the playlist at position as current-playlist items.
  std::vector<FeedItem> PlaylistItems(int32_t playlist) const;
  // The first position whose id equals id, else -1.
  int32_t FindPlaylist(int32_t id) const;

  int32_t Count() const { return static_cast<int32_t>(playlists_.size()); }
  const LibraryPlaylist& Playlist(int32_t position) const { return *playlists_.at(position); }
  const PlaylistList& Playlists() const { return playlists_; }
  bool Modified() const { return modified_; }

 private:
  bool InRange(int32_t position) const { return position >= 0 && position < Count(); }
  LibraryPlaylist* AllSongs();
  bool IsAllSongs(int32_t position) const;
  // Marks the library changed and writes it.
  void Changed();

  IPersonalLibraryOwner& owner_;
  PlaylistList playlists_;
  bool modified_ = false;
  // Set when an existing file could not be read: writing the library would
  // then replace playlists that were never loaded.
  bool fileUnreadable_ = false;
  // The bytes of a file that was read but held no library (cut short, or
  // not a library at all): kept aside as "personal.db.bad" before the first
  // save replaces them, so that nothing in them is lost for good.
  std::string damagedFile_;
};

}  // namespace zolfa
