// zolfa-server --music: a real folder served in the service's forms, each
// answer checked against what the folder holds.
#include <gtest/gtest.h>

#include <algorithm>

#include "server/AlbumPhotos.h"
#include "server/PasswordDigest.h"
#include "tests/server/AnswerReader.h"
#include "tests/support/MusicFolderFixture.h"
#include "tests/server/ServiceQueries.h"
#include "tests/support/ServerProcess.h"

namespace zolfa_server_test {

using test_support::MusicFolderFixture;

using test_support::ServerProcess;
namespace {

using Q = ServiceQueries;
using F = MusicFolderFixture;

struct Item {
  std::string title;  // UTF-8
  std::string id;
};

std::vector<Item> Items(const std::string& body, const std::string& element, const std::string& idTag) {
  std::vector<Item> items;
  for (const std::string& content : AnswerReader::All(body, element)) {
    AnswerReader inner(content);
    auto title = inner.Next("text");
    auto id = inner.Next(idTag);
    if (title && id) items.push_back({AnswerReader::Big5ToUtf8(*title), *id});
  }
  return items;
}

std::vector<std::string> Titles(const std::vector<Item>& items) {
  std::vector<std::string> titles;
  for (const Item& item : items) titles.push_back(item.title);
  return titles;
}

std::string IdOf(const std::vector<Item>& items, const std::string& title) {
  for (const Item& item : items) {
    if (item.title == title) return item.id;
  }
  return std::string();
}

class MusicFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(folder_.Error(), "");
    Start();
  }
  void Start() {
    server_ = std::make_unique<ServerProcess>(std::vector<std::string>{
        "--music", folder_.Root().string(), "--music-db", folder_.Database().string()});
    ASSERT_TRUE(server_->Started());
    sid_ = Q::LoginSid(*server_);
    ASSERT_FALSE(sid_.empty());
  }

  std::string Body(const std::string& target, const std::string& host = "ds.zolfa.test") {
    auto result = server_->Get(target, host);
    EXPECT_TRUE(result && result->status == 200) << target;
    return result ? result->body : std::string();
  }
  std::vector<Item> Genres() { return Items(Body("/genre.php?" + Q::Device(sid_)), "genre", "id"); }
  std::vector<Item> Artists(const std::string& genre, int table, int index) {
    return Items(Body("/artist.php?genre=" + genre + "&index_type=" + std::to_string(table) +
                      "&index=" + std::to_string(index) + "&type_id=0&type_func=AUTH&type_note=&" +
                      Q::Device(sid_)),
                 "artist", "id");
  }
  std::vector<Item> Albums(const std::string& genre, const std::string& artist) {
    return Items(Body("/album.php?genre=" + genre + "&index_type=1&index=99&artist=" + artist +
                      "&type_id=0&type_func=AUTH&type_note=&" + Q::Device(sid_)),
                 "album", "id");
  }
  std::vector<Item> Songs(const std::string& genre, const std::string& artist,
                          const std::string& album) {
    return Items(Body("/song.php?genre=" + genre + "&index_type=1&index=99&artist=" + artist +
                      "&album=" + album + "&type_id=0&type_func=AUTH&type_note=&" + Q::Device(sid_)),
                 "song", "song_id");
  }
  // The songs of the only album of an artist found under a table entry.
  std::vector<Item> SongsOf(const std::string& genreName, const std::string& artistName, int table,
                            int index) {
    std::string genre = IdOf(Genres(), genreName);
    std::string artist = IdOf(Artists(genre, table, index), artistName);
    if (artist.empty()) return {};
    std::vector<Item> albums = Albums(genre, artist);
    if (albums.empty()) return {};
    return Songs(genre, artist, albums[0].id);
  }
  std::string SongId(const std::string& genre, const std::string& artist, int letter,
                     const std::string& title) {
    return IdOf(SongsOf(genre, artist, 3, letter), title);
  }
  std::string Play(char kind, const std::string& name) {
    return std::string("/ps") + kind + "_01000013_" + sid_ + "_" + name + ".wma?12345";
  }
  // The ticket's text, lyrics flag and photo digest.
  std::vector<std::string> Ticket(const std::string& songId) {
    AnswerReader reader(Body(Play('1', songId), "cs.zolfa.test"));
    std::vector<std::string> fields;
    for (const char* name : {"status", "ticket", "lyrics_exists", "lyrics_editable", "album_id",
                             "album_photo_md5"}) {
      fields.push_back(reader.Next(name).value_or("(none)"));
    }
    return fields;
  }

