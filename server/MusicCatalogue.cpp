#include "server/MusicCatalogue.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "server/IndexTables.h"
#include "server/LrcLyrics.h"
#include "server/MusicText.h"
#include "server/PasswordDigest.h"
#include "server/PlaylistText.h"

namespace zolfa_server {

namespace {

// Lyrics and playlists larger than this are no text files of their kind.
constexpr std::streamsize kMaxTextBytes = 4 << 20;
constexpr std::streamsize kMaxPictureBytes = 16 << 20;
constexpr size_t kCachedCovers = 64;

std::optional<std::string> ReadSmallFile(const std::filesystem::path& file, std::streamsize limit) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  bytes.resize(static_cast<size_t>(limit) + 1);
  in.read(bytes.data(), limit + 1);
  if (in.bad() || in.gcount() > limit) return std::nullopt;
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

const char* PictureType(const std::string& bytes) {
  if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) return "image/png";
  if (bytes.compare(0, 2, "\xFF\xD8") == 0) return "image/jpeg";
  if (bytes.compare(0, 3, "GIF") == 0) return "image/gif";
  return "application/octet-stream";
}

}  // namespace

MusicCatalogue::MusicCatalogue(const MusicLibrary& library, const NameIndex& names)
    : root_(library.Root()) {
  for (const MusicLibrary::Named& genre : library.Genres()) {
    genres_.push_back(Genre{std::to_string(genre.id), AnswerText(genre.name)});
  }
  std::sort(genres_.begin(), genres_.end(),
            [](const Genre& a, const Genre& b) { return a.name < b.name; });
  for (const MusicLibrary::Named& named : library.Artists()) {
    Artist artist;
    artist.id = std::to_string(named.id);
    artist.genreId = std::to_string(named.parentId);
    artist.name = AnswerText(named.name);
    artist.compilation = named.compilation;
    if (!named.compilation) {
      NameIndex::Positions positions = names.Of(named.name);
      artist.phoneticPosition = positions.phonetic;
      artist.strokePosition = positions.strokes;
      artist.letterPosition = positions.letter;
    }
    artists_.push_back(std::move(artist));
  }
  std::sort(artists_.begin(), artists_.end(),
            [](const Artist& a, const Artist& b) { return a.name < b.name; });
  for (size_t i = 0; i < artists_.size(); ++i) {
    const Artist& artist = artists_[i];
    artistAt_[artist.id] = i;
    // A name without an entry in a table is listed under that table's
    // "合輯", with the compilations.
    const int positions[] = {artist.phoneticPosition, artist.strokePosition, artist.letterPosition};
    for (int table = IndexTables::kPhonetic; table <= IndexTables::kLetters; ++table) {
      int position = positions[table - 1];
      listed_[{artist.genreId, table, position == 0 ? IndexTables::kCompilationIndex : position}]
          .push_back(i);
    }
  }
  for (const MusicLibrary::Named& named : library.Albums()) {
    albums_.push_back(
        Album{std::to_string(named.id), std::to_string(named.parentId), AnswerText(named.name)});
  }
  std::sort(albums_.begin(), albums_.end(),
            [](const Album& a, const Album& b) { return a.title < b.title; });
  for (size_t i = 0; i < albums_.size(); ++i) {
    albumAt_[albums_[i].id] = i;
    albumsOf_[albums_[i].artistId].push_back(i);
  }

  std::vector<const MusicLibrary::Track*> tracks;
  for (const MusicLibrary::Track& track : library.Tracks()) tracks.push_back(&track);
  std::sort(tracks.begin(), tracks.end(), [](const auto* a, const auto* b) {
    return std::make_tuple(a->albumId, a->tags.disc, a->tags.track, a->tags.title, a->id) <
           std::make_tuple(b->albumId, b->tags.disc, b->tags.track, b->tags.title, b->id);
  });
  std::map<std::string, int64_t> albumAdded;
  for (const MusicLibrary::Track* track : tracks) {
    Song song;
    song.id = std::to_string(track->id);
    song.albumId = std::to_string(track->albumId);
    song.artistId = std::to_string(track->artistId);
    song.title = AnswerText(track->tags.title);
    song.durationSeconds = track->tags.durationSeconds;
    songPath_[song.id] = track->path;
    albumFolder_.try_emplace(song.albumId, std::filesystem::path(track->path).parent_path().string());
    if (track->tags.picture) albumPictureSong_.try_emplace(song.albumId, track->path);
    int64_t& added = albumAdded[song.albumId];
    added = std::max(added, track->firstSeen);
    songAt_[song.id] = songs_.size();
    songsOf_[song.albumId].push_back(songs_.size());
    songs_.push_back(std::move(song));
  }
  ReadPlaylists(library);
  BuildTopics();

  // The newest albums: by the time their newest song was first seen.
  std::vector<std::pair<int64_t, size_t>> newest;
  for (size_t i = 0; i < albums_.size(); ++i) {
    newest.emplace_back(albumAdded[albums_[i].id], i);
  }
  std::sort(newest.begin(), newest.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first > b.first;
    return std::stoll(albums_[a.second].id) > std::stoll(albums_[b.second].id);
  });
  TopicPage& newestPage = topics_[kNewestFolder];
  for (size_t i = 0; i < newest.size() && i < kNewestAlbums; ++i) {
    const Album& album = albums_[newest[i].second];
    auto artist = FindArtist(album.artistId);
    std::string folder = "album_" + album.id;
    newestPage.items.push_back(
        {"folder", album.title + " - " + (artist ? artist->name : std::string()), folder});
    TopicPage& page = topics_[folder];
    for (const Song& song : Songs(album.id)) page.items.push_back(TrackOf(song));
  }
}

