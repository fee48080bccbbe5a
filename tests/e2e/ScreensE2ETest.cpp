// The working screens of ZolfaCE against the real zolfa-server: the program
// started headless on the test's device root and driven by a script that
// taps list rows, then the transcript, the server's own answers and the
// files the device kept.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/CurPlaylistBytes.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/ServiceHosts.h"
#include "zolfa/app/CRegString.h"
#include "zolfa/app/ZolfaPaths.h"

namespace {

using test_support::ServerProcess;

constexpr const char16_t* kCurPlayList = test_support::kCurPlayListPath;
constexpr char16_t kPersonalDb[] = u"\\Program Files\\Zolfa\\personal.db";

const char kLogin[] =
    "until \"show 135\"\ntap 135/1066\ntype demo@zolfa.test\ntap 135/1019\ntype zolfa\ntap 135/1\n"
    "until \"show 160\"\n";
// To the browse tab and its genres.
const char kGenres[] = "tap 159/1027\nuntil \"show 162\"\ntap 162/1027\nuntil genre.php\nawait text 完成\n";

using test_support::ReadWholeFile;

std::string LogField(const std::string& line, int n) {
  size_t start = 0;
  for (int i = 0; i < n && start != std::string::npos; ++i) {
    start = line.find(' ', start);
    if (start != std::string::npos) ++start;
  }
  if (start == std::string::npos) return std::string();
  return line.substr(start, line.find(' ', start) - start);
}

using Song = test_support::PlaylistSong;
using test_support::CurPlayListBytes;

class ScreensE2ETest : public ::testing::Test {
 protected:
  void StartServer(std::vector<std::string> args = {}) {
    server_ = std::make_unique<ServerProcess>(std::move(args));
    ASSERT_TRUE(server_->Started());
    test_support::MapServiceHosts(server_->Port());
  }

  // Every run starts at the login screen, with no login remembered.
  int Run(const std::string& script) {
    for (const char16_t* name :
         {u"account0", u"account1", u"account2", u"account3", u"password", u"autologin"}) {
      zolfa::CRegString(zolfa::SettingsValuePath(name)).Set(u"");
    }
    std::filesystem::path folder = root_.Path() / "e2e";
    std::filesystem::create_directories(folder);
    std::filesystem::path scriptFile = folder / "script.txt";
    std::ofstream(scriptFile, std::ios::binary) << kLogin << script << "quit\n";
    std::filesystem::path transcript = folder / "transcript.txt";
    std::string command = "timeout 120 '" + std::string(ZOLFA_BINARY) + "' --device '" +
                          root_.Path().string() + "' --headless --script '" + scriptFile.string() +
                          "' --transcript '" + transcript.string() + "' 2> '" +
                          (folder / "stderr.txt").string() + "'";
    int status = std::system(command.c_str());
    lines_.clear();
    std::istringstream in(ReadWholeFile(transcript) + ReadWholeFile(folder / "stderr.txt"));
    for (std::string line; std::getline(in, line);) lines_.push_back(line);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Transcript() const {
    std::string all;
    for (const std::string& line : lines_) {
      if (line.rfind("text ", 0) != 0 && line.rfind("item ", 0) != 0) all += line + "\n";
    }
    return all;
  }

  // The index of the n-th transcript line (from 0) that contains text; -1.
  int Find(const std::string& text, int n = 0) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].find(text) != std::string::npos && n-- == 0) return static_cast<int>(i);
    }
    return -1;
  }
  int Count(const std::string& text) const {
    return static_cast<int>(std::count_if(lines_.begin(), lines_.end(), [&](const std::string& l) {
      return l.find(text) != std::string::npos;
    }));
  }

  // The texts of the rows of list (TEMPLATE/ID) in the first dump after line
  // from.
  std::vector<std::string> Rows(const std::string& list, int from) const {
    std::vector<std::string> rows;
    const std::string prefix = "row " + list + " ";
    for (size_t i = from < 0 ? lines_.size() : static_cast<size_t>(from); i < lines_.size(); ++i) {
      if (lines_[i].rfind(prefix, 0) != 0) {
        if (!rows.empty()) break;
        continue;
      }
      const std::string& line = lines_[i];
      size_t open = line.find('"');
      rows.push_back(line.substr(open + 1, line.rfind('"') - open - 1));
    }
    return rows;
  }
  bool RowSelected(const std::string& list, int row, int from) const {
    const std::string prefix = "row " + list + " " + std::to_string(row) + " ";
    for (size_t i = static_cast<size_t>(std::max(from, 0)); i < lines_.size(); ++i) {
      if (lines_[i].rfind(prefix, 0) == 0) return lines_[i].size() > 9 &&
                                                   lines_[i].substr(lines_[i].size() - 9) == " selected";
    }
    return false;
  }

  // The server's answers to the requests of path, in order: each asked
  // again and read as the server sent it.
  std::vector<std::string> ServerBodies(const std::string& path, const std::string& also = "") {
    std::vector<std::string> bodies;
    for (const std::string& line : server_->LogLines()) {
      if (line.find(" " + path + "?") == std::string::npos) continue;
      if (!also.empty() && line.find(also) == std::string::npos) continue;
      httplib::Result result = server_->Get(LogField(line, 2));
      bodies.push_back(result && result->status == 200 ? result->body : std::string());
    }
    return bodies;
  }
  static std::vector<std::string> Values(const std::string& body, const std::string& tag) {
    std::vector<std::string> values;
    std::string text = ce::ToUtf8(ce::MultiToWide(body, 950));
    std::regex element("<" + tag + ">([^<]*)</" + tag + ">");
    for (std::sregex_iterator it(text.begin(), text.end(), element), end; it != end; ++it) {
      values.push_back((*it)[1].str());
    }
    return values;
  }
  static std::vector<Song> Songs(const std::string& body) {
    std::vector<std::string> titles = Values(body, "text");
    std::vector<std::string> ids = Values(body, "song_id");
    std::vector<Song> songs;
    for (size_t i = 0; i < titles.size() && i < ids.size(); ++i) songs.push_back({titles[i], ids[i]});
    return songs;
  }
  static std::vector<std::string> Titles(const std::vector<Song>& songs) {
    std::vector<std::string> titles;
    for (const Song& song : songs) titles.push_back(song.title);
    return titles;
  }

  ce::testing::TempDeviceRoot root_;
  std::unique_ptr<ServerProcess> server_;
  std::vector<std::string> lines_;
};