  MusicFolderFixture folder_;
  std::unique_ptr<ServerProcess> server_;
  std::string sid_;
};

TEST_F(MusicFolderTest, EveryArtistIsFoundUnderItsEntryOfEachTable) {
  std::vector<Item> genres = Genres();
  std::vector<std::string> names = Titles(genres);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Pop", "未知", "華語流行"}));
  const struct {
    const char* genre;
    const char* artist;
    int phonetic, strokes, letter;  // 99: "合輯"
  } kCases[] = {
      {"華語流行", "王菲", 23, 4, 23},  // ㄨ, 4 strokes, W
      {"華語流行", "張學友", 15, 11, 26},
      {"華語流行", "林憶蓮", 8, 8, 12},
      {"Pop", "Blue Band", 99, 99, 2},
      {"Pop", "Various Artists", 99, 99, 99},  // a compilation by its album artist
      {"未知", "Untagged Artist", 99, 99, 21},  // names from the folders
  };
  for (const auto& c : kCases) {
    std::string genre = IdOf(genres, c.genre);
    const int positions[] = {c.phonetic, c.strokes, c.letter};
    for (int table = 1; table <= 3; ++table) {
      std::vector<std::string> listed = Titles(Artists(genre, table, positions[table - 1]));
      EXPECT_NE(std::find(listed.begin(), listed.end(), c.artist), listed.end())
          << c.artist << " in table " << table << " at " << positions[table - 1];
      if (positions[table - 1] != 99) {
        std::vector<std::string> others = Titles(Artists(genre, table, 99));
        EXPECT_EQ(std::find(others.begin(), others.end(), c.artist), others.end()) << c.artist;
      }
    }
  }
}

TEST_F(MusicFolderTest, AlbumsAndSongsComeFromTagsThenFolderNames) {
  EXPECT_EQ(Titles(SongsOf("華語流行", "王菲", 1, 23)),
            (std::vector<std::string>{"紅豆", "Say \"Hi\" & ＜go＞"}));  // track order
  std::string pop = IdOf(Genres(), "Pop");
  std::string blue = IdOf(Artists(pop, 3, 2), "Blue Band");
  std::vector<Item> albums = Albums(pop, blue);
  ASSERT_EQ(Titles(albums), (std::vector<std::string>{"Blue"}));
  // A 255-byte name without a title tag: the name less its extension.
  std::string longName = F::LongName();
  EXPECT_EQ(Titles(Songs(pop, blue, albums[0].id)),
            (std::vector<std::string>{longName.substr(0, longName.size() - 4)}));
  // Untagged, with a name in code page 950: folder names and the file name.
  std::string unknown = IdOf(Genres(), "未知");
  std::string untagged = IdOf(Artists(unknown, 3, 21), "Untagged Artist");
  albums = Albums(unknown, untagged);
  ASSERT_EQ(Titles(albums), (std::vector<std::string>{"Untagged Album"}));
  EXPECT_EQ(Titles(Songs(unknown, untagged, albums[0].id)), (std::vector<std::string>{"中 no tags"}));
  // The damaged file is no song anywhere; unknown ids give empty lists.
  std::string various = IdOf(Artists(pop, 1, 99), "Various Artists");
  EXPECT_EQ(Titles(SongsOf("Pop", "Various Artists", 1, 99)), (std::vector<std::string>{"Hit"}));
  EXPECT_TRUE(Albums(pop, "987654").empty());
  EXPECT_TRUE(Artists("987654", 1, 99).empty());
}

