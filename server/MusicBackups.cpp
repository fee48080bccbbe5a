#include "server/MusicBackups.h"

#include <cstdlib>
#include <set>

#include "server/AccountStore.h"

namespace zolfa_server {

MusicBackups::MusicBackups(const MusicCatalogue& catalogue) {
  std::set<std::string> listed;
  int entryNumber = 1;
  int playlistNumber = 1;
  for (const MusicCatalogue::Playlist& playlist : catalogue.Playlists()) {
    sample_.playlists.push_back({playlistNumber, playlist.name});
    for (const std::string& songId : playlist.songIds) {
      std::optional<Song> song = catalogue.FindSong(songId);
      if (!song) continue;
      // Song numbers are the song ids, so a song of two playlists is one
      // record of the song table.
      const int number = std::atoi(song->id.c_str());
      if (listed.insert(song->id).second) {
        auto album = catalogue.FindAlbum(song->albumId);
        auto artist = catalogue.FindArtist(song->artistId);
        BackupSong record;
        record.number = number;
        record.name = song->title;
        record.artist = artist ? artist->name : std::string();
        record.album = album ? album->title : std::string();
        record.playId = song->id;
        sample_.songs.push_back(record);
      }
      sample_.contents.push_back({entryNumber++, number, playlistNumber});
    }
    ++playlistNumber;
  }
}

Backup MusicBackups::ForAccount(const std::string& account) const {
  if (account == AccountStore::kSampleAccount) return sample_;
  return Backup();
}

}  // namespace zolfa_server
