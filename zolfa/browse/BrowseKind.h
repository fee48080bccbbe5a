// Kinds of browse request. The kind picks the service path of the request
// and the element tags of its answer, so the numbers are fixed.
#pragma once

#include <cstdint>

namespace zolfa {

constexpr int32_t kBrowseGenreList = 0;    // "/genre.php"
constexpr int32_t kBrowseArtistList = 1;   // "/artist.php"
constexpr int32_t kBrowseAlbumList = 2;    // "/album.php"
constexpr int32_t kBrowseSongList = 3;     // "/song.php"
constexpr int32_t kBrowseTopicPage = 4;    // "/hw_topic.php", the top topic page
constexpr int32_t kBrowseTopicFolder = 5;  // "/hw_topic.php" with item_id, one topic folder

constexpr int32_t kBrowseKindCount = 6;

// Kinds 4 and 5 form the topic family; 0 to 3 the catalogue list family.
constexpr bool IsTopicKind(int32_t kind) {
  return kind == kBrowseTopicPage || kind == kBrowseTopicFolder;
}
constexpr bool IsListKind(int32_t kind) { return kind >= kBrowseGenreList && kind <= kBrowseSongList; }

}  // namespace zolfa