// Genre, "合輯" and then ㄌ, artist, album, songs: every page shows the
// server's own answer; "全部播放" puts the songs in the current playlist and
// its file; "播放專輯" replaces them with another album's songs and
// "附加專輯到播放清單" appends a third.
TEST_F(ScreensE2ETest, TheCataloguePathShowsTheServersAnswersAndFillsTheCurrentPlaylist) {
  StartServer();
  ASSERT_EQ(Run(std::string(kGenres) +
                "dump\ntap 162/1057 row 0\nwait 300\nshot index.png\n"
                "tap 162/1038 item 0\nuntil artist.php\nawait text 完成\n"
                "tap 162/1038 item 8\nuntil index=8\nawait text 完成\ndump\n"
                "tap 162/1057 row 0\nuntil album.php\nawait text 完成\ndump\n"
                "tap 162/1057 row 0\nuntil song.php\nawait text 完成\ndump\n"
                "menu 32859\nuntil \"show 160\"\nwait 300\ndump\n"
                "tap 159/1027\nuntil \"show 162\"\ntap 162/1004\nwait 300\n"
                "hold 162/1057 row 1\nmenu 32795\nuntil \"show 160\"\nwait 300\ndump\n"
                "tap 159/1027\nuntil \"show 162\"\ntap 162/1004\nwait 300\n"
                "hold 162/1057 row 0\nmenu 32857\nuntil \"show 160\"\nwait 300\ndump\n"),
            0)
      << Transcript();
  const int genres = Find("/genre.php?");
  ASSERT_GE(genres, 0) << Transcript();
  EXPECT_EQ(Rows("162/1057", genres), Values(ServerBodies("/genre.php")[0], "text"));
  // "合輯" asks for index 99, ㄌ for 8, both of the phonetic table.
  EXPECT_GE(Find("/artist.php?genre=1&index_type=1&index=99&type_id=0&type_func=AUTH&type_note=&"), 0);
  const int artists = Find("/artist.php?genre=1&index_type=1&index=8&");
  ASSERT_GE(artists, 0) << Transcript();
  EXPECT_EQ(Rows("162/1057", artists), Values(ServerBodies("/artist.php", "index=8&")[0], "text"));
  const int albums = Find("/album.php?");
  ASSERT_GE(albums, 0);
  EXPECT_EQ(Find("menubar 166", 0) > albums, true) << Transcript();
  EXPECT_EQ(Rows("162/1057", albums), Values(ServerBodies("/album.php")[0], "text"));
  const int songsPage = Find("/song.php?");
  ASSERT_GE(songsPage, 0);
  std::vector<std::string> songAnswers = ServerBodies("/song.php");
  ASSERT_EQ(songAnswers.size(), 3u) << Transcript();
  const std::vector<Song> first = Songs(songAnswers[0]);
  const std::vector<Song> second = Songs(songAnswers[1]);
  const std::vector<Song> third = Songs(songAnswers[2]);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(Rows("162/1057", songsPage), Titles(first));
  EXPECT_EQ(Rows("160/1061", Find("show 160", 1)), Titles(first));
  // "播放專輯" on album row 1 replaced them; row 0's songs were appended.
  EXPECT_EQ(Rows("160/1061", Find("show 160", 2)), Titles(second));
  std::vector<Song> all = second;
  all.insert(all.end(), third.begin(), third.end());
  EXPECT_EQ(Rows("160/1061", Find("show 160", 3)), Titles(all));
  EXPECT_EQ(root_.ReadDeviceBytes(kCurPlayList), CurPlayListBytes(all));
}

