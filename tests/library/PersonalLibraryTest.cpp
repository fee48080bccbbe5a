#include <gtest/gtest.h>

#include "platform/base/DeviceFile.h"
#include "platform/base/Handles.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/RecordingOwner.h"
#include "zolfa/library/AtomicFile.h"
#include "zolfa/library/CPersonalLibrary.h"

namespace zolfa {
namespace {

using namespace std::string_literals;

using test_support::CallLog;
using test_support::RecordingLibraryOwner;
using test_support::Song;
using Direction = CPersonalLibrary::Direction;

std::string FileBytes() {
  std::string bytes;
  ReadDeviceFile(CPersonalLibrary::FilePath(), ce::OPEN_EXISTING, bytes);
  return bytes;
}

void WriteFile(std::string_view bytes) {
  ASSERT_TRUE(ReplaceFileAtomically(CPersonalLibrary::FilePath(), bytes));
}

// "<playlist>" text of one playlist as the file holds it.
std::string PlaylistText(const std::string& id, const std::string& name,
                         const std::vector<std::string>& songLines) {
  std::string text = "<playlist>\n<playlist_id>" + id + "</playlist_id><playlist_name>" + name +
                     "</playlist_name>\n<playlist_data>\n";
  for (const std::string& line : songLines) text += line;
  return text + "</playlist_data>\n</playlist>\n\n";
}

std::string SongLine(const std::string& id, const std::string& name, const std::string& url) {
  return "<song_data><song_id>" + id + "</song_id><song_name>" + name + "</song_name><play_url>" +
         url + "</play_url></song_data>\n";
}

std::vector<int32_t> SongIds(const LibraryPlaylist& playlist) {
  std::vector<int32_t> ids;
  for (const LibrarySong& song : playlist.songs) ids.push_back(song.songId);
  return ids;
}

std::vector<int32_t> PlaylistIds(const CPersonalLibrary& library) {
  std::vector<int32_t> ids;
  for (const auto& playlist : library.Playlists()) ids.push_back(playlist->id);
  return ids;
}

class PersonalLibraryTest : public ::testing::Test {
 protected:
  ce::testing::TempDeviceRoot root;
  RecordingLibraryOwner owner;
};

TEST_F(PersonalLibraryTest, OnePlaylistLibraryIsWrittenByteForByte) {
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  EXPECT_EQ(CPersonalLibrary::FilePath(), u"\\Program Files\\Zolfa\\personal.db");
  EXPECT_EQ(FileBytes(), "");  // created empty
  ASSERT_EQ(PlaylistIds(library), (std::vector<int32_t>{kAllSongsId}));
  EXPECT_EQ(library.Playlist(0).name, u"全部歌曲");

  library.AddPlaylist(u"A", {Song(u"歌", u"5")});
  EXPECT_EQ(owner.log, (CallLog{"RebuildPlaylistList"}));
  std::string song = SongLine("5", "\xBA\x71", "zolfa://play_song_5");
  EXPECT_EQ(FileBytes(), "<musiclibrary>\n" +
                             PlaylistText("-99", "\xA5\xFE\xB3\xA1\xBA\x71\xA6\xB1", {song}) +
                             PlaylistText("1001", "A", {song}) + "</musiclibrary>");
  EXPECT_FALSE(library.Modified());  // written with the change
}

TEST_F(PersonalLibraryTest, ReadsBackWhatItWrote) {
  {
    CPersonalLibrary library(owner);
    library.LoadLibrary();
    library.AddPlaylist(u"月亮", {Song(u"a", u"7"), FeedItem{u"b", u"http://m/b.wma", u"song"}});
    library.AddPlaylist(u"", {});
  }
  CPersonalLibrary again(owner);
  again.LoadLibrary();
  ASSERT_EQ(PlaylistIds(again), (std::vector<int32_t>{-99, 1001, 1002}));
  EXPECT_EQ(again.Playlist(1).name, u"月亮");
  EXPECT_EQ(again.Playlist(1).songs, (std::vector<LibrarySong>{{7, u"a", u"zolfa://play_song_7"},
                                                               {0, u"b", u"http://m/b.wma"}}));
  EXPECT_EQ(again.Playlist(0).songs, again.Playlist(1).songs);
  EXPECT_EQ(again.Playlist(2).name, u"");
  EXPECT_FALSE(again.Modified());
}

TEST_F(PersonalLibraryTest, ReadingKeepsWhatTagsGiveAndCutsAtTheirEnds) {
  WriteFile(
      "junk<musiclibrary>"
      "<playlist><playlist_id> 12x</playlist_id><playlist_name>a</playlist_name>b</playlist_name>"
      "<song_data><song_id>-3</song_id></song_data>"
      "<song_data><song_name>n</song_name><play_url>u</play_url></song_data></playlist>"
      "<playlist><playlist_name>only name</playlist_name></playlist>"
      "</musiclibrary>\0<playlist>hidden</playlist>"s);
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  // No -99 list: one is made at position 0 with every song.
  ASSERT_EQ(PlaylistIds(library), (std::vector<int32_t>{-99, 12, 0}));
  EXPECT_EQ(library.Playlist(1).name, u"a");
  EXPECT_EQ(library.Playlist(1).songs, (std::vector<LibrarySong>{{-3, u"", u""}, {0, u"n", u"u"}}));
  EXPECT_EQ(library.Playlist(2).name, u"only name");
  EXPECT_EQ(library.Playlist(0).songs, library.Playlist(1).songs);
}

TEST_F(PersonalLibraryTest, OldFileGainsTheAllSongsListWithDuplicates) {
  WriteFile("<musiclibrary>\n" +
            PlaylistText("1003", "x", {SongLine("1", "a", "zolfa://play_song_1")}) +
            PlaylistText("1001", "y",
                         {SongLine("1", "a", "zolfa://play_song_1"),
                          SongLine("2", "b", "zolfa://play_song_2")}) +
            "</musiclibrary>");
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  ASSERT_EQ(PlaylistIds(library), (std::vector<int32_t>{-99, 1003, 1001}));
  EXPECT_EQ(SongIds(library.Playlist(0)), (std::vector<int32_t>{1, 1, 2}));
  EXPECT_FALSE(library.Modified());
  EXPECT_EQ(library.NextPlaylistId(), 1004);
}

TEST_F(PersonalLibraryTest, AFileWithoutLibraryMarkersIsKeptAsideBeforeItIsReplaced) {
  // A library cut short: its playlists are not read, but they are not lost.
  const std::string cut = "<musiclibrary>" + PlaylistText("5", "old", {SongLine("7", "s", "u")});
  WriteFile(cut);
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  EXPECT_EQ(PlaylistIds(library), (std::vector<int32_t>{-99}));
  library.AddPlaylist(u"new", {});
  EXPECT_NE(FileBytes().find("<playlist_name>new</playlist_name>"), std::string::npos);
  std::string aside;
  ASSERT_TRUE(ReadDeviceFile(CPersonalLibrary::FilePath() + u".bad", ce::OPEN_EXISTING, aside));
  EXPECT_EQ(aside, cut);
  // Later saves leave the copy alone; a sound file is never copied aside.
  WriteFile("<musiclibrary></musiclibrary>");
  CPersonalLibrary sound(owner);
  sound.LoadLibrary();
  sound.AddPlaylist(u"more", {});
  ReadDeviceFile(CPersonalLibrary::FilePath() + u".bad", ce::OPEN_EXISTING, aside);
  EXPECT_EQ(aside, cut);
}

TEST_F(PersonalLibraryTest, AFileAnotherHandleWritesIsStillRead) {
  WriteFile("<musiclibrary>" + PlaylistText("1001", "kept", {}) + "</musiclibrary>");
  // A writer that lets others read only.
  ce::HANDLE writer = ce::CreateFile(CPersonalLibrary::FilePath().c_str(),
                                     ce::GENERIC_READ | ce::GENERIC_WRITE, ce::FILE_SHARE_READ,
                                     nullptr, ce::OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, ce::INVALID_HANDLE_VALUE);
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  ce::CloseHandle(writer);
  ASSERT_EQ(PlaylistIds(library), (std::vector<int32_t>{-99, 1001}));
  EXPECT_EQ(library.Playlist(1).name, u"kept");
}

TEST_F(PersonalLibraryTest, NewIdsFollowTheLargest) {
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  EXPECT_EQ(library.NextPlaylistId(), 1001);
  WriteFile("<musiclibrary>" + PlaylistText("1005", "a", {}) + PlaylistText("-99", "all", {}) +
            PlaylistText("1001", "b", {}) + "</musiclibrary>");
  library.LoadLibrary();
  EXPECT_EQ(PlaylistIds(library), (std::vector<int32_t>{1005, -99, 1001}));
  EXPECT_EQ(library.NextPlaylistId(), 1006);
  library.AddPlaylist(u"c", {});
  EXPECT_EQ(library.Playlist(3).id, 1006);

  WriteFile("<musiclibrary>" + PlaylistText("2147483647", "max", {}) + "</musiclibrary>");
  library.LoadLibrary();
  EXPECT_EQ(library.NextPlaylistId(), -2147483647 - 1);  // wraps like the device's arithmetic
}

TEST_F(PersonalLibraryTest, NameWithTheClosingTagIsCutWhenReadBack) {
  {
    CPersonalLibrary library(owner);
    library.LoadLibrary();
    library.AddPlaylist(u"ab</playlist_name>cd", {});
    library.RenamePlaylist(0, u"renamed");  // the all-songs list keeps its name
  }
  CPersonalLibrary again(owner);
  again.LoadLibrary();
  EXPECT_EQ(again.Playlist(0).name, u"全部歌曲");
  EXPECT_EQ(again.Playlist(1).name, u"ab");
}

TEST_F(PersonalLibraryTest, NamesOutsideTheCodePageBecomeQuestionMarks) {
  {
    CPersonalLibrary library(owner);
    library.LoadLibrary();
    library.AddPlaylist(u"äa", {});
  }
  CPersonalLibrary again(owner);
  again.LoadLibrary();
  EXPECT_EQ(again.Playlist(1).name, u"?a");
}

// A library with all-songs, playlist 1001 holding songs 1, 2, 3 and playlist
// 1002 holding songs 2 and 4.
class DeleteRulesTest : public PersonalLibraryTest {
 protected:
  void SetUp() override {
    library.LoadLibrary();
    library.AddPlaylist(u"one", {Song(u"a", u"1"), Song(u"b", u"2"), Song(u"c", u"3")});
    library.AddPlaylist(u"two", {Song(u"b", u"2"), Song(u"d", u"4")});
  }
  CPersonalLibrary library{owner};
};

// The all-songs list keeps one entry per song of the other playlists: a
// deleted playlist takes one entry per song with it, and song 2, which
// playlist 1001 still holds, keeps its entry.
TEST_F(DeleteRulesTest, DeletingAPlaylistRemovesOneAllSongsEntryPerSong) {
  library.DeletePlaylist(2);
  EXPECT_EQ(PlaylistIds(library), (std::vector<int32_t>{-99, 1001}));
  EXPECT_EQ(SongIds(library.Playlist(0)), (std::vector<int32_t>{1, 3, 2}));
  EXPECT_EQ(SongIds(library.Playlist(1)), (std::vector<int32_t>{1, 2, 3}));
  CPersonalLibrary saved(owner);
  saved.LoadLibrary();
  EXPECT_EQ(SongIds(saved.Playlist(0)), (std::vector<int32_t>{1, 3, 2}));
  EXPECT_EQ(FileBytes(), "<musiclibrary>\n" +
                             PlaylistText("-99", "\xA5\xFE\xB3\xA1\xBAq\xA6\xB1",
                                          {SongLine("1", "a", "zolfa://play_song_1"),
                                           SongLine("3", "c", "zolfa://play_song_3"),
                                           SongLine("2", "b", "zolfa://play_song_2")}) +
                             PlaylistText("1001", "one",
                                          {SongLine("1", "a", "zolfa://play_song_1"),
                                           SongLine("2", "b", "zolfa://play_song_2"),
                                           SongLine("3", "c", "zolfa://play_song_3")}) +
                             "</musiclibrary>");
}

TEST_F(DeleteRulesTest, TheAllSongsListCannotBeDeletedRenamedOrMoved) {
  library.DeletePlaylist(0);
  library.RenamePlaylist(0, u"x");
  library.MovePlaylist(0, Direction::kDown);
  library.MovePlaylist(1, Direction::kUp);
  library.MovePlaylist(2, Direction::kDown);
  library.DeletePlaylist(3);
  EXPECT_EQ(PlaylistIds(library), (std::vector<int32_t>{-99, 1001, 1002}));
  EXPECT_EQ(library.Playlist(0).name, u"全部歌曲");
  library.MovePlaylist(2, Direction::kUp);
  EXPECT_EQ(PlaylistIds(library), (std::vector<int32_t>{-99, 1002, 1001}));
}

TEST_F(DeleteRulesTest, DeletingFromAllSongsRemovesTheSongEverywhereElse) {
  // All songs: 1, 2, 3, 2, 4. Deleting its second entry (song 2) removes song
  // 2 from both playlists, but the other all-songs entry of song 2 stays.
  library.DeleteSong(0, 1);
  EXPECT_EQ(SongIds(library.Playlist(0)), (std::vector<int32_t>{1, 3, 2, 4}));
  EXPECT_EQ(SongIds(library.Playlist(1)), (std::vector<int32_t>{1, 3}));
  EXPECT_EQ(SongIds(library.Playlist(2)), (std::vector<int32_t>{4}));
}

TEST_F(DeleteRulesTest, DeletingFromAPlaylistRemovesTheFirstAllSongsEntry) {
  library.DeleteSong(2, 0);
  EXPECT_EQ(SongIds(library.Playlist(0)), (std::vector<int32_t>{1, 3, 2, 4}));
  EXPECT_EQ(SongIds(library.Playlist(1)), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(SongIds(library.Playlist(2)), (std::vector<int32_t>{4}));
  library.DeleteSong(2, 5);
  library.DeleteSong(7, 0);
  EXPECT_EQ(SongIds(library.Playlist(2)), (std::vector<int32_t>{4}));
}

// Songs without a service number (plain media addresses) are told apart by
// their play address.
TEST_F(PersonalLibraryTest, SongsWithoutIdAreMatchedByTheirAddress) {
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  library.AddPlaylist(u"m", {FeedItem{u"x", u"http://m/x.mp3", u""}, Song(u"y", u"8")});
  library.AddPlaylist(u"n", {FeedItem{u"z", u"http://m/z.wma", u""}});
  library.AddPlaylist(u"o", {FeedItem{u"z", u"http://m/z.wma", u""},
                             FeedItem{u"x", u"http://m/x.mp3", u""}});
  // All songs: x, 8, z, z, x. Deleting x there takes it from m and o only.
  library.DeleteSong(0, 0);
  EXPECT_EQ(SongIds(library.Playlist(1)), (std::vector<int32_t>{8}));
  ASSERT_EQ(library.Playlist(2).songs.size(), 1u);
  EXPECT_EQ(library.Playlist(2).songs[0].playUrl, u"http://m/z.wma");
  ASSERT_EQ(library.Playlist(3).songs.size(), 1u);
  EXPECT_EQ(library.Playlist(3).songs[0].playUrl, u"http://m/z.wma");
  // Deleting playlist n takes one z from all songs, not the x or the 8.
  library.DeletePlaylist(2);
  std::vector<std::u16string> urls;
  for (const LibrarySong& song : library.Playlist(0).songs) urls.push_back(song.playUrl);
  EXPECT_EQ(urls, (std::vector<std::u16string>{u"zolfa://play_song_8", u"http://m/z.wma",
                                               u"http://m/x.mp3"}));
  // Deleting z from playlist o takes the all-songs z, not the x before it.
  library.DeleteSong(2, 0);
  urls.clear();
  for (const LibrarySong& song : library.Playlist(0).songs) urls.push_back(song.playUrl);
  EXPECT_EQ(urls, (std::vector<std::u16string>{u"zolfa://play_song_8", u"http://m/x.mp3"}));
}

TEST_F(PersonalLibraryTest, SongsMoveInsideTheirPlaylist) {
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  library.AddPlaylist(u"m", {Song(u"a", u"1"), Song(u"b", u"2"), Song(u"c", u"3")});
  library.MoveSong(1, 0, Direction::kUp);
  library.MoveSong(1, 2, Direction::kDown);
  library.MoveSong(1, 3, Direction::kUp);
  library.MoveSong(9, 0, Direction::kDown);
  EXPECT_EQ(SongIds(library.Playlist(1)), (std::vector<int32_t>{1, 2, 3}));
  library.MoveSong(1, 2, Direction::kUp);
  library.MoveSong(1, 0, Direction::kDown);
  EXPECT_EQ(SongIds(library.Playlist(1)), (std::vector<int32_t>{3, 1, 2}));
  CPersonalLibrary saved(owner);
  saved.LoadLibrary();
  EXPECT_EQ(SongIds(saved.Playlist(1)), (std::vector<int32_t>{3, 1, 2}));
}

TEST_F(PersonalLibraryTest, PlaylistItemsAreCurrentPlaylistItems) {
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  library.AddPlaylist(u"m", {Song(u"a", u"1"), FeedItem{u"b</title>x", u"http://m/b.wma", u""}});
  std::vector<FeedItem> items = library.PlaylistItems(1);
  EXPECT_EQ(items, (std::vector<FeedItem>{{u"a", u"zolfa://play_song_1", u""},
                                          {u"b", u"http://m/b.wma", u""}}));
  EXPECT_TRUE(library.PlaylistItems(5).empty());
  EXPECT_EQ(library.FindPlaylist(1001), 1);
  EXPECT_EQ(library.FindPlaylist(4), -1);
}

TEST_F(PersonalLibraryTest, ImportAddsPlaylistsAfterTheLargestId) {
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  library.AddPlaylist(u"old", {Song(u"a", u"1")});
  owner.log.clear();
  library.ImportPlaylists(
      u"<playlist><playlist_id>77</playlist_id><playlist_name>first</playlist_name>"
      u"<playlist_data><song_data><song_id>5</song_id><song_name>five</song_name>"
      u"<album_id></album_id><album_name>al</album_name>"
      u"<play_url>zolfa://play_song_5</play_url></song_data>"
      u"<song_data><song_id>7</song_id><song_name>seven</song_name></song_data></playlist>"
      u"<playlist><playlist_id>78</playlist_id><playlist_name>second</playlist_name>"
      u"<playlist_data></playlist>");
  EXPECT_EQ(owner.log, (CallLog{"RebuildPlaylistList", "SelectPlaylistRow(0)", "Repaint"}));
  ASSERT_EQ(PlaylistIds(library), (std::vector<int32_t>{-99, 1001, 1002, 1003}));
  EXPECT_EQ(library.Playlist(2).name, u"first");
  EXPECT_EQ(library.Playlist(2).songs,
            (std::vector<LibrarySong>{{5, u"five", u"zolfa://play_song_5"}, {7, u"seven", u""}}));
  EXPECT_TRUE(library.Playlist(3).songs.empty());
  EXPECT_EQ(SongIds(library.Playlist(0)), (std::vector<int32_t>{1, 5, 7}));
  CPersonalLibrary saved(owner);
  saved.LoadLibrary();
  EXPECT_EQ(PlaylistIds(saved), (std::vector<int32_t>{-99, 1001, 1002, 1003}));
}

TEST_F(PersonalLibraryTest, EmptyImportOnlyShowsRowZero) {
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  library.ImportPlaylists(u"");
  EXPECT_EQ(PlaylistIds(library), (std::vector<int32_t>{-99}));
  EXPECT_EQ(owner.log, (CallLog{"RebuildPlaylistList", "SelectPlaylistRow(0)", "Repaint"}));
}

TEST_F(PersonalLibraryTest, FailedOpenLeavesNoPlaylistAndEveryOperationIsSafe) {
  // A folder where the file belongs: it can neither be opened nor created.
  ASSERT_TRUE(ce::CreateDirectory(u"\\Program Files\\Zolfa", nullptr));
  ASSERT_TRUE(ce::CreateDirectory(u"\\Program Files\\Zolfa\\personal.db", nullptr));
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  EXPECT_EQ(library.Count(), 0);
  EXPECT_EQ(library.NextPlaylistId(), 1001);
  library.DeletePlaylist(0);
  library.DeleteSong(0, 0);
  library.MovePlaylist(1, Direction::kUp);
  library.MoveSong(0, 0, Direction::kDown);
  library.RenamePlaylist(0, u"x");
  EXPECT_TRUE(library.PlaylistItems(0).empty());
  library.AddPlaylist(u"a", {Song(u"s", u"3")});
  library.ImportPlaylists(
      u"<playlist><playlist_name>b</playlist_name><song_data><song_id>4"
      u"</song_id></song_data></playlist>");
  EXPECT_EQ(PlaylistIds(library), (std::vector<int32_t>{1001, 1002}));
  library.DeleteSong(1, 0);
  library.DeletePlaylist(0);
  EXPECT_EQ(PlaylistIds(library), (std::vector<int32_t>{1002}));
  EXPECT_FALSE(library.SaveLibrary());
}

TEST_F(PersonalLibraryTest, AFileThatCouldNotBeReadIsNeverReplaced) {
  WriteFile("<musiclibrary>" + PlaylistText("1001", "keep", {}) + "</musiclibrary>");
  // Another handle that shares nothing makes the open fail.
  ce::HANDLE holder = ce::CreateFile(CPersonalLibrary::FilePath().c_str(), ce::GENERIC_READ, 0,
                                     nullptr, ce::OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, ce::INVALID_HANDLE_VALUE);
  {
    CPersonalLibrary library(owner);
    library.LoadLibrary();
    EXPECT_EQ(library.Count(), 0);
    library.AddPlaylist(u"new", {});
    EXPECT_FALSE(library.SaveLibrary());
  }
  ce::CloseHandle(holder);
  CPersonalLibrary again(owner);
  again.LoadLibrary();
  ASSERT_EQ(PlaylistIds(again), (std::vector<int32_t>{-99, 1001}));
  EXPECT_EQ(again.Playlist(1).name, u"keep");
}

TEST_F(PersonalLibraryTest, UnsavedChangesAreWrittenWhenTheModelGoesAway) {
  {
    CPersonalLibrary library(owner);
    library.LoadLibrary();
    // The write of the change fails while a reader shares nothing...
    ce::HANDLE holder = ce::CreateFile(CPersonalLibrary::FilePath().c_str(), ce::GENERIC_READ, 0,
                                       nullptr, ce::OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, ce::INVALID_HANDLE_VALUE);
    library.AddPlaylist(u"late", {});
    ce::CloseHandle(holder);
    EXPECT_TRUE(library.Modified());
  }
  // ... and succeeds when the screen goes away.
  CPersonalLibrary again(owner);
  again.LoadLibrary();
  EXPECT_EQ(PlaylistIds(again), (std::vector<int32_t>{-99, 1001}));
}

}  // namespace
}  // namespace zolfa
