// The browse lists, topic pages and feeds of the sample catalogue.
#include <gtest/gtest.h>

#include <regex>

#include "tests/server/AnswerReader.h"
#include "tests/server/ServiceQueries.h"
#include "tests/support/ServerProcess.h"

namespace zolfa_server_test {

using test_support::ServerProcess;
namespace {

using Q = ServiceQueries;

struct ListItem {
  std::string title;  // UTF-8
  std::string id;
};

// Reads list elements as the handset does: the element, then "<text>" and
// the identifier tag inside it.
std::vector<ListItem> Items(const std::string& body, const std::string& element,
                            const std::string& idTag) {
  std::vector<ListItem> items;
  for (const std::string& content : AnswerReader::All(body, element)) {
    AnswerReader inner(content);
    auto title = inner.Next("text");
    auto id = inner.Next(idTag);
    if (title && id) items.push_back({AnswerReader::Big5ToUtf8(*title), *id});
  }
  return items;
}

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Started());
    sid_ = Q::LoginSid(server_);
    ASSERT_FALSE(sid_.empty());
  }

  std::string Body(const std::string& target) {
    auto result = server_.Get(target, "ds.zolfa.test");
    EXPECT_TRUE(result && result->status == 200) << target;
    return result ? result->body : std::string();
  }
  std::string Artists(const std::string& genre, int table, int index) {
    return "/artist.php?genre=" + genre + "&index_type=" + std::to_string(table) +
           "&index=" + std::to_string(index) + "&type_id=0&type_func=AUTH&type_note=&" +
           Q::Device(sid_);
  }
  std::string Albums(const std::string& genre, const std::string& artist) {
    return "/album.php?genre=" + genre + "&index_type=1&index=23&artist=" + artist +
           "&type_id=0&type_func=AUTH&type_note=&" + Q::Device(sid_);
  }
  std::string Songs(const std::string& artist, const std::string& album) {
    return "/song.php?genre=1&index_type=1&index=23&artist=" + artist + "&album=" + album +
           "&type_id=0&type_func=AUTH&type_note=&" + Q::Device(sid_);
  }
  std::string Topic(const std::optional<std::string>& itemId, const std::string& key) {
    std::string target = "/hw_topic.php?ver=01000001&hw_vender=Ulda&hw_model=WINCE&hw_id=000000"
                         "&hw_version=0002&key=" + key;
    return itemId ? target + "&item_id=" + *itemId : target;
  }

  ServerProcess server_;
  std::string sid_;
};

TEST_F(CatalogueTest, GenreArtistAlbumSongChainEndsInSongs) {
  auto genres = Items(Body("/genre.php?" + Q::Device(sid_)), "genre", "id");
  ASSERT_GE(genres.size(), 4u);
  EXPECT_EQ(genres[0].title, "華語流行");
  auto artists = Items(Body(Artists(genres[0].id, 1, 23)), "artist", "id");  // ㄨ
  ASSERT_EQ(artists.size(), 1u);
  EXPECT_EQ(artists[0].title, "王小明");
  auto albums = Items(Body(Albums(genres[0].id, artists[0].id)), "album", "id");
  ASSERT_GE(albums.size(), 2u);
  auto songs = Items(Body(Songs(artists[0].id, albums[0].id)), "song", "song_id");
  ASSERT_GE(songs.size(), 3u);
  std::set<std::string> ids;
  for (const ListItem& song : songs) {
    EXPECT_FALSE(song.title.empty());
    EXPECT_TRUE(std::regex_match(song.id, std::regex("[0-9]+")));
    ids.insert(song.id);
  }
  EXPECT_EQ(ids.size(), songs.size());
  // An album of another artist and an unknown album give empty lists.
  EXPECT_TRUE(Items(Body(Songs(artists[0].id, "nope")), "song", "song_id").empty());
  // Every step is in the request log under the data host.
  std::vector<std::string> log = server_.LogLines();
  for (const char* path : {"/genre.php?", "/artist.php?", "/album.php?", "/song.php?"}) {
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const std::string& line) {
      return line.find(std::string(" ds.zolfa.test ") + path) != std::string::npos;
    })) << path;
  }
}

