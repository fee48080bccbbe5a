// The player bar of ZolfaCE against the real zolfa-server: the program
// started headless (its media control plays to a sink that runs on the
// clock) on the test's device root with a filled current playlist, driven
// by a script; then the transcript, the server's request log and what the
// screen showed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/testing/TestSupport.h"
#include "tests/support/CurPlaylistBytes.h"
#include "tests/support/MusicFolderFixture.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/ServiceHosts.h"
#include "zolfa/app/CRegString.h"
#include "zolfa/app/ZolfaPaths.h"

namespace {

using test_support::PlaylistSong;
using test_support::ServerProcess;

const char kLogin[] =
    "until \"show 135\"\ntap 135/1066\ntype demo@zolfa.test\ntap 135/1019\ntype zolfa\ntap 135/1\n"
    "until \"show 160\"\n";
// Two songs of the sample catalogue (a few seconds of tones each, with
// timed lyrics).
const std::vector<PlaylistSong> kTwoSongs = {{"Blue Sky 1", "202011"}, {"Blue Sky 2", "202012"}};

class PlayerE2ETest : public ::testing::Test {
 protected:
  void StartServer(std::vector<std::string> args = {}) {
    server_ = std::make_unique<ServerProcess>(std::move(args));
    ASSERT_TRUE(server_->Started());
    test_support::MapServiceHosts(server_->Port());
  }

