// A playlist backup of one account, as the backup endpoint writes it: a
// song table, a playlist table and a table of playlist contents that refer
// to songs and playlists by number.
#pragma once

#include <string>
#include <vector>

namespace zolfa_server {

struct BackupSong {
  int number = 0;       // column 0
  std::string name;     // column 1
  std::string artist;   // column 2
  std::string album;    // column 3
  std::string playId;   // column 11: the song id of the catalogue
  int current = 1;      // column 14: 1 for the record in use, 0 for an old one
};

struct BackupPlaylist {
  int number = 0;    // column 0
  std::string name;  // column 1
};

struct BackupEntry {
  int number = 0;          // column 0
  int songNumber = 0;      // column 1
  int playlistNumber = 0;  // column 2
};

struct Backup {
  std::vector<BackupSong> songs;
  std::vector<BackupPlaylist> playlists;
  std::vector<BackupEntry> contents;
};

}  // namespace zolfa_server
