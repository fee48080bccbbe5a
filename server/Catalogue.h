// The music catalogue behind the browse endpoints. The sample catalogue is
// built in memory; a catalogue read from a music folder takes its place
// through this interface.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server/CatalogueRecords.h"


namespace zolfa_server {

class SongMedia;

class Catalogue {
 public:
  virtual ~Catalogue() = default;

  virtual std::vector<Genre> Genres() const = 0;
  // The artists of a genre listed under one entry of an index table
  // (indexType 1 phonetic symbols, 2 stroke counts, 3 letters; position as
  // in IndexTables, IndexTables::kCompilationIndex for the compilations).
  virtual std::vector<Artist> Artists(const std::string& genreId, int indexType,
                                      int position) const = 0;
  virtual std::vector<Album> Albums(const std::string& artistId) const = 0;
  virtual std::vector<Song> Songs(const std::string& albumId) const = 0;

  virtual std::optional<Song> FindSong(const std::string& songId) const = 0;
  virtual std::optional<Album> FindAlbum(const std::string& albumId) const = 0;
  virtual std::optional<Artist> FindArtist(const std::string& artistId) const = 0;

  // The topic page of a folder id; the root page for an empty id; nothing
  // for an unknown id.
  virtual std::optional<TopicPage> Topic(const std::string& itemId) const = 0;
  // The feed served at a path ("/feed/radio.xml"), if any.
  virtual std::optional<Feed> FeedAt(const std::string& path) const = 0;
  // The files, lyrics and pictures behind the songs, for a catalogue that
  // has real ones; nothing for one whose playback is made up.
  virtual const SongMedia* Media() const { return nullptr; }
};

}  // namespace zolfa_server