void MusicCatalogue::ReadPlaylists(const MusicLibrary& library) {
  std::unordered_map<std::string, std::string> songOfPath;
  for (const auto& [songId, path] : songPath_) songOfPath[path] = songId;
  for (const std::string& relative : library.Playlists()) {
    std::optional<std::string> text = ReadSmallFile(root_ / relative, kMaxTextBytes);
    if (!text) continue;
    Playlist playlist;
    playlist.name = AnswerText(DisplayText(std::filesystem::path(relative).stem().string()));
    const std::filesystem::path folder = std::filesystem::path(relative).parent_path();
    for (const std::string& entry : ReadPlaylistText(*text)) {
      std::filesystem::path target(entry);
      target = target.is_absolute() ? target.lexically_normal().lexically_relative(root_)
                                    : (folder / target).lexically_normal();
      auto found = songOfPath.find(target.string());
      if (found != songOfPath.end()) playlist.songIds.push_back(found->second);
    }
    playlists_.push_back(std::move(playlist));
  }
}

TopicItem MusicCatalogue::TrackOf(const Song& song) const {
  auto artist = FindArtist(song.artistId);
  return TopicItem{"track", song.title + " - " + (artist ? artist->name : std::string()), song.id};
}

void MusicCatalogue::BuildTopics() {
  TopicPage root;
  for (size_t i = 0; i < playlists_.size(); ++i) {
    std::string folder = "playlist_" + std::to_string(i + 1);
    root.items.push_back({"folder", playlists_[i].name, folder});
    TopicPage& page = topics_[folder];
    for (const std::string& songId : playlists_[i].songIds) {
      page.items.push_back(TrackOf(songs_[songAt_.at(songId)]));
    }
  }
  root.items.push_back({"folder", "最新專輯", kNewestFolder});
  topics_[""] = root;
}

std::vector<Genre> MusicCatalogue::Genres() const { return genres_; }

std::vector<Artist> MusicCatalogue::Artists(const std::string& genreId, int indexType,
                                            int position) const {
  std::vector<Artist> result;
  auto found = listed_.find({genreId, indexType, position});
  if (found == listed_.end()) return result;
  for (size_t i : found->second) result.push_back(artists_[i]);
  return result;
}

