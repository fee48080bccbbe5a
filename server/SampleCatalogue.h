// The catalogue that the server offers when no music folder is given: six
// genres, artists under every entry kind of the three index tables (and the
// compilations), albums and short songs with Traditional Chinese and Latin
// titles, and topic pages with nested folders, a feed folder, a page with
// escaped tags and an empty page. Built the same way on every start.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "server/Catalogue.h"

namespace zolfa_server {

class SampleCatalogue : public Catalogue {
 public:
  // The feed that the topic folder "主題電台" names.
  static constexpr const char* kFeedPath = "/feed/radio.xml";
  static constexpr const char* kFeedAddress = "http://ds.zolfa.test/feed/radio.xml";

  SampleCatalogue();

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

 private:
  void BuildArtists();
  void BuildAlbumsAndSongs();
  void BuildTopics();
  std::vector<Song> SongsOfGenre(const std::string& genreId, size_t count) const;
  TopicItem TrackOf(const Song& song) const;

  std::vector<Genre> genres_;
  std::vector<Artist> artists_;
  std::vector<Album> albums_;
  std::vector<Song> songs_;
  std::map<std::string, TopicPage> topics_;
  Feed feed_;
};

}  // namespace zolfa_server