// A second index entry while the first artist list loads shows only the
// second, and back leaves it for the genres; back while an album list loads
// stops and drops the late answer.
TEST_F(ScreensE2ETest, StaleAnswersAreDroppedAndBackStopsALoadingList) {
  StartServer({"--fault", "path=/artist.php,delay=2000,times=1", "--fault",
               "path=/album.php,delay=2000,times=1"});
  ASSERT_EQ(Run(std::string(kGenres) +
                "tap 162/1057 row 0\nwait 300\ntap 162/1038 item 8\nuntil index=8\nwait 200\n"
                "tap 162/1038 item 23\nwait 3000\ndump\n"
                "tap 162/1004\nwait 300\ndump\n"
                "tap 162/1057 row 0\nwait 300\ntap 162/1038 item 23\nuntil index=23\nwait 400\n"
                "tap 162/1057 row 0\nuntil album.php\nwait 300\ntap 162/1004\nwait 3000\ndump\n"),
            0)
      << Transcript();
  std::vector<std::string> second = Values(ServerBodies("/artist.php", "index=23&")[0], "text");
  ASSERT_FALSE(second.empty());
  ASSERT_NE(second, Values(ServerBodies("/artist.php", "index=8&")[0], "text"));
  const int late = Find("index=8&");
  EXPECT_EQ(Rows("162/1057", late), second) << Transcript();
  // Back from the artist page: the genres, the page before it.
  const int genres = Find("/genre.php?");
  std::vector<std::string> genreRows = Values(ServerBodies("/genre.php")[0], "text");
  int afterBack = Find("row 162/1057 0 ", 1);
  EXPECT_EQ(Rows("162/1057", afterBack), genreRows) << Transcript();
  EXPECT_GT(afterBack, genres);
  // Back while the albums load: the artist page again, not the albums.
  const int albums = Find("/album.php?");
  ASSERT_GE(albums, 0);
  EXPECT_EQ(Rows("162/1057", albums), second) << Transcript();
  EXPECT_EQ(Count("text ") > 0, true);
  for (size_t i = static_cast<size_t>(albums); i < lines_.size(); ++i) {
    EXPECT_EQ(lines_[i].find("\"連線中"), std::string::npos) << "the animation stopped: " << lines_[i];
  }
}

// Topic mode: the feed folder opens without a service request, the empty
// folder shows "無資料" with menu bar 180, and the catalogue comes back
// without a request.
TEST_F(ScreensE2ETest, TopicFoldersFeedsEmptyPagesAndModeSwitches) {
  StartServer();
  ASSERT_EQ(Run(std::string(kGenres) +
                "tap 162/1057 row 1\nwait 300\n"
                "tap 162/1026\nuntil hw_topic.php\nawait text 完成\ndump\n"
                "tap 162/1057 row 2\nuntil radio.xml\nawait text 完成\ndump\n"
                "tap 162/1004\nwait 300\ntap 162/1057 row 4\nuntil item_id=soon\nawait text 完成\ndump\n"
                "tap 162/1027\nwait 400\ndump\n"),
            0)
      << Transcript();
  const int root = Find("/hw_topic.php?");
  ASSERT_GE(root, 0) << Transcript();
  EXPECT_EQ(Rows("162/1057", root),
            (std::vector<std::string>{"本週熱門", "編輯推薦", "主題電台", "經典回顧", "即將推出"}));
  // The feed: one GET of its own address, no topic request.
  const int feed = Find("radio.xml");
  ASSERT_GE(feed, 0);
  EXPECT_EQ(Count("/hw_topic.php?"), 2) << Transcript();
  EXPECT_FALSE(Rows("162/1057", feed).empty());
  const int empty = Find("item_id=soon");
  ASSERT_GE(empty, 0);
  EXPECT_GE(Find("\"無資料\"", 0), empty) << Transcript();
  EXPECT_GT(Find("menubar 180", 1), root);
  // Back in the catalogue: the index layout of the chosen genre, no request.
  EXPECT_EQ(Count("/genre.php?"), 1);
  EXPECT_EQ(Count("/artist.php?"), 0);
  EXPECT_GE(Find("\"歌手/演出者\"", 0), empty) << Transcript();
}