std::vector<Album> MusicCatalogue::Albums(const std::string& artistId) const {
  std::vector<Album> result;
  auto found = albumsOf_.find(artistId);
  if (found == albumsOf_.end()) return result;
  for (size_t i : found->second) result.push_back(albums_[i]);
  return result;
}

std::vector<Song> MusicCatalogue::Songs(const std::string& albumId) const {
  std::vector<Song> result;
  auto found = songsOf_.find(albumId);
  if (found == songsOf_.end()) return result;
  for (size_t i : found->second) result.push_back(songs_[i]);
  return result;
}

std::optional<Song> MusicCatalogue::FindSong(const std::string& songId) const {
  auto found = songAt_.find(songId);
  if (found == songAt_.end()) return std::nullopt;
  return songs_[found->second];
}

std::optional<Album> MusicCatalogue::FindAlbum(const std::string& albumId) const {
  auto found = albumAt_.find(albumId);
  if (found == albumAt_.end()) return std::nullopt;
  return albums_[found->second];
}

std::optional<Artist> MusicCatalogue::FindArtist(const std::string& artistId) const {
  auto found = artistAt_.find(artistId);
  if (found == artistAt_.end()) return std::nullopt;
  return artists_[found->second];
}

std::optional<TopicPage> MusicCatalogue::Topic(const std::string& itemId) const {
  auto found = topics_.find(itemId);
  if (found == topics_.end()) return std::nullopt;
  return found->second;
}

std::optional<Feed> MusicCatalogue::FeedAt(const std::string&) const { return std::nullopt; }

std::optional<std::filesystem::path> MusicCatalogue::File(const Song& song) const {
  auto found = songPath_.find(song.id);
  if (found == songPath_.end()) return std::nullopt;
  return root_ / found->second;
}

std::optional<std::string> MusicCatalogue::Lyrics(const Song& song) const {
  std::optional<std::filesystem::path> file = File(song);
  if (!file) return std::nullopt;
  for (const char* extension : {".lrc", ".LRC", ".Lrc"}) {
    std::filesystem::path lrc = *file;
    lrc.replace_extension(extension);
    std::optional<std::string> bytes = ReadSmallFile(lrc, kMaxTextBytes);
    if (!bytes) continue;
    std::string timed = LrcLyrics::Read(*bytes).Timed(song.durationSeconds);
    if (timed.empty()) return std::nullopt;
    return timed;
  }
  return std::nullopt;
}

std::optional<SongMedia::Picture> MusicCatalogue::Cover(const Album& album) const {
  std::lock_guard<std::mutex> lock(coverMutex_);
  auto cached = covers_.find(album.id);
  if (cached != covers_.end()) return cached->second;
  std::optional<std::string> bytes;
  auto embedded = albumPictureSong_.find(album.id);
  if (embedded != albumPictureSong_.end()) bytes = MusicTags::Picture(root_ / embedded->second);
  auto folder = albumFolder_.find(album.id);
  if (!bytes && folder != albumFolder_.end()) {
    std::error_code error;
    std::map<std::string, std::filesystem::path> candidates;
    for (const auto& entry : std::filesystem::directory_iterator(root_ / folder->second, error)) {
      candidates.emplace(Lower(entry.path().filename().string()), entry.path());
    }
    for (const char* name : {"cover.jpg", "folder.jpg", "cover.png", "folder.png"}) {
      auto found = candidates.find(name);
      if (found == candidates.end()) continue;
      bytes = ReadSmallFile(found->second, kMaxPictureBytes);
      if (bytes && !bytes->empty()) break;
      bytes.reset();
    }
  }
  std::optional<Picture> picture;
  if (bytes && !bytes->empty()) {
    picture = Picture{*bytes, PictureType(*bytes), PasswordDigest::Md5Hex(*bytes)};
  }
  // Pictures are kept for the albums being played, not for the folder.
  if (covers_.size() >= kCachedCovers) covers_.clear();
  covers_[album.id] = picture;
  return picture;
}

}  // namespace zolfa_server
