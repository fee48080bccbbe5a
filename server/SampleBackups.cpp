#include "server/SampleBackups.h"

#include <cstdlib>

#include "server/AccountStore.h"

namespace zolfa_server {

SampleBackups::SampleBackups(const Catalogue& catalogue) {
  // Songs of the first albums of three genres, by catalogue id.
  struct Pick {
    const char* songId;
    int playlist;
  };
  const Pick kPicks[] = {{"101011", 1}, {"102011", 1}, {"201012", 1},
                         {"301011", 2}, {"401021", 2}};
  sample_.playlists = {{1, "我的最愛"}, {2, "開車聽的歌"}, {3, "空的歌單"}};
  int entryNumber = 1;
  bool first = true;
  for (const Pick& pick : kPicks) {
    auto song = catalogue.FindSong(pick.songId);
    if (!song) continue;
    auto album = catalogue.FindAlbum(song->albumId);
    auto artist = catalogue.FindArtist(song->artistId);
    BackupSong record;
    record.number = std::atoi(song->id.c_str());
    record.name = song->title;
    record.artist = artist ? artist->name : std::string();
    record.album = album ? album->title : std::string();
    record.playId = song->id;
    if (first) {
      // An older record of the same song comes first and is not in use.
      BackupSong old = record;
      old.name = "舊版 ";
      old.name += record.name;
      old.playId = "0";
      old.current = 0;
      sample_.songs.push_back(old);
      first = false;
    }
    sample_.songs.push_back(record);
    sample_.contents.push_back({entryNumber++, record.number, pick.playlist});
  }
}

Backup SampleBackups::ForAccount(const std::string& account) const {
  if (account == AccountStore::kSampleAccount) return sample_;
  return Backup();
}

}  // namespace zolfa_server