  // Every run starts at the login screen with the songs in the current
  // playlist (none: an empty one).
  int Run(const std::vector<PlaylistSong>& songs, const std::string& script) {
    for (const char16_t* name :
         {u"account0", u"account1", u"account2", u"account3", u"password", u"autologin"}) {
      zolfa::CRegString(zolfa::SettingsValuePath(name)).Set(u"");
    }
    root_.WriteDeviceBytes(test_support::kCurPlayListPath, test_support::CurPlayListBytes(songs));
    std::filesystem::path folder = root_.Path() / "e2e";
    std::filesystem::create_directories(folder);
    std::filesystem::path scriptFile = folder / "script.txt";
    std::ofstream(scriptFile, std::ios::binary)
        << kLogin << (songs.empty() ? "" : "await 160/1061 row 0\n") << script << "quit\n";
    std::filesystem::path transcript = folder / "transcript.txt";
    using test_support::ShellQuote;
    // In the run's own folder, where its screenshots go.
    std::string command = "cd " + ShellQuote(folder) + " && timeout 120 " + ShellQuote(ZOLFA_BINARY) + " --device " +
                          ShellQuote(root_.Path()) + " --headless --script " +
                          ShellQuote(scriptFile) + " --transcript " + ShellQuote(transcript) +
                          " 2> " + ShellQuote(folder / "stderr.txt");
    int status = std::system(command.c_str());
    lines_ = test_support::SplitLines(test_support::ReadWholeFile(transcript) +
                                      test_support::ReadWholeFile(folder / "stderr.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Transcript() const {
    std::string all;
    for (const std::string& line : lines_) {
      if (line.rfind("text ", 0) != 0) all += line + "\n";
    }
    return all;
  }
  // Transcript lines that contain every one of the pieces, in order.
  std::vector<std::string> Lines(const std::vector<std::string>& pieces) const {
    std::vector<std::string> found;
    for (const std::string& line : lines_) {
      if (std::all_of(pieces.begin(), pieces.end(),
                      [&](const std::string& p) { return line.find(p) != std::string::npos; })) {
        found.push_back(line);
      }
    }
    return found;
  }
  int Find(const std::string& text, int from = 0) const {
    for (size_t i = static_cast<size_t>(std::max(from, 0)); i < lines_.size(); ++i) {
      if (lines_[i].find(text) != std::string::npos) return static_cast<int>(i);
    }
    return -1;
  }
  // The server's log lines of requests whose path starts with prefix.
  std::vector<std::string> Logged(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : server_->LogLines()) {
      if (line.find(" " + prefix) != std::string::npos) found.push_back(line);
    }
    return found;
  }

  // The rows of list (TEMPLATE/ID) in the last dump, their first column.
  std::vector<std::string> Rows(const std::string& list) const {
    std::vector<std::string> rows;
    const std::string prefix = "row " + list + " ";
    for (const std::string& line : lines_) {
      if (line.rfind(prefix, 0) != 0) continue;
      size_t number = line.find(' ', prefix.size());
      if (line.compare(prefix.size(), number - prefix.size(), "0") == 0) rows.clear();
      size_t open = line.find('"', number);
      size_t close = line.find('"', open + 1);
      rows.push_back(line.substr(open + 1, close - open - 1));
    }
    return rows;
  }

  ce::testing::TempDeviceRoot root_;
  std::unique_ptr<ServerProcess> server_;
  std::vector<std::string> lines_;
};

TEST_F(PlayerE2ETest, ATappedSongPlaysThenTheNextFollowsAndStopEndsIt) {
  StartServer();
  ASSERT_EQ(Run(kTwoSongs,
                "tap 160/1061 row 0\n"
                "until \"media state 3 playing\" 20000\n"
                "await text \"播放中\" 5000\n"
                "await text \"00:01\" 10000\n"
                "shot playing.png\n"
                "until \"media ended\" 20000\n"
                "until \"media state 3 playing\" 20000\n"
                "await text \"00:01\" 10000\n"
                "tap 132/1013\n"
                "until \"media state 1 stopped\"\n"
                "await text 停止\n"),
            0)
      << Transcript();

  // Per song: the ticket, then the lyrics with the ticket, then the stream
  // at the address the ticket gave, all on port 80 of the stream server.
  const std::vector<std::string> tickets = Lines({"http GET ", ":80 /ps1_01000013_"});
  ASSERT_EQ(tickets.size(), 2u) << Transcript();
  EXPECT_NE(tickets[0].find("_202011.wma?"), std::string::npos) << tickets[0];
  EXPECT_NE(tickets[1].find("_202012.wma?"), std::string::npos) << tickets[1];
  EXPECT_EQ(Lines({"http GET ", ":80 /ps3_01000013_"}).size(), 2u) << Transcript();
  const std::vector<std::string> opened = Lines({"media open http://", ":80/ps2_01000013_"});
  ASSERT_EQ(opened.size(), 2u) << Transcript();
  const int firstTicket = Find(tickets[0]);
  const int firstLyrics = Find("/ps3_01000013_");
  const int firstOpen = Find(opened[0]);
  EXPECT_LT(firstTicket, firstLyrics);
  EXPECT_LT(firstLyrics, firstOpen);
  EXPECT_GT(Find("http GET ", firstOpen), firstOpen) << "the stream's own request follows";
  EXPECT_LT(Find("media ended"), Find(tickets[1])) << "the next song waits for the end";

  // The agents as the service sees them.
  for (const std::string& line : Logged("/ps1_")) {
    EXPECT_EQ(line.substr(line.rfind(' ') + 1), "Zolfa(PlaySong)") << line;
  }
  for (const std::string& line : Logged("/ps3_")) {
    EXPECT_EQ(line.substr(line.rfind(' ') + 1), "Zolfa(PlaySong_GetLyrics)") << line;
  }
  EXPECT_EQ(Logged("/ps2_").size(), 2u);
  EXPECT_TRUE(Lines({"msgbox"}).empty()) << Transcript();
}

TEST_F(PlayerE2ETest, RepeatPlaysTheOnlySongAgainAndWithoutItTheBarGoesIdle) {
  StartServer();
  ASSERT_EQ(Run({kTwoSongs[0]},
                "tap 160/1041\n"  // repeat on
                "tap 160/1061 row 0\n"
                "until \"media ended\" 20000\n"
                "until \"/ps1_\" 10000\n"
                "until \"media state 3 playing\" 20000\n"
                "tap 160/1041\n"  // repeat off: this is the last time
                "until \"media ended\" 20000\n"
                "wait 1500\n"),
            0)
      << Transcript();
  EXPECT_EQ(Lines({"http GET ", "/ps1_01000013_"}).size(), 2u) << Transcript();
  EXPECT_EQ(Lines({"media open http://"}).size(), 2u) << Transcript();
}

TEST_F(PlayerE2ETest, RefusedTicketsShowTheirMessages) {
  const struct {
    const char* code;
    const char* message;  // the box's text, empty for none
    bool logsOut;
  } cases[] = {
      {"1", "", false},
      {"2", "", false},
      {"-1", "", false},
      {"-3", "未知的錯誤", false},
      {"4", "這首歌是未授權歌曲:(GET_TICKET_AUTH_ERROR)\\n", false},
      {"3", "", true},  // once more after two seconds, then the ticket text and logout
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    StartServer({"--refuse", std::string("account:demo@zolfa.test=") + c.code});
    const std::string script = std::string("tap 160/1061 row 0\nuntil \"/ps1_\" 10000\n") +
                               (c.logsOut ? "until \"show 135\" 20000\n" : "wait 1500\n");
    ASSERT_EQ(Run(kTwoSongs, script), 0) << Transcript();
    const std::vector<std::string> boxes = Lines({"msgbox"});
    if (c.message[0] != 0) {
      ASSERT_FALSE(boxes.empty()) << Transcript();
      EXPECT_NE(boxes[0].find(std::string("text=\"") + c.message + "\""), std::string::npos)
          << boxes[0];
    } else if (!c.logsOut) {
      EXPECT_TRUE(boxes.empty()) << Transcript();
    }
    EXPECT_TRUE(Lines({"media open"}).empty()) << Transcript();
    if (c.logsOut) {
      EXPECT_EQ(Lines({"http GET ", "/ps1_"}).size(), 2u) << "one retry" << Transcript();
      ASSERT_EQ(boxes.size(), 1u) << Transcript();
    }
    server_.reset();
  }
}

TEST_F(PlayerE2ETest, ATransportFailureLogsOutWithItsMessage) {
  StartServer({"--fail-host", "cs.zolfa.test=500"});
  ASSERT_EQ(Run(kTwoSongs, "tap 160/1061 row 0\nuntil \"show 135\" 20000\n"), 0) << Transcript();
  const std::vector<std::string> boxes = Lines({"msgbox"});
  ASSERT_FALSE(boxes.empty()) << Transcript();
  EXPECT_NE(boxes[0].find("text=\"連線失敗, 請檢查您是否已經連上網路\""), std::string::npos)
      << boxes[0];
}

TEST_F(PlayerE2ETest, LogoutStopsPlayback) {
  StartServer();
  ASSERT_EQ(Run(kTwoSongs,
                "tap 160/1061 row 0\n"
                "until \"media state 3 playing\" 20000\n"
                "menu 32843\n"
                "until \"media state 1 stopped\"\n"
                "until \"show 135\"\n"
                "wait 1000\n"),
            0)
      << Transcript();
  EXPECT_EQ(Lines({"media ended"}).size(), 0u) << Transcript();
}

// A music folder of one's own, served by zolfa-server: the client cannot
// tell it from the sample service.
class MusicFolderE2ETest : public PlayerE2ETest {
 protected:
  void SetUp() override {
    ASSERT_EQ(folder_.Error(), "");
    ASSERT_NO_FATAL_FAILURE(StartServer({"--music", folder_.Root().string(), "--music-db",
                                         folder_.Database().string()}));
  }
  // To the browse tab's genres, then into the genre at row.
  static std::string ToGenre(int row) {
    return "tap 159/1027\nuntil \"show 162\"\ntap 162/1027\nuntil genre.php\n"
           "await 162/1057 row 2\ntap 162/1057 row " + std::to_string(row) + "\n"
           "await 162/1038 item 20\n";
  }
  // The genre rows as the browse screen lists them.
  int GenreRow(const std::string& name) {
    if (genres_.empty()) {
      EXPECT_EQ(Run({}, "tap 159/1027\nuntil \"show 162\"\ntap 162/1027\nuntil genre.php\n"
                        "await 162/1057 row 2\ndump\n"),
                0)
          << Transcript();
      genres_ = Rows("162/1057");
    }
    auto at = std::find(genres_.begin(), genres_.end(), name);
    return at == genres_.end() ? -1 : static_cast<int>(at - genres_.begin());
  }