// The library: the import adds the backed-up playlists and personal.db holds
// them; a tap on a song plays it; deleting song 3 of five; a playlist
// appended to the current playlist; the current playlist saved as "歌單".
TEST_F(ScreensE2ETest, TheLibraryImportsDeletesAppendsAndSavesPlaylists) {
  StartServer();
  ASSERT_EQ(Run("tap 159/1028\nuntil \"show 161\"\nmenu 32799\nuntil \"show 187\"\n"
                "tap 187/1046\nuntil \"hide 187\"\nwait 300\ndump\n"
                "tap 161/1033 row 0\nwait 300\ndump\n"
                "tap 161/1034 row 2\nuntil \"show 160\"\n"
                "tap 159/1028\nuntil \"show 161\"\nwait 300\n"
                "hold 161/1034 row 2\nmenu 32877\nwait 300\ndump\n"
                "tap 161/1004\nwait 300\ntap 161/1033 row 2\nwait 300\ntap 161/1004\nwait 300\n"
                "menu 32888\nuntil \"show 160\"\nwait 300\ndump\n"
                "menu 32850\nuntil \"show 176\"\ntap 176/1\nuntil \"show 161\"\nwait 300\ndump\n"),
            0)
      << Transcript();
  const int imported = Find("hide 187");
  ASSERT_GE(imported, 0) << Transcript();
  const std::vector<std::string> playlists = Rows("161/1033", imported);
  ASSERT_EQ(playlists.size(), 4u) << Transcript();
  EXPECT_EQ(playlists[0], "全部歌曲");
  const std::vector<std::string> allSongs = Rows("161/1034", imported);
  ASSERT_EQ(allSongs.size(), 5u) << Transcript();
  // Deleting song 3 of five leaves four rows in order, the former song 4
  // selected.
  const int deleted = Find("msgbox caption=\"ZOLFA\" text=\"確定要刪除歌曲: " + allSongs[2] + " ? \" answer=YES");
  ASSERT_GE(deleted, 0) << Transcript();
  std::vector<std::string> remaining = allSongs;
  remaining.erase(remaining.begin() + 2);
  EXPECT_EQ(Rows("161/1034", deleted), remaining);
  EXPECT_TRUE(RowSelected("161/1034", 2, deleted)) << Transcript();
  // "將此歌單附加到播放清單" on the playlist in row 2: the song played before
  // stays, the playlist's songs follow.
  const int appended = Find("show 160", 1);
  ASSERT_GE(appended, 0) << Transcript();
  std::vector<std::string> current = Rows("160/1061", appended);
  ASSERT_GE(current.size(), 1u) << Transcript();
  EXPECT_EQ(current[0], allSongs[2]);
  // Saved as "歌單": the library shows its songs under its name, and the file
  // holds the three imported playlists and the new one with the next id.
  EXPECT_GE(Find("\"歌單\"", 0), appended) << Transcript();
  const std::string db = ce::ToUtf8(ce::MultiToWide(root_.ReadDeviceBytes(kPersonalDb), 950));
  for (const std::string& name : {playlists[1], playlists[2], playlists[3]}) {
    EXPECT_NE(db.find("</playlist_id><playlist_name>" + name + "</playlist_name>\n"), std::string::npos)
        << name << "\n" << db;
  }
  EXPECT_NE(db.find("<playlist>\n<playlist_id>1004</playlist_id><playlist_name>歌單</playlist_name>\n"),
            std::string::npos)
      << db;
  EXPECT_EQ(db.rfind("<musiclibrary>\n<playlist>\n<playlist_id>-99</playlist_id>", 0), 0u) << db;
  EXPECT_EQ(db.substr(db.size() - 15), "</musiclibrary>");
}