TEST_F(MusicFolderTest, TopicsAndBackupHoldTheFolderPlaylists) {
  std::string topic = "/hw_topic.php?ver=01000001&hw_vender=Ulda&hw_model=WINCE&hw_id=000000"
                      "&hw_version=0002&key=" + sid_;
  std::string root = Body(topic);
  EXPECT_EQ(AnswerReader::All(root, "ItemName"), (std::vector<std::string>{"Favourites", "最新專輯"}));
  std::vector<std::string> folders = AnswerReader::All(root, "ItemID");
  ASSERT_EQ(folders.size(), 2u);
  std::string playlist = Body(topic + "&item_id=" + folders[0]);
  EXPECT_EQ(AnswerReader::All(playlist, "ItemName"),
            (std::vector<std::string>{"Hit - Various Artists", "紅豆 - 王菲", "吻別 - 張學友"}));
  std::vector<std::string> trackIds = AnswerReader::All(playlist, "ItemID");
  ASSERT_EQ(trackIds.size(), 3u);
  EXPECT_EQ(trackIds[1], SongId("華語流行", "王菲", 23, "紅豆"));
  // The newest albums open on their tracks.
  std::string newest = Body(topic + "&item_id=" + folders[1]);
  std::vector<std::string> albums = AnswerReader::All(newest, "ItemID");
  EXPECT_EQ(albums.size(), 6u);
  for (const std::string& album : albums) {
    EXPECT_FALSE(AnswerReader::All(Body(topic + "&item_id=" + album), "ItemID").empty()) << album;
  }

  std::string backup = Body("/backup_load.php?ver=1.0&" + Q::Device(sid_), "is.zolfa.test");
  AnswerReader envelope(AnswerReader(backup).Next("backup_load").value_or(""));
  EXPECT_EQ(envelope.Next("status"), "1");
  std::string songs = AnswerReader(backup).Next("SongTable").value_or("");
  std::vector<std::string> names;
  for (const std::string& record : AnswerReader::All(songs, "Data")) {
    AnswerReader reader(record);
    std::string number = reader.Next("0").value_or("");
    names.push_back(AnswerReader::Big5ToUtf8(reader.Next("1").value_or("")));
    EXPECT_EQ(AnswerReader(record).Next("11").value_or(""), number);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Hit", "紅豆", "吻別"}));
  std::string lists = AnswerReader(backup).Next("PlayListTable").value_or("");
  EXPECT_EQ(AnswerReader::Big5ToUtf8(AnswerReader(lists).Next("1").value_or("")), "Favourites");
  std::string contents = AnswerReader(backup).Next("PlayListContentTable").value_or("");
  std::vector<std::string> entrySongs;
  for (const std::string& record : AnswerReader::All(contents, "Data")) {
    entrySongs.push_back(AnswerReader(record).Next("1").value_or(""));
  }
  EXPECT_EQ(entrySongs, trackIds);
}

TEST_F(MusicFolderTest, SongsPlayTheirOwnFilesLyricsAndPictures) {
  const std::string redBean = SongId("華語流行", "王菲", 23, "紅豆");
  const std::string quoted = SongId("華語流行", "王菲", 23, "Say \"Hi\" & ＜go＞");
  const std::string kiss = SongId("華語流行", "張學友", 26, "吻別");
  const std::string hit = IdOf(SongsOf("Pop", "Various Artists", 1, 99), "Hit");
  const std::string pictureDigest = zolfa_server::PasswordDigest::Md5Hex(F::Picture());

  std::vector<std::string> ticket = Ticket(redBean);
  ASSERT_EQ(ticket[0], "0");
  EXPECT_EQ(ticket[2], "0");  // no ".lrc" beside it
  EXPECT_EQ(ticket[5], pictureDigest);
  std::string file = F::ReadFile(folder_.Root() / F::kRedBean);
  auto stream = server_->Get(Play('2', ticket[1]), "cs.zolfa.test");
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->status, 200);
  EXPECT_TRUE(stream->body == file) << "the stream is the file's own bytes";
  EXPECT_EQ(stream->get_header_value("Content-Type"), "audio/mpeg");
  httplib::Client client("127.0.0.1", server_->Port());
  auto range = client.Get(Play('2', ticket[1]), {{"Host", "cs.zolfa.test"}, {"Range", "bytes=100-199"}});
  ASSERT_TRUE(range);
  EXPECT_EQ(range->status, 206);
  EXPECT_TRUE(range->body == file.substr(100, 100));
  auto photo = server_->Get("/web_info_photo.php?album_id=" + ticket[4] + "&" + Q::Device(sid_));
  ASSERT_TRUE(photo && photo->status == 200);
  EXPECT_TRUE(photo->body == F::Picture());
  EXPECT_EQ(photo->get_header_value("Content-Type"), "image/png");

  // The ".lrc" beside the song, in the timed form and code page 950; the
  // album's picture comes from its other song.
  ticket = Ticket(quoted);
  ASSERT_EQ(ticket[0], "0");
  EXPECT_EQ(ticket[2], "1");
  EXPECT_EQ(ticket[5], pictureDigest);
  std::string lyrics = AnswerReader::Big5ToUtf8(
      AnswerReader(Body(Play('3', ticket[1]), "cs.zolfa.test")).Next("lyrics").value_or(""));
  EXPECT_EQ(lyrics,
            "[00:00-00:01]<type=1>Say Hi\n[00:01-00:02]<type=1>第一句 & more\n"
            "[00:02-00:02]<type=1>重複的句子\n[00:03-00:04]<type=1>重複的句子\n");
  stream = server_->Get(Play('2', ticket[1]), "cs.zolfa.test");
  ASSERT_TRUE(stream);
  EXPECT_TRUE(stream->body == F::ReadFile(folder_.Root() / F::kQuoted));
  EXPECT_EQ(stream->get_header_value("Content-Type"), "audio/ogg");

  // A cover picture beside the album ("Folder.jpg").
  ticket = Ticket(kiss);
  EXPECT_EQ(ticket[5], zolfa_server::PasswordDigest::Md5Hex(F::CoverJpeg()));
  photo = server_->Get("/web_info_photo.php?album_id=" + ticket[4] + "&" + Q::Device(sid_));
  ASSERT_TRUE(photo && photo->status == 200);
  EXPECT_TRUE(photo->body == F::CoverJpeg());

  // No picture at all: the digest that means none, and no photo.
  ticket = Ticket(hit);
  EXPECT_EQ(ticket[5], zolfa_server::AlbumPhotos::kNoPhotoDigest);
  photo = server_->Get("/web_info_photo.php?album_id=" + ticket[4] + "&" + Q::Device(sid_));
  ASSERT_TRUE(photo);
  EXPECT_EQ(photo->status, 404);
  // A song whose file went away after the scan.
  std::filesystem::remove(folder_.Root() / F::kHit);
  stream = server_->Get(Play('2', ticket[1]), "cs.zolfa.test");
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->status, 404);
}

