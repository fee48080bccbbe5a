// The readers behind a music folder: index positions from the Unihan data,
// ".lrc" lyrics, ".m3u" playlists, and the scan state across rescans.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "server/IndexTables.h"
#include "server/LrcLyrics.h"
#include "server/MusicLibrary.h"
#include "server/NameIndex.h"
#include "server/PlaylistText.h"
#include "tests/support/MusicFolderFixture.h"

namespace zolfa_server_test {

using test_support::MusicFolderFixture;
namespace {

using zolfa_server::LrcLyrics;
using zolfa_server::MusicLibrary;
using zolfa_server::NameIndex;

TEST(NameIndexTest, PinyinGivesTheZhuyinInitialInTableOrder) {
  const struct {
    const char* pinyin;
    int position;
  } kCases[] = {{"bā", 1},  {"zhāng", 15}, {"chén", 16}, {"shī", 17}, {"rén", 18},  {"sūn", 21},
                {"yī", 22}, {"yáng", 22},  {"wáng", 23}, {"yǔ", 24},  {"yuè", 24},  {"yǒng", 24},
                {"ā", 25},  {"ō", 26},     {"é", 27},    {"ê̄", 28},   {"ài", 29},   {"ēi", 30},
                {"ào", 31}, {"ōu", 32},    {"ān", 33},   {"ēn", 34},  {"áng", 35},  {"ēng", 36},
                {"èr", 37}, {"lǜ", 8},     {"", 0}};
  for (const auto& c : kCases) EXPECT_EQ(NameIndex::PhoneticOfPinyin(c.pinyin), c.position) << c.pinyin;
}

TEST(NameIndexTest, NamesArePlacedFromTheUnihanData) {
  NameIndex names;
  ASSERT_EQ(names.Load(), "");
  EXPECT_GT(names.ReadingCount(), 40000u);
  const struct {
    const char* name;
    int phonetic, strokes, letter;
  } kCases[] = {
      {"王菲", 23, 4, 23},  {"張學友", 15, 11, 26}, {"林憶蓮", 8, 8, 12}, {"二手樂團", 37, 2, 5},
      {"安琪", 33, 6, 1},   {"歐陽", 32, 15, 15},   {"于樂", 24, 3, 25},
      {"Blue Band", 0, 0, 2}, {"5 Seconds", 0, 0, 32}, {"  'Quoted'", 0, 0, 17},
      {"Ａ字頭", 0, 0, 1},   {"ㄅ", 1, 0, 0},        {"ㄧ", 22, 0, 0},     {"!!!", 0, 0, 0},
      {"", 0, 0, 0},        {"\xA4\xA4", 0, 0, 0},  {"龘", 5, 40, 4},
  };
  for (const auto& c : kCases) {
    NameIndex::Positions p = names.Of(c.name);
    EXPECT_EQ(p.phonetic, c.phonetic) << c.name;
    EXPECT_EQ(p.strokes, c.strokes) << c.name;
    EXPECT_EQ(p.letter, c.letter) << c.name;
  }
}

TEST(NameIndexTest, MissingDataIsAnError) {
  NameIndex names;
  std::filesystem::path nowhere = std::filesystem::temp_directory_path() / "no-unihan-here-at-all";
  EXPECT_NE(names.Load(nowhere), "");
}

TEST(LrcLyricsTest, TimedFormFollowsTheFileTimes) {
  const struct {
    const char* lrc;
    int duration;
    const char* timed;
  } kCases[] = {
      // Several times a line, a pause, sorting, the title before the first line.
      {"[ti:歌]\n[00:01.50]一\n[00:02.00][00:03.20]二\n[00:02.90]\n", 5,
       "[00:00-00:01]<type=1>歌\n[00:01-00:02]<type=1>一\n[00:02-00:02]<type=1>二\n"
       "[00:03-00:05]<type=1>二\n"},
      // A late first line counts down; an offset moves every line sooner.
      {"[offset:+1000]\n[00:08]late\n[01:02.345]x\r\n", 70,
       "[00:07-01:01]<type=1><sec_st>late\n[01:01-01:10]<type=1>x\n"},
      // Tags in the text cannot reach the handset as tags; bad times are no lines.
      {"[00:00]<type=5></lyrics>\n[xx:yy]no\n[00:61]no\n[00:01", 2,
       "[00:00-00:02]<type=1>＜type=5＞＜/lyrics＞\n"},
      // Beyond "mm:ss" the time stays at its largest.
      {"[120:00]long\n", 1, "[99:59-99:59]<type=1><sec_st>long\n"},
      {"no times at all\n", 3, ""},
      {"", 3, ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(LrcLyrics::Read(c.lrc).Timed(c.duration), c.timed) << c.lrc;
  }
}

TEST(LrcLyricsTest, Big5FilesAreRead) {
  // "中文" in code page 950.
  EXPECT_EQ(LrcLyrics::Read("[00:00]\xA4\xA4\xA4\xE5\n").Timed(1), "[00:00-00:01]<type=1>中文\n");
}

TEST(PlaylistTextTest, EntriesAsWritten) {
  const struct {
    const char* text;
    std::vector<std::string> entries;
  } kCases[] = {
      {"\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:3,a\r\na b.mp3\r\n\r\n  c.ogg  \n", {"a b.mp3", "c.ogg"}},
      {"dir\\sub\\x.flac\n/abs/y.mp3", {"dir/sub/x.flac", "/abs/y.mp3"}},
      {"file:///music/a%20b%26c.mp3\nfile://host/z.mp3\nfile://nohost\n", {"/music/a b&c.mp3", "/z.mp3"}},
      {"old.mp3\rmac.mp3\r", {"old.mp3", "mac.mp3"}},
      {"#only comments\n", {}},
  };
  for (const auto& c : kCases) EXPECT_EQ(zolfa_server::ReadPlaylistText(c.text), c.entries) << c.text;
}

// The scan state: what a rescan reads again, and which ids stay.
TEST(MusicLibraryTest, RescanReadsOnlyWhatChangedAndKeepsIds) {
  MusicFolderFixture folder;
  ASSERT_EQ(folder.Error(), "");
  std::vector<std::string> log;
  auto logger = [&log](const std::string& line) { log.push_back(line); };
  std::map<std::string, int64_t> firstIds;
  int64_t kissAlbum = 0;
  {
    MusicLibrary library(logger);
    ASSERT_EQ(library.Open(folder.Database(), folder.Root()), "");
    EXPECT_EQ(library.LastScan().added, 8u);  // the broken file is kept as unreadable
    EXPECT_EQ(library.LastScan().skipped, 1u);
    EXPECT_EQ(library.Tracks().size(), 7u);
    for (const auto& track : library.Tracks()) firstIds[track.path] = track.id;
    for (const auto& track : library.Tracks()) {
      if (track.path == MusicFolderFixture::kKiss) kissAlbum = track.albumId;
    }
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("broken.mp3"), std::string::npos) << log[0];
  }
  {
    MusicLibrary library(logger);
    ASSERT_EQ(library.Open(folder.Database(), folder.Root()), "");
    EXPECT_EQ(library.LastScan().unchanged, 8u);
    EXPECT_EQ(library.LastScan().added + library.LastScan().changed + library.LastScan().removed, 0u);
    EXPECT_EQ(log.size(), 1u);  // an unreadable file that did not change is not read again
  }
  // Retag one file, remove one, add one.
  ASSERT_EQ(MusicFolderFixture::Tag(folder.Root() / MusicFolderFixture::kKiss,
                                    {{"GENRE", "華語流行"}, {"ARTIST", "張學友"}, {"ALBUM", "吻別"},
                                     {"TITLE", "吻別 (新版)"}}),
            "");
  std::filesystem::remove(folder.Root() / MusicFolderFixture::kLove);
  ASSERT_EQ(MusicFolderFixture::Encode(folder.Root() / "張學友/吻別/new.wav", 1), "");
  MusicLibrary library(logger);
  ASSERT_EQ(library.Open(folder.Database(), folder.Root()), "");
  EXPECT_EQ(library.LastScan().changed, 1u);
  EXPECT_EQ(library.LastScan().removed, 1u);
  EXPECT_EQ(library.LastScan().added, 1u);
  std::set<int64_t> oldIds;
  for (const auto& [path, id] : firstIds) oldIds.insert(id);
  for (const auto& track : library.Tracks()) {
    if (track.path == "張學友/吻別/new.wav") {
      EXPECT_EQ(oldIds.count(track.id), 0u) << "a removed song's id is never given again";
    } else {
      EXPECT_EQ(track.id, firstIds.at(track.path)) << track.path;
    }
    if (track.path == MusicFolderFixture::kKiss) {
      EXPECT_EQ(track.tags.title, "吻別 (新版)");
      EXPECT_EQ(track.albumId, kissAlbum);
    }
  }
}

TEST(MusicLibraryTest, UnreadableFolderOrDatabaseIsAnError) {
  MusicFolderFixture folder;
  ASSERT_EQ(folder.Error(), "");
  MusicLibrary missing([](const std::string&) {});
  EXPECT_NE(missing.Open(folder.Database(), folder.Base() / "no such folder"), "");
  MusicFolderFixture::WriteFile(folder.Base() / "not-a-db", std::string(4096, 'x'));
  MusicLibrary damaged([](const std::string&) {});
  EXPECT_NE(damaged.Open(folder.Base() / "not-a-db", folder.Root()), "");
}

}  // namespace
}  // namespace zolfa_server_test
