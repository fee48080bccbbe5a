// The scan state of a music folder, kept in an SQLite file: one row per
// music file (its size and modification time, and the tags last read from
// it) and the genres, artists and albums ever seen. Opening it brings it up
// to date with the folder, reading only the files that were added or
// changed since the last scan. Songs keep their id as long as their file
// keeps its path; genres, artists and albums keep theirs as long as their
// names stay the same (ids are never reused).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "server/MusicTags.h"

struct sqlite3;

namespace zolfa_server {

class MusicLibrary {
 public:
  // A file that plays, with its catalogue names already resolved: missing
  // tags fall back to the folder names, then to "未知".
  struct Track {
    int64_t id = 0;
    std::string path;  // relative to the folder, as the file system spells it
    MusicTags tags;
    int64_t firstSeen = 0;  // seconds since 1970: when the scan first saw it
    int64_t genreId = 0;
    int64_t artistId = 0;
    int64_t albumId = 0;
  };
  struct Named {
    int64_t id = 0;
    int64_t parentId = 0;  // the artist's genre, the album's artist
    std::string name;
    bool compilation = false;  // artists only
  };
  struct Counts {
    size_t added = 0;
    size_t changed = 0;
    size_t removed = 0;
    size_t unchanged = 0;
    size_t skipped = 0;  // files that cannot be read as audio
  };

  static constexpr const char* kUnknown = "未知";
  // The artist that a genre's compilations are listed under when their
  // album artist tag does not name one.
  static constexpr const char* kCompilationArtist = "群星";

  using Logger = std::function<void(const std::string&)>;

  explicit MusicLibrary(Logger logger);
  ~MusicLibrary();
  MusicLibrary(const MusicLibrary&) = delete;
  MusicLibrary& operator=(const MusicLibrary&) = delete;

  // Opens (or makes) the database and rescans root. Returns an error text
  // or an empty one.
  std::string Open(const std::filesystem::path& databaseFile, const std::filesystem::path& root);

  const std::filesystem::path& Root() const { return root_; }
  const Counts& LastScan() const { return counts_; }
  const std::vector<Track>& Tracks() const { return tracks_; }
  const std::vector<Named>& Genres() const { return genres_; }
  const std::vector<Named>& Artists() const { return artists_; }
  const std::vector<Named>& Albums() const { return albums_; }
  // The playlist files (".m3u", ".m3u8") of the folder, relative paths.
  const std::vector<std::string>& Playlists() const { return playlists_; }

 private:
  std::string Exec(const char* sql);
  std::string Scan();
  std::string Resolve();

  Logger logger_;
  sqlite3* db_ = nullptr;
  std::filesystem::path root_;
  Counts counts_;
  std::vector<Track> tracks_;
  std::vector<Named> genres_;
  std::vector<Named> artists_;
  std::vector<Named> albums_;
  std::vector<std::string> playlists_;
};

}  // namespace zolfa_server
