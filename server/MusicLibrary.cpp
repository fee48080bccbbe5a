#include "server/MusicLibrary.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "server/MusicText.h"

namespace zolfa_server {

namespace {

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value BLOB);
CREATE TABLE IF NOT EXISTS files(
  id INTEGER PRIMARY KEY AUTOINCREMENT, path BLOB UNIQUE NOT NULL,
  size INTEGER NOT NULL, mtime INTEGER NOT NULL, readable INTEGER NOT NULL,
  first_seen INTEGER NOT NULL, genre TEXT, artist TEXT, album_artist TEXT, album TEXT,
  title TEXT, track INTEGER, disc INTEGER, duration INTEGER, compilation INTEGER,
  picture INTEGER);
CREATE TABLE IF NOT EXISTS genres(id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT UNIQUE NOT NULL);
CREATE TABLE IF NOT EXISTS artists(
  id INTEGER PRIMARY KEY AUTOINCREMENT, genre_id INTEGER NOT NULL, name TEXT NOT NULL,
  compilation INTEGER NOT NULL, UNIQUE(genre_id, name, compilation));
CREATE TABLE IF NOT EXISTS albums(
  id INTEGER PRIMARY KEY AUTOINCREMENT, artist_id INTEGER NOT NULL, title TEXT NOT NULL,
  UNIQUE(artist_id, title));
)";