TEST_F(CatalogueTest, EveryIndexTableLeadsToArtists) {
  struct Case {
    const char* genre;
    int table;
    int index;
    std::vector<std::string> names;
  };
  const Case kCases[] = {
      {"1", 1, 23, {"王小明"}},      // ㄨ
      {"1", 2, 4, {"王小明"}},       // four strokes
      {"1", 3, 12, {"李美玲", "林宇"}},  // L
      {"4", 1, 37, {"二手樂團"}},    // ㄦ, the last phonetic entry
      {"2", 3, 32, {"5 Seconds"}},   // the digit 5
      {"6", 2, 3, {"于樂"}},
      {"1", 1, 99, {"群星"}},        // the compilations, in every table
      {"2", 3, 99, {"群星"}},
      {"1", 1, 37, {}},
  };
  for (const Case& c : kCases) {
    std::vector<std::string> names;
    for (const ListItem& item : Items(Body(Artists(c.genre, c.table, c.index)), "artist", "id")) {
      names.push_back(item.title);
    }
    EXPECT_EQ(names, c.names) << c.genre << " " << c.table << " " << c.index;
  }
}

TEST_F(CatalogueTest, ParametersOutsideTheHandsetsValuesAreRejected) {
  const std::string device = Q::Device(sid_);
  const std::string kBad[] = {
      Artists("1", 1, 0),  Artists("1", 1, 38), Artists("1", 3, 37), Artists("1", 4, 1),
      Artists("", 1, 1),
      "/artist.php?genre=1&index_type=1&index=1&type_id=0&type_func=auth&type_note=&" + device,
      "/artist.php?genre=1&index_type=1&index=1&type_id=1&type_func=AUTH&type_note=&" + device,
      "/artist.php?genre=1&index_type=1&index=1&type_id=0&type_func=AUTH&type_note=x&" + device,
      "/album.php?genre=1&index_type=1&index=1&type_id=0&type_func=AUTH&type_note=&" + device,
      "/song.php?genre=1&index_type=2&index=40&artist=101&album=&type_id=0&type_func=AUTH"
      "&type_note=&" + device,
      "/hw_topic.php?ver=01000001&hw_vender=ULDA&hw_model=WINCE&hw_id=000000&hw_version=0002"
      "&key=" + sid_,
      "/hw_topic.php?ver=01000001&hw_vender=Ulda&hw_model=WINCE&hw_id=000000&key=" + sid_,
  };
  for (const std::string& target : kBad) {
    auto result = server_.Get(target, "ds.zolfa.test");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400) << target;
  }
}

TEST_F(CatalogueTest, UnknownSessionGetsTheSessionErrorPair) {
  const std::string other = "ffffffffffffffffffffffffffffffff";
  const std::string device = Q::Device(other);
  const std::pair<std::string, bool> kTargets[] = {
      {"/genre.php?" + device, true},
      {"/artist.php?genre=1&index_type=1&index=99&type_id=0&type_func=AUTH&type_note=&" + device,
       true},
      {"/album.php?genre=1&index_type=1&index=99&artist=107&type_id=0&type_func=AUTH&type_note=&" +
           device, true},
      {"/song.php?genre=1&index_type=1&index=99&artist=107&album=10701&type_id=0&type_func=AUTH"
       "&type_note=&" + device, true},
      {Topic(std::nullopt, other), false},
      {Topic("hot", ""), false},
  };
  for (const auto& [target, big5] : kTargets) {
    AnswerReader reader(Body(target));
    EXPECT_TRUE(reader.Next("sid_errno").has_value()) << target;
    std::string message = reader.Next("sid_errmsg").value_or("");
    EXPECT_EQ(big5 ? AnswerReader::Big5ToUtf8(message) : message, "連線已逾時,請重新登入");
  }
  // A good session's answers carry no such pair.
  EXPECT_EQ(Body("/genre.php?" + Q::Device(sid_)).find("sid_errno"), std::string::npos);
}

