// The records of the music catalogue as the endpoints hand them out. Texts
// are UTF-8; identifiers are the service's own and are sent back by the
// handset as they are, so they hold only letters, digits, "_" and "-"
// (feed addresses aside).
#pragma once

#include <string>
#include <vector>

namespace zolfa_server {

struct Genre {
  std::string id;
  std::string name;
};

struct Artist {
  std::string id;
  std::string genreId;
  std::string name;
  // Positions in the three index tables (see IndexTables); 0 when the
  // artist is not listed in that table. Compilations are listed under the
  // first entry of every table.
  int phoneticPosition = 0;
  int strokePosition = 0;
  int letterPosition = 0;
  bool compilation = false;
};

struct Album {
  std::string id;
  std::string artistId;
  std::string title;
};

struct Song {
  std::string id;
  std::string albumId;
  std::string artistId;
  std::string title;
  int durationSeconds = 0;
};

// One entry of a topic page: a folder (its id opens the next page, or is
// the "http://" address of a feed) or a track (its id is a song id).
struct TopicItem {
  std::string type;  // "folder" or "track"
  std::string name;
  std::string id;
};

struct TopicPage {
  std::vector<TopicItem> items;
  // The page is answered with the entry tags escaped ("&lt;ItemType&gt;"),
  // as some pages of the service are.
  bool escapedTags = false;
};

struct FeedEntry {
  std::string title;
  std::string link;
  std::string category;
};

// A feed document served at an "http://" address named by a topic folder.
struct Feed {
  std::string title;
  std::vector<FeedEntry> entries;
};

}  // namespace zolfa_server