// A prepared statement that is finalised when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool Ok() const { return stmt_ != nullptr; }
  Statement& Text(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& Blob(int index, const std::string& bytes) {
    sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& Int(int index, int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  // Steps once; true when a row is there.
  bool Step() { return sqlite3_step(stmt_) == SQLITE_ROW; }
  // Runs to the end and resets for the next use; false on an error.
  bool Run() {
    int result = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    return result == SQLITE_DONE || result == SQLITE_ROW;
  }
  int64_t ColumnInt(int column) { return sqlite3_column_int64(stmt_, column); }
  std::string ColumnText(int column) {
    const void* data = sqlite3_column_blob(stmt_, column);
    int size = sqlite3_column_bytes(stmt_, column);
    return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size))
                : std::string();
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

int64_t NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool IsPlaylistFile(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return extension == ".m3u" || extension == ".m3u8";
}

struct Seen {
  int64_t id;
  int64_t size;
  int64_t mtime;
};

}  // namespace

MusicLibrary::MusicLibrary(Logger logger) : logger_(std::move(logger)) {}

MusicLibrary::~MusicLibrary() {
  if (db_ != nullptr) sqlite3_close(db_);
}

std::string MusicLibrary::Exec(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return std::string();
  std::string error = message ? message : "unknown error";
  sqlite3_free(message);
  return "music database: " + error;
}

std::string MusicLibrary::Open(const std::filesystem::path& databaseFile,
                               const std::filesystem::path& root) {
  std::error_code error;
  root_ = std::filesystem::canonical(root, error);
  if (error || !std::filesystem::is_directory(root_)) {
    return "cannot read the music folder " + root.string();
  }
  if (databaseFile.has_parent_path()) {
    std::filesystem::create_directories(databaseFile.parent_path(), error);
  }
  if (sqlite3_open(databaseFile.c_str(), &db_) != SQLITE_OK) {
    return "cannot open the music database " + databaseFile.string() + ": " +
           (db_ ? sqlite3_errmsg(db_) : "out of memory");
  }
  sqlite3_busy_timeout(db_, 5000);
  std::string failure = Exec(kSchema);
  if (!failure.empty()) return failure;
  failure = Exec("BEGIN IMMEDIATE");
  if (!failure.empty()) return failure;
  // The scan state belongs to one folder: another folder starts afresh
  // (the ids of names stay, so a folder given again keeps its ids).
  {
    Statement root(db_, "SELECT value FROM meta WHERE key = 'root'");
    std::string known = root.Ok() && root.Step() ? root.ColumnText(0) : std::string();
    if (known != root_.string()) {
      failure = Exec("DELETE FROM files");
      Statement set(db_, "INSERT OR REPLACE INTO meta(key, value) VALUES('root', ?)");
      if (failure.empty() && !set.Blob(1, root_.string()).Run()) failure = "cannot write meta";
    }
  }
  if (failure.empty()) failure = Scan();
  if (failure.empty()) failure = Resolve();
  if (!failure.empty()) {
    Exec("ROLLBACK");
    return failure;
  }
  return Exec("COMMIT");
}

std::string MusicLibrary::Scan() {
  std::unordered_map<std::string, Seen> known;
  {
    Statement all(db_, "SELECT path, id, size, mtime FROM files");
    if (!all.Ok()) return "music database: " + std::string(sqlite3_errmsg(db_));
    while (all.Step()) known[all.ColumnText(0)] = Seen{all.ColumnInt(1), all.ColumnInt(2), all.ColumnInt(3)};
  }
  Statement insert(db_,
                   "INSERT INTO files(path, size, mtime, readable, first_seen, genre, artist, "
                   "album_artist, album, title, track, disc, duration, compilation, picture) "
                   "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  Statement update(db_,
                   "UPDATE files SET size=?2, mtime=?3, readable=?4, genre=?6, artist=?7, "
                   "album_artist=?8, album=?9, title=?10, track=?11, disc=?12, duration=?13, "
                   "compilation=?14, picture=?15 WHERE id=?1");
  Statement remove(db_, "DELETE FROM files WHERE id=?");
  if (!insert.Ok() || !update.Ok() || !remove.Ok()) {
    return "music database: " + std::string(sqlite3_errmsg(db_));
  }
  const int64_t now = NowSeconds();
  std::set<std::string> seen;
  std::error_code error;
  auto options = std::filesystem::directory_options::skip_permission_denied;
  std::filesystem::recursive_directory_iterator it(root_, options, error), end;
  if (error) return "cannot read the music folder " + root_.string() + ": " + error.message();
  for (; it != end; it.increment(error)) {
    if (error) {
      logger_("music: skipped a folder: " + error.message());
      error.clear();
      continue;
    }
    const std::filesystem::path& file = it->path();
    if (!it->is_regular_file(error)) continue;
    bool playlist = IsPlaylistFile(file);
    if (!playlist && !MusicTags::IsMusicFile(file)) continue;
    std::string relative = file.lexically_relative(root_).string();
    if (playlist) {
      playlists_.push_back(relative);
      continue;
    }
    struct stat info;
    if (::stat(file.c_str(), &info) != 0) continue;
    const int64_t size = info.st_size;
    const int64_t mtime = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    seen.insert(relative);
    auto found = known.find(relative);
    if (found != known.end() && found->second.size == size && found->second.mtime == mtime) {
      ++counts_.unchanged;
      continue;
    }
    std::string readError;
    std::optional<MusicTags> tags = MusicTags::Read(file, &readError);
    if (!tags) {
      logger_("music: skipped " + SafeLogText(relative) + ": " + readError);
      ++counts_.skipped;
      tags = MusicTags();
    }
    Statement& statement = found == known.end() ? insert : update;
    if (found == known.end()) {
      statement.Blob(1, relative);
      // A file of the first scan counts as added when it was written.
      statement.Int(5, known.empty() ? static_cast<int64_t>(info.st_mtim.tv_sec) : now);
      ++counts_.added;
    } else {
      statement.Int(1, found->second.id);
      ++counts_.changed;
    }
    statement.Int(2, size).Int(3, mtime).Int(4, readError.empty() ? 1 : 0);
    statement.Text(6, tags->genre).Text(7, tags->artist).Text(8, tags->albumArtist);
    statement.Text(9, tags->album).Text(10, tags->title).Int(11, tags->track).Int(12, tags->disc);
    statement.Int(13, tags->durationSeconds).Int(14, tags->compilation ? 1 : 0);
    statement.Int(15, tags->picture ? 1 : 0);
    if (!statement.Run()) return "music database: " + std::string(sqlite3_errmsg(db_));
  }
  for (const auto& [path, row] : known) {
    if (seen.count(path) != 0) continue;
    if (!remove.Int(1, row.id).Run()) return "music database: " + std::string(sqlite3_errmsg(db_));
    ++counts_.removed;
  }
  std::sort(playlists_.begin(), playlists_.end());
  return std::string();
}

std::string MusicLibrary::Resolve() {
  // The names known so far, with their ids.
  std::map<std::string, int64_t> genreIds;
  std::map<std::tuple<int64_t, std::string, int>, int64_t> artistIds;
  std::map<std::pair<int64_t, std::string>, int64_t> albumIds;
  {
    Statement genres(db_, "SELECT id, name FROM genres");
    while (genres.Step()) genreIds[genres.ColumnText(1)] = genres.ColumnInt(0);
    Statement artists(db_, "SELECT id, genre_id, name, compilation FROM artists");
    while (artists.Step()) {
      artistIds[{artists.ColumnInt(1), artists.ColumnText(2), static_cast<int>(artists.ColumnInt(3))}] =
          artists.ColumnInt(0);
    }
    Statement albums(db_, "SELECT id, artist_id, title FROM albums");
    while (albums.Step()) albumIds[{albums.ColumnInt(1), albums.ColumnText(2)}] = albums.ColumnInt(0);
  }
  Statement addGenre(db_, "INSERT INTO genres(name) VALUES(?)");
  Statement addArtist(db_, "INSERT INTO artists(genre_id, name, compilation) VALUES(?,?,?)");
  Statement addAlbum(db_, "INSERT INTO albums(artist_id, title) VALUES(?,?)");
  Statement files(db_,
                  "SELECT id, path, first_seen, genre, artist, album_artist, album, title, track, "
                  "disc, duration, compilation, picture FROM files WHERE readable = 1 ORDER BY id");
  if (!addGenre.Ok() || !addArtist.Ok() || !addAlbum.Ok() || !files.Ok()) {
    return "music database: " + std::string(sqlite3_errmsg(db_));
  }
  std::map<int64_t, Named> genres, artists, albums;
  while (files.Step()) {
    Track track;
    track.id = files.ColumnInt(0);
    track.path = files.ColumnText(1);
    track.firstSeen = files.ColumnInt(2);
    MusicTags& tags = track.tags;
    tags.genre = files.ColumnText(3);
    tags.artist = files.ColumnText(4);
    tags.albumArtist = files.ColumnText(5);
    tags.album = files.ColumnText(6);
    tags.title = files.ColumnText(7);
    tags.track = static_cast<int>(files.ColumnInt(8));
    tags.disc = static_cast<int>(files.ColumnInt(9));
    tags.durationSeconds = static_cast<int>(files.ColumnInt(10));
    tags.compilation = files.ColumnInt(11) != 0;
    tags.picture = files.ColumnInt(12) != 0;

    // Missing tags: the folder names (album folder, artist folder above
    // it) when the file lies that deep in the folder, then "未知".
    std::filesystem::path relative(track.path);
    std::vector<std::string> parts;
    for (const auto& part : relative.parent_path()) parts.push_back(part.string());
    std::string folderAlbum = parts.size() >= 1 ? DisplayText(parts.back()) : kUnknown;
    std::string folderArtist = parts.size() >= 2 ? DisplayText(parts[parts.size() - 2]) : kUnknown;
    if (tags.title.empty()) tags.title = DisplayText(relative.stem().string());
    if (tags.album.empty()) tags.album = folderAlbum;
    if (tags.artist.empty()) tags.artist = tags.albumArtist.empty() ? folderArtist : tags.albumArtist;
    std::string genre = tags.genre.empty() ? kUnknown : tags.genre;
    bool compilation = tags.compilation || IsVariousArtists(tags.albumArtist);
    std::string artist = compilation ? (tags.albumArtist.empty() ? kCompilationArtist : tags.albumArtist)
                                     : (tags.albumArtist.empty() ? tags.artist : tags.albumArtist);

    auto genreIt = genreIds.find(genre);
    if (genreIt == genreIds.end()) {
      if (!addGenre.Text(1, genre).Run()) return "music database: cannot add a genre";
      genreIt = genreIds.emplace(genre, sqlite3_last_insert_rowid(db_)).first;
    }
    track.genreId = genreIt->second;
    auto artistKey = std::make_tuple(track.genreId, artist, compilation ? 1 : 0);
    auto artistIt = artistIds.find(artistKey);
    if (artistIt == artistIds.end()) {
      if (!addArtist.Int(1, track.genreId).Text(2, artist).Int(3, compilation ? 1 : 0).Run()) {
        return "music database: cannot add an artist";
      }
      artistIt = artistIds.emplace(artistKey, sqlite3_last_insert_rowid(db_)).first;
    }
    track.artistId = artistIt->second;
    auto albumKey = std::make_pair(track.artistId, tags.album);
    auto albumIt = albumIds.find(albumKey);
    if (albumIt == albumIds.end()) {
      if (!addAlbum.Int(1, track.artistId).Text(2, tags.album).Run()) {
        return "music database: cannot add an album";
      }
      albumIt = albumIds.emplace(albumKey, sqlite3_last_insert_rowid(db_)).first;
    }
    track.albumId = albumIt->second;
    genres.try_emplace(track.genreId, Named{track.genreId, 0, genre, false});
    artists.try_emplace(track.artistId, Named{track.artistId, track.genreId, artist, compilation});
    albums.try_emplace(track.albumId, Named{track.albumId, track.artistId, tags.album, false});
    tracks_.push_back(std::move(track));
  }
  for (auto& [id, named] : genres) genres_.push_back(std::move(named));
  for (auto& [id, named] : artists) artists_.push_back(std::move(named));
  for (auto& [id, named] : albums) albums_.push_back(std::move(named));
  return std::string();
}

}  // namespace zolfa_server
