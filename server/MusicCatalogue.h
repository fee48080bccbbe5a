// The catalogue of a music folder (zolfa-server --music DIR): the genres,
// artists, albums and songs of the folder's tags (MusicLibrary), listed in
// the index tables by NameIndex; topic pages ("音樂情報") with the folder's
// playlists and its most recently added albums; and for playback the
// songs' own files, the ".lrc" lyrics beside them and the albums' pictures
// (embedded, else "cover.jpg" / "folder.jpg" in the album's folder).
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "server/Catalogue.h"
#include "server/MusicLibrary.h"
#include "server/NameIndex.h"
#include "server/SongMedia.h"

namespace zolfa_server {

class MusicCatalogue : public Catalogue, public SongMedia {
 public:
  // The topic folder of the newest albums.
  static constexpr const char* kNewestFolder = "newest";
  static constexpr size_t kNewestAlbums = 20;

  struct Playlist {
    std::string name;
    std::vector<std::string> songIds;  // in the playlist's order
  };

  MusicCatalogue(const MusicLibrary& library, const NameIndex& names);

  std::vector<Genre> Genres() const override;
  std::vector<Artist> Artists(const std::string& genreId, int indexType,
                              int position) const override;
  std::vector<Album> Albums(const std::string& artistId) const override;
  std::vector<Song> Songs(const std::string& albumId) const override;
  std::optional<Song> FindSong(const std::string& songId) const override;
  std::optional<Album> FindAlbum(const std::string& albumId) const override;
  std::optional<Artist> FindArtist(const std::string& artistId) const override;
  std::optional<TopicPage> Topic(const std::string& itemId) const override;
  std::optional<Feed> FeedAt(const std::string& path) const override;
  const SongMedia* Media() const override { return this; }

  std::optional<std::filesystem::path> File(const Song& song) const override;
  std::optional<std::string> Lyrics(const Song& song) const override;
  std::optional<Picture> Cover(const Album& album) const override;

  const std::vector<Playlist>& Playlists() const { return playlists_; }

 private:
  void ReadPlaylists(const MusicLibrary& library);
  void BuildTopics();
  TopicItem TrackOf(const Song& song) const;

  std::filesystem::path root_;
  std::vector<Genre> genres_;
  std::vector<Artist> artists_;
  std::vector<Album> albums_;
  std::vector<Song> songs_;
  std::unordered_map<std::string, size_t> artistAt_, albumAt_, songAt_;
  std::unordered_map<std::string, std::vector<size_t>> albumsOf_, songsOf_;
  // (genre id, table, position) -> artists, in name order.
  std::map<std::tuple<std::string, int, int>, std::vector<size_t>> listed_;
  std::unordered_map<std::string, std::string> songPath_;  // relative to root_
  std::unordered_map<std::string, std::string> albumFolder_;
  std::unordered_map<std::string, std::string> albumPictureSong_;  // a song with a picture
  std::vector<Playlist> playlists_;
  std::map<std::string, TopicPage> topics_;

  mutable std::mutex coverMutex_;
  mutable std::map<std::string, std::optional<Picture>> covers_;
};

}  // namespace zolfa_server
