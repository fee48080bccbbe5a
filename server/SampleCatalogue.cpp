#include "server/SampleCatalogue.h"

#include <algorithm>

#include "server/IndexTables.h"

namespace zolfa_server {

namespace {

const char* const kChineseWords[] = {"夏日", "微風", "星光", "晴天", "雨夜", "思念",
                                     "遠方", "回憶", "城市", "海洋", "月光", "旅程",
                                     "青春", "花開", "時光", "夢想"};
const char* const kLatinWords[] = {"Morning", "Blue",  "River",  "Light",  "Ocean",  "Dream",
                                   "City",    "Fire",  "Summer", "Night",  "Road",   "Heart",
                                   "Silver",  "Golden", "Winter", "Echo"};
constexpr size_t kWordCount = 16;

struct ArtistRow {
  const char* id;
  const char* genreId;
  const char* name;
  int phonetic;  // position in the phonetic table, 0 for none
  int strokes;   // stroke count of the first character, 0 for none
  char letter;   // first letter of the romanised name
};

// Chinese names are listed under their first character's phonetic initial,
// stroke count and romanised letter; Latin names under their letter only;
// "群星" rows are the compilations of their genre.
const ArtistRow kArtists[] = {
    {"101", "1", "王小明", 23, 4, 'W'},       {"102", "1", "李美玲", 8, 7, 'L'},
    {"103", "1", "張學文", 15, 11, 'Z'},      {"104", "1", "林宇", 8, 8, 'L'},
    {"105", "1", "白雲", 1, 5, 'B'},          {"106", "1", "安琪", 33, 6, 'A'},
    {"107", "1", "群星", 0, 0, 0},            {"201", "2", "Alice Band", 0, 0, 'A'},
    {"202", "2", "Blue Sky", 0, 0, 'B'},      {"203", "2", "5 Seconds", 0, 0, '5'},
    {"204", "2", "Zed", 0, 0, 'Z'},           {"205", "2", "群星", 0, 0, 0},
    {"301", "3", "高橋", 9, 10, 'G'},         {"302", "3", "方圓", 4, 4, 'F'},
    {"303", "3", "楊光", 22, 13, 'Y'},        {"401", "4", "二手樂團", 37, 2, 'E'},
    {"402", "4", "馬克", 3, 10, 'M'},         {"403", "4", "歐陽", 32, 15, 'O'},
    {"404", "4", "The Rockers", 0, 0, 'T'},   {"501", "5", "田中", 6, 5, 'T'},
    {"502", "5", "孫藍", 21, 10, 'S'},        {"503", "5", "Miles Trio", 0, 0, 'M'},
    {"601", "6", "于樂", 24, 3, 'Y'},         {"602", "6", "潘多", 2, 15, 'P'},
    {"603", "6", "黃鐘", 11, 12, 'H'},        {"604", "6", "Vienna Strings", 0, 0, 'V'},
    {"605", "6", "群星", 0, 0, 0},
};

bool IsLatin(const std::string& name) {
  return !name.empty() && static_cast<unsigned char>(name[0]) < 0x80;
}

// Two different words of a list, chosen by seed.
std::pair<size_t, size_t> TwoWords(size_t seed) {
  size_t first = (seed * 5 + 3) % kWordCount;
  size_t second = (seed * 11 + 7) % kWordCount;
  if (second == first) second = (second + 1) % kWordCount;
  return {first, second};
}

}  // namespace

SampleCatalogue::SampleCatalogue() {
  genres_ = {{"1", "華語流行"}, {"2", "西洋流行"}, {"3", "日韓流行"},
             {"4", "搖滾樂團"}, {"5", "爵士藍調"}, {"6", "古典音樂"}};
  BuildArtists();
  BuildAlbumsAndSongs();
  BuildTopics();
}

void SampleCatalogue::BuildArtists() {
  for (const ArtistRow& row : kArtists) {
    Artist artist;
    artist.id = row.id;
    artist.genreId = row.genreId;
    artist.name = row.name;
    artist.compilation = row.letter == 0;
    artist.phoneticPosition = row.phonetic;
    artist.strokePosition = row.strokes;
    artist.letterPosition = row.letter == 0 ? 0 : IndexTables::LetterPosition(row.letter);
    artists_.push_back(artist);
  }
}

void SampleCatalogue::BuildAlbumsAndSongs() {
  size_t albumSeed = 0;
  size_t songSeed = 0;
  for (const Artist& artist : artists_) {
    bool latin = IsLatin(artist.name);
    int albumCount = artist.compilation ? 1 : 2;
    for (int a = 1; a <= albumCount; ++a) {
      Album album;
      album.id = artist.id + "0" + std::to_string(a);
      album.artistId = artist.id;
      if (artist.compilation) {
        auto genre = std::find_if(genres_.begin(), genres_.end(),
                                  [&](const Genre& g) { return g.id == artist.genreId; });
        album.title = genre->name + "精選合輯";
      } else {
        auto [first, second] = TwoWords(albumSeed);
        album.title = latin ? std::string(kLatinWords[first]) + " " + kLatinWords[second]
                            : std::string(kChineseWords[first]) + "的" + kChineseWords[second];
      }
      ++albumSeed;
      albums_.push_back(album);
      int songCount = artist.compilation ? 5 : 4;
      for (int s = 1; s <= songCount; ++s) {
        Song song;
        song.id = album.id + std::to_string(s);
        song.albumId = album.id;
        song.artistId = artist.id;
        auto [first, second] = TwoWords(songSeed * 3 + 1);
        song.title = latin ? std::string(kLatinWords[first]) + " " + kLatinWords[second]
                           : std::string(kChineseWords[first]) + kChineseWords[second];
        song.durationSeconds = 3 + static_cast<int>(songSeed % 4);
        ++songSeed;
        songs_.push_back(song);
      }
    }
  }
}

std::vector<Song> SampleCatalogue::SongsOfGenre(const std::string& genreId, size_t count) const {
  std::vector<Song> result;
  for (const Song& song : songs_) {
    auto artist = FindArtist(song.artistId);
    if (artist && artist->genreId == genreId && result.size() < count) result.push_back(song);
  }
  return result;
}

TopicItem SampleCatalogue::TrackOf(const Song& song) const {
  auto artist = FindArtist(song.artistId);
  return TopicItem{"track", song.title + " - " + (artist ? artist->name : std::string()),
                   song.id};
}

void SampleCatalogue::BuildTopics() {
  TopicPage root;
  root.items = {{"folder", "本週熱門", "hot"},
                {"folder", "編輯推薦", "picks"},
                {"folder", "主題電台", kFeedAddress},
                {"folder", "經典回顧", "classics"},
                {"folder", "即將推出", "soon"}};
  topics_[""] = root;

  TopicPage hot;
  for (size_t i = 0; i < albums_.size() && hot.items.size() < 8; i += 3) {
    hot.items.push_back(TrackOf(Songs(albums_[i].id).front()));
  }
  topics_["hot"] = hot;

  TopicPage picks;
  picks.items = {{"folder", "華語精選", "picks_zh"},
                 {"folder", "Western Picks", "picks_en"},
                 {"folder", "深夜電台", "picks_night"}};
  topics_["picks"] = picks;
  auto tracks = [&](const std::string& genreId, size_t count) {
    TopicPage page;
    for (const Song& song : SongsOfGenre(genreId, count)) page.items.push_back(TrackOf(song));
    return page;
  };
  topics_["picks_zh"] = tracks("1", 5);
  topics_["picks_en"] = tracks("2", 5);
  TopicPage night;
  night.items = {{"folder", "爵士之夜", "picks_night_jazz"}};
  topics_["picks_night"] = night;
  topics_["picks_night_jazz"] = tracks("5", 4);
  TopicPage classics = tracks("6", 5);
  classics.escapedTags = true;
  topics_["classics"] = classics;
  topics_["soon"] = TopicPage();

  feed_.title = "主題電台";
  for (const std::string genreId : {"3", "4"}) {
    for (const Song& song : SongsOfGenre(genreId, 3)) {
      TopicItem track = TrackOf(song);
      feed_.entries.push_back({track.name, "zolfa://play_song_" + song.id, "song"});
    }
  }
}

std::vector<Genre> SampleCatalogue::Genres() const { return genres_; }

std::vector<Artist> SampleCatalogue::Artists(const std::string& genreId, int indexType,
                                             int position) const {
  std::vector<Artist> result;
  for (const Artist& artist : artists_) {
    if (artist.genreId != genreId) continue;
    bool listed = false;
    if (position == IndexTables::kCompilationIndex) {
      listed = artist.compilation;
    } else if (indexType == IndexTables::kPhonetic) {
      listed = artist.phoneticPosition == position;
    } else if (indexType == IndexTables::kStrokes) {
      listed = artist.strokePosition == position;
    } else if (indexType == IndexTables::kLetters) {
      listed = artist.letterPosition == position;
    }
    if (listed) result.push_back(artist);
  }
  return result;
}

std::vector<Album> SampleCatalogue::Albums(const std::string& artistId) const {
  std::vector<Album> result;
  for (const Album& album : albums_) {
    if (album.artistId == artistId) result.push_back(album);
  }
  return result;
}

std::vector<Song> SampleCatalogue::Songs(const std::string& albumId) const {
  std::vector<Song> result;
  for (const Song& song : songs_) {
    if (song.albumId == albumId) result.push_back(song);
  }
  return result;
}

std::optional<Song> SampleCatalogue::FindSong(const std::string& songId) const {
  for (const Song& song : songs_) {
    if (song.id == songId) return song;
  }
  return std::nullopt;
}

std::optional<Album> SampleCatalogue::FindAlbum(const std::string& albumId) const {
  for (const Album& album : albums_) {
    if (album.id == albumId) return album;
  }
  return std::nullopt;
}

std::optional<Artist> SampleCatalogue::FindArtist(const std::string& artistId) const {
  for (const Artist& artist : artists_) {
    if (artist.id == artistId) return artist;
  }
  return std::nullopt;
}

std::optional<TopicPage> SampleCatalogue::Topic(const std::string& itemId) const {
  auto it = topics_.find(itemId);
  if (it == topics_.end()) return std::nullopt;
  return it->second;
}

std::optional<Feed> SampleCatalogue::FeedAt(const std::string& path) const {
  if (path == kFeedPath) return feed_;
  return std::nullopt;
}

}  // namespace zolfa_server