// The elements of one tag in text, in order.
std::vector<std::string> Elements(const std::string& text, const std::string& tag) {
  std::vector<std::string> values;
  std::regex element("<" + tag + ">([\\s\\S]*?)</" + tag + ">");
  for (std::sregex_iterator it(text.begin(), text.end(), element), end; it != end; ++it) {
    values.push_back((*it)[1].str());
  }
  return values;
}

std::string First(const std::string& text, const std::string& tag) {
  std::vector<std::string> values = Elements(text, tag);
  return values.empty() ? std::string() : values[0];
}

// After the import on a new device, personal.db holds the all-songs list
// and the backed-up playlists with their songs, as the backup answer gives
// them, byte for byte.
TEST_F(ScreensE2ETest, PersonalDbHoldsTheImportedBackup) {
  StartServer();
  ASSERT_EQ(Run("tap 159/1028\nuntil \"show 161\"\nmenu 32799\nuntil \"show 187\"\n"
                "tap 187/1046\nuntil \"hide 187\"\nwait 300\n"),
            0)
      << Transcript();
  std::vector<std::string> answers;
  for (const std::string& line : server_->LogLines()) {
    if (line.find(" /backup_load.php?") == std::string::npos) continue;
    httplib::Result result = server_->Get(LogField(line, 2), "is.zolfa.test");
    answers.push_back(result && result->status == 200 ? result->body : std::string());
  }
  ASSERT_EQ(answers.size(), 1u);
  const std::string answer = ce::ToUtf8(ce::MultiToWide(answers[0], 950));
  // Songs in use by number; playlists in order with their songs.
  struct Entry {
    std::string number, name, playId;
  };
  std::vector<Entry> songs;
  for (const std::string& record : Elements(First(answer, "SongTable"), "Data")) {
    const std::string inUse = First(record, "14");
    if (!inUse.empty() && inUse != "1") continue;
    songs.push_back({First(record, "0"), First(record, "1"), First(record, "11")});
  }
  auto songLine = [&](const std::string& number) {
    for (const Entry& song : songs) {
      if (song.number == number) {
        return "<song_data><song_id>" + number + "</song_id><song_name>" + song.name +
               "</song_name><play_url>zolfa://play_song_" + song.playId + "</play_url></song_data>\n";
      }
    }
    return std::string();
  };
  const std::vector<std::string> contents = Elements(First(answer, "PlayListContentTable"), "Data");
  std::string all;
  std::string lists;
  int id = 1001;
  for (const std::string& list : Elements(First(answer, "PlayListTable"), "Data")) {
    std::string lines;
    for (const std::string& content : contents) {
      if (First(content, "2") == First(list, "0")) lines += songLine(First(content, "1"));
    }
    all += lines;
    lists += "<playlist>\n<playlist_id>" + std::to_string(id++) + "</playlist_id><playlist_name>" +
             First(list, "1") + "</playlist_name>\n<playlist_data>\n" + lines +
             "</playlist_data>\n</playlist>\n\n";
  }
  ASSERT_EQ(id, 1004) << answer;
  ASSERT_FALSE(all.empty());
  const std::string expected = "<musiclibrary>\n<playlist>\n<playlist_id>-99</playlist_id>"
                               "<playlist_name>全部歌曲</playlist_name>\n<playlist_data>\n" +
                               all + "</playlist_data>\n</playlist>\n\n" + lists + "</musiclibrary>";
  EXPECT_EQ(root_.ReadDeviceBytes(kPersonalDb), ce::WideToMulti(ce::FromUtf8(expected), 950));
}

// The all-songs row cannot move, take another name or go, and the
// playlist in row 1 cannot move up: their buttons refuse the stylus.
TEST_F(ScreensE2ETest, TheAllSongsRowStaysAndRowOneCannotMoveUp) {
  StartServer();
  struct Case {
    int row;
    const char* button;
  };
  const Case cases[] = {{0, "1044"}, {0, "1042"}, {0, "1043"}, {0, "1045"}, {1, "1044"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + " " + c.button);
    const std::string pick = c.row == 0 ? "" : "tap 161/1033 row " + std::to_string(c.row) +
                                                   "\nwait 200\ntap 161/1004\nwait 200\n";
    ASSERT_EQ(Run("tap 159/1028\nuntil \"show 161\"\nmenu 32799\nuntil \"show 187\"\n"
                  "tap 187/1046\nuntil \"hide 187\"\nwait 300\n" +
                  pick + "tap 161/" + c.button + "\n"),
              1)
        << Transcript();
    EXPECT_GE(Find(std::string("control ") + c.button + " is disabled"), 0) << Transcript();
  }
}

}  // namespace