  test_support::MusicFolderFixture folder_;
  std::vector<std::string> genres_;
};

TEST_F(MusicFolderE2ETest, ASongFoundByItsPhoneticIndexPlaysWithItsLyricsAndCover) {
  const int genre = GenreRow("華語流行");
  ASSERT_GE(genre, 0) << Transcript();
  // ㄨ (23) of the phonetic table holds 王菲; her album's second song has
  // an .lrc file beside it.
  ASSERT_EQ(Run({}, ToGenre(genre) +
                        "tap 162/1038 item 23\nuntil artist.php\n"
                        "await 162/1057 row 0\ndump\ntap 162/1057 row 0\nuntil album.php\n"
                        "await 162/1057 row 0\ntap 162/1057 row 0\nuntil song.php\n"
                        "await 162/1057 row 1\ndump\ntap 162/1057 row 1\nmenu 32793\n"
                        "until \"show 160\"\nuntil \"media state 3 playing\" 20000\n"
                        "menu 32918\nawait text \"重複的句子\" 10000\nshot music-lyrics.png\n"
                        "menu 32855\nwait 500\nshot music-cover.png\n"),
            0)
      << Transcript();
  EXPECT_EQ(Lines({"http GET ", "/ps1_01000013_"}).size(), 1u) << Transcript();
  EXPECT_EQ(Lines({"media open http://cs.zolfa.test:80/ps2_01000013_"}).size(), 1u);
  EXPECT_EQ(Lines({"web_info_photo.php"}).size(), 1u) << "the album's own picture";
  EXPECT_EQ(Lines({"media error"}).size(), 0u) << Transcript();
  EXPECT_EQ(Lines({"msgbox"}).size(), 0u) << Transcript();
}

TEST_F(MusicFolderE2ETest, ArtistsAreListedUnderTheirStrokeCountAndLetter) {
  const int chinese = GenreRow("華語流行");
  const int pop = GenreRow("Pop");
  ASSERT_GE(chinese, 0);
  ASSERT_GE(pop, 0);
  // 張 has 11 strokes; "Blue Band" is under B (2) of the letters.
  ASSERT_EQ(Run({}, ToGenre(chinese) + "tap 162/1036\ntap 162/1038 item 11\nuntil artist.php\n"
                        "await 162/1057 row 0\ndump\n"),
            0)
      << Transcript();
  EXPECT_EQ(Rows("162/1057"), std::vector<std::string>{"張學友"}) << Transcript();
  ASSERT_EQ(Run({}, ToGenre(pop) + "tap 162/1037\ntap 162/1038 item 2\nuntil artist.php\n"
                        "await 162/1057 row 0\ndump\ntap 162/1057 row 0\nuntil album.php\n"
                        "await 162/1057 row 0\ntap 162/1057 row 0\nuntil song.php\n"
                        "await 162/1057 row 0\ntap 162/1057 row 0\nmenu 32793\n"
                        "until \"show 160\"\nuntil \"media state 3 playing\" 20000\n"),
            0)
      << Transcript();
  EXPECT_EQ(Lines({"media error"}).size(), 0u) << Transcript();
}

TEST_F(MusicFolderE2ETest, TheFoldersPlaylistIsImportedIntoTheLibrary) {
  ASSERT_EQ(Run({}, "tap 159/1028\nuntil \"show 161\"\nmenu 32799\nuntil \"show 187\"\n"
                    "tap 187/1046\nuntil \"hide 187\"\nawait 161/1033 row 1\ndump\n"
                    "tap 161/1033 row 1\nawait 161/1034 row 2\ndump\n"),
            0)
      << Transcript();
  const std::vector<std::string> playlists = Rows("161/1033");
  EXPECT_NE(std::find(playlists.begin(), playlists.end(), "Favourites"), playlists.end())
      << Transcript();
}

}  // namespace