TEST_F(MusicFolderTest, RestartKeepsTheIds) {
  const std::string redBean = SongId("華語流行", "王菲", 23, "紅豆");
  const std::string genre = IdOf(Genres(), "華語流行");
  const std::string artist = IdOf(Artists(genre, 1, 23), "王菲");
  ASSERT_FALSE(redBean.empty());
  server_->Stop();
  Start();
  EXPECT_EQ(SongId("華語流行", "王菲", 23, "紅豆"), redBean);
  EXPECT_EQ(IdOf(Genres(), "華語流行"), genre);
  EXPECT_EQ(IdOf(Artists(genre, 1, 23), "王菲"), artist);
}

TEST(MusicFolderStart, AFolderThatCannotBeReadStopsTheStart) {
  std::string error;
  std::filesystem::path missing = std::filesystem::temp_directory_path() / "zolfa-no-such-music-dir";
  EXPECT_EQ(ServerProcess::RunToExit({"--music", missing.string(), "--music-db",
                                      (std::filesystem::temp_directory_path() / "unused.db").string()},
                                     &error),
            1);
  EXPECT_NE(error.find("music folder"), std::string::npos) << error;
  EXPECT_EQ(ServerProcess::RunToExit({"--music-db", "x.db"}, &error), 2);
}

}  // namespace
}  // namespace zolfa_server_test