TEST_F(CatalogueTest, TopicPagesNestFoldersAndEndInTracks) {
  struct Entry {
    std::string type, name, id;
  };
  auto entries = [&](const std::optional<std::string>& itemId, bool escaped) {
    std::string body = Body(Topic(itemId, sid_));
    std::vector<Entry> result;
    std::string lt = escaped ? "&lt;" : "<";
    std::string gt = escaped ? "&gt;" : ">";
    auto between = [&](const std::string& text, const std::string& tag) {
      size_t start = text.find(lt + tag + gt);
      size_t end = text.find(lt + "/" + tag + gt);
      if (start == std::string::npos || end == std::string::npos) return std::string("?");
      start += lt.size() + tag.size() + gt.size();
      return text.substr(start, end - start);
    };
    for (const std::string& item : AnswerReader::All(body, "Item")) {
      result.push_back({between(item, "ItemType"), between(item, "ItemName"),
                        between(item, "ItemID")});
    }
    return result;
  };
  auto root = entries(std::nullopt, false);
  ASSERT_GE(root.size(), 4u);
  EXPECT_EQ(root[0].name, "本週熱門");  // UTF-8, as the handset reads topic pages
  for (const Entry& e : root) EXPECT_EQ(e.type, "folder");

  // Folders within folders, ending in tracks whose ids are songs.
  auto picks = entries("picks", false);
  ASSERT_FALSE(picks.empty());
  std::string night = picks.back().id;
  auto nested = entries(night, false);
  ASSERT_EQ(nested.size(), 1u);
  EXPECT_EQ(nested[0].type, "folder");
  auto tracks = entries(nested[0].id, false);
  ASSERT_FALSE(tracks.empty());
  for (const Entry& t : tracks) {
    EXPECT_EQ(t.type, "track");
    EXPECT_TRUE(std::regex_match(t.id, std::regex("[0-9]+")));
  }

  // The page with escaped tags, the empty page and an unknown folder.
  auto classics = entries("classics", true);
  ASSERT_FALSE(classics.empty());
  EXPECT_EQ(classics[0].type, "track");
  EXPECT_EQ(Body(Topic("classics", sid_)).find("<ItemType>"), std::string::npos);
  EXPECT_TRUE(entries("soon", false).empty());
  EXPECT_TRUE(entries("no-such-folder", false).empty());

  // The feed folder names an address that the server serves as RSS 2.0.
  auto feed = std::find_if(root.begin(), root.end(), [](const Entry& e) {
    return e.id.rfind("http://ds.zolfa.test/", 0) == 0;
  });
  ASSERT_NE(feed, root.end());
  std::string document = Body(feed->id.substr(std::string("http://ds.zolfa.test").size()));
  size_t rss = document.find("<rss version=\"2.0\">");
  ASSERT_NE(rss, std::string::npos);
  EXPECT_NE(document.find("</rss>", rss), std::string::npos);
  AnswerReader channel(document.substr(rss));
  EXPECT_EQ(AnswerReader::Big5ToUtf8(channel.Next("title").value_or("")), "主題電台");
  std::vector<std::string> items = AnswerReader::All(document, "item");
  ASSERT_FALSE(items.empty());
  for (const std::string& item : items) {
    AnswerReader reader(item);
    EXPECT_FALSE(reader.Next("title").value_or("").empty());
    EXPECT_TRUE(std::regex_match(reader.Next("link").value_or(""),
                                 std::regex("zolfa://play_song_[0-9]+")));
    EXPECT_EQ(reader.Next("zolfa:category"), "song");
  }
  auto missing = server_.Get("/feed/none.xml", "ds.zolfa.test");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
}

}  // namespace
}  // namespace zolfa_server_test
