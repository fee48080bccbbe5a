#include <gtest/gtest.h>

#include <functional>

#include "platform/base/DeviceFile.h"
#include "platform/base/Handles.h"
#include "platform/base/Registry.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/RecordingOwner.h"
#include "zolfa/library/AtomicFile.h"
#include "zolfa/library/CCoreCurPlaylist.h"
#include "zolfa/library/CurPlaylistFile.h"

namespace zolfa {
namespace {

using test_support::CallLog;
using test_support::RecordingCore;
using test_support::RecordingOwner;
using test_support::Song;

std::vector<FeedItem> Songs(int count, int firstId = 1) {
  std::vector<FeedItem> songs;
  for (int i = 0; i < count; ++i) {
    std::u16string id = ce::FromUtf8(std::to_string(firstId + i));
    songs.push_back(Song(u"s" + id, id));
  }
  return songs;
}

std::string FileBytes() {
  std::string bytes;
  ReadDeviceFile(CCoreCurPlaylist::FilePath(), ce::OPEN_EXISTING, bytes);
  return bytes;
}

class CCoreCurPlaylistTest : public ::testing::Test {
 protected:
  CCoreCurPlaylistTest() : core(owner.log) {}

  // A playlist holding the given entries, saved, with the call log cleared.
  std::unique_ptr<CCoreCurPlaylist> Make(int count) {
    auto playlist = std::make_unique<CCoreCurPlaylist>(owner, core);
    if (count > 0) playlist->AddItems(Songs(count), false, false);
    owner.log.clear();
    return playlist;
  }

  std::vector<std::u16string> Titles(const CCoreCurPlaylist& playlist) {
    std::vector<std::u16string> titles;
    for (const FeedItem& item : playlist.Items()) titles.push_back(item.title);
    return titles;
  }

  ce::testing::TempDeviceRoot root;
  RecordingOwner owner;
  RecordingCore core;
};

TEST_F(CCoreCurPlaylistTest, StartsWithTheInitialValues) {
  CCoreCurPlaylist playlist(owner, core);
  EXPECT_EQ(playlist.SelectedIndex(), -1);
  EXPECT_EQ(playlist.CurrentIndex(), -1);
  EXPECT_EQ(playlist.RepeatMode(), kRepeatOff);
  EXPECT_EQ(playlist.ShuffleMode(), kShuffleOff);
  EXPECT_EQ(playlist.ShufflePosition(), -1);
  EXPECT_EQ(playlist.DisplayMode(), 0);
  EXPECT_FALSE(playlist.Modified());
  EXPECT_FALSE(playlist.SongStarted());
  EXPECT_EQ(CCoreCurPlaylist::FilePath(), u"\\Program Files\\Zolfa\\CurPlayList.xml");
}

TEST_F(CCoreCurPlaylistTest, SaveWritesOnlyWhenModified) {
  auto playlist = Make(2);
  std::string saved = FileBytes();
  EXPECT_EQ(saved, FormatCurPlaylistFile(playlist->Items()));

  // The file now differs from the list; an unmodified list leaves it alone.
  ASSERT_TRUE(ReplaceFileAtomically(CCoreCurPlaylist::FilePath(), "other"));
  EXPECT_FALSE(playlist->Save());
  EXPECT_EQ(FileBytes(), "other");
}

TEST_F(CCoreCurPlaylistTest, FailedSaveKeepsTheListModifiedAndRetries) {
  // A plain file where the program folder belongs makes every write fail.
  ce::HANDLE blocker = ce::CreateFile(u"\\Program Files\\Zolfa", ce::GENERIC_WRITE, 0, nullptr,
                                      ce::CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(blocker, ce::INVALID_HANDLE_VALUE);
  ce::CloseHandle(blocker);
  auto playlist = Make(0);
  playlist->AddItem(Song(u"a", u"1"), false);
  EXPECT_TRUE(playlist->Modified());

  ASSERT_TRUE(ce::DeleteFile(u"\\Program Files\\Zolfa"));
  EXPECT_TRUE(playlist->Save());
  EXPECT_FALSE(playlist->Modified());
  EXPECT_EQ(FileBytes(), FormatCurPlaylistFile(playlist->Items()));
}

TEST_F(CCoreCurPlaylistTest, LoadKeepsEveryEntryOfTheFileAndFillsTheList) {
  std::vector<FeedItem> stored = {Song(u"a", u"1"), FeedItem{u"feed", u"http://f/x.xml", u""}};
  ASSERT_TRUE(ReplaceFileAtomically(CCoreCurPlaylist::FilePath(), FormatCurPlaylistFile(stored)));
  CCoreCurPlaylist playlist(owner, core);
  EXPECT_TRUE(playlist.Load());
  EXPECT_EQ(playlist.Items(), stored);
  EXPECT_EQ(owner.log, (CallLog{"FillRows(2)"}));
  EXPECT_FALSE(playlist.Modified());
}

TEST_F(CCoreCurPlaylistTest, MissingFileLoadsAsEmptyList) {
  CCoreCurPlaylist playlist(owner, core);
  playlist.SetSelected(3);
  EXPECT_TRUE(playlist.Load());
  EXPECT_TRUE(playlist.Items().empty());
  EXPECT_EQ(playlist.SelectedIndex(), -1);
}

struct AddItemsCase {
  const char* name;
  int before;          // songs already in the list
  int selectedBefore;  // -1 none
  int added;           // playable songs in the added list (one feed entry is mixed in)
  bool playFirst;
  bool replace;
  int count;
  int selected;
  const char* played;  // title the player was asked to play, "" for none
};

void PrintTo(const AddItemsCase& c, std::ostream* os) { *os << c.name; }

class AddItemsTest : public CCoreCurPlaylistTest,
                     public ::testing::WithParamInterface<AddItemsCase> {};

TEST_P(AddItemsTest, AddsPlayableItemsSelectsAndPlays) {
  const AddItemsCase& c = GetParam();
  auto playlist = Make(c.before);
  playlist->SetSelected(c.selectedBefore);
  if (c.selectedBefore < 0) {
    // Only a fresh list has no selection; Make has selected row 0.
    ASSERT_EQ(c.before, 0);
  }
  std::vector<FeedItem> list = Songs(c.added, 100);
  list.insert(list.begin(), FeedItem{u"feed", u"http://ds/feed", u"folder"});
  playlist->AddItems(list, c.playFirst, c.replace);

  EXPECT_EQ(static_cast<int>(playlist->Items().size()), c.count);
  EXPECT_EQ(owner.rows.size(), playlist->Items().size());
  EXPECT_EQ(playlist->SelectedIndex(), c.selected);
  EXPECT_EQ(owner.selectedRow, c.selected);
  std::string played;
  for (const FeedItem& item : owner.player.played) played += test_support::Utf8(item.title);
  EXPECT_EQ(played, c.played);
  // Every add is written at once, also when nothing playable came.
  EXPECT_FALSE(playlist->Modified());
  EXPECT_EQ(FileBytes(), FormatCurPlaylistFile(playlist->Items()));
}

INSTANTIATE_TEST_SUITE_P(
    Flags, AddItemsTest,
    ::testing::Values(AddItemsCase{"ReplaceAndPlay", 2, 1, 3, true, true, 3, 0, "s100"},
                      AddItemsCase{"AppendToEmptyList", 0, -1, 3, false, false, 3, 0, ""},
                      AddItemsCase{"AppendKeepsSelection", 2, 1, 3, false, false, 5, 1, ""},
                      AddItemsCase{"AppendAndPlayFirstNew", 2, 1, 3, true, false, 5, 2, "s100"},
                      AddItemsCase{"ReplaceKeepsSelectionInList", 4, 3, 2, false, true, 2, 1, ""},
                      AddItemsCase{"NothingPlayable", 2, 1, 0, true, false, 2, 1, ""},
                      AddItemsCase{"NothingPlayableInEmptyList", 0, -1, 0, false, false, 0, -1,
                                   ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CCoreCurPlaylistTest, AddItemAppendsAndPlaysOnlyPlayableSongs) {
  auto playlist = Make(2);
  playlist->AddItem(FeedItem{u"album", u"a-17", u"album"}, true);
  EXPECT_EQ(playlist->Items().size(), 2u);
  EXPECT_TRUE(owner.player.played.empty());
  EXPECT_EQ(FileBytes(), FormatCurPlaylistFile(playlist->Items()));

  playlist->AddItem(Song(u"new", u"9"), true);
  EXPECT_EQ(playlist->Items().size(), 3u);
  EXPECT_EQ(playlist->CurrentIndex(), 2);
  ASSERT_EQ(owner.player.played.size(), 1u);
  EXPECT_EQ(owner.player.played[0].title, u"new");
  EXPECT_EQ(FileBytes(), FormatCurPlaylistFile(playlist->Items()));
}

TEST_F(CCoreCurPlaylistTest, PlayIndexRunsItsStepsInOrder) {
  auto playlist = Make(3);
  EXPECT_EQ(playlist->PlayIndex(1), 1);
  EXPECT_EQ(owner.log,
            (CallLog{"SelectRow(1)", "NowPlaying(1)", "RepaintList", "StoppedOnPurpose(0)",
                     "AllowCoverRepaint", "MakeRowVisible(1)", "Play(s2)", "SetTitleLine(s2)"}));
  EXPECT_EQ(core.file, CCoreCurPlaylist::FilePath());
  EXPECT_EQ(playlist->SelectedIndex(), 1);
  EXPECT_EQ(playlist->CurrentIndex(), 1);

  owner.player.playResult = 0;
  EXPECT_FALSE(playlist->SelectAndPlay(7));
  EXPECT_EQ(playlist->SelectedIndex(), 2);  // clamped
}

TEST_F(CCoreCurPlaylistTest, StopRunsItsStepsInOrder) {
  auto playlist = Make(3);
  playlist->PlayIndex(2);
  playlist->SetSongStarted(true);
  playlist->SetDisplayMode(2);
  owner.log.clear();
  playlist->Stop();
  EXPECT_EQ(owner.log, (CallLog{"Stop", "ResetDisplay", "NowPlaying(-1)", "RepaintList",
                                "ShowDisplayMode(0)", "StoppedOnPurpose(1)"}));
  EXPECT_FALSE(playlist->SongStarted());
  EXPECT_EQ(playlist->CurrentIndex(), -1);
  EXPECT_EQ(playlist->DisplayMode(), 0);
}

TEST_F(CCoreCurPlaylistTest, CurrentItemCopesWithEveryIndex) {
  auto playlist = Make(3);
  playlist->SetCurrent(1);
  EXPECT_EQ(playlist->CurrentItem().title, u"s2");
  // Outside the list the entry returned last stands.
  playlist->SetCurrent(5);
  EXPECT_EQ(playlist->CurrentItem().title, u"s2");
  // With nothing playing, the selected row of the screen's list.
  playlist->SetCurrent(-1);
  owner.selectedRow = 2;
  EXPECT_EQ(playlist->CurrentItem().title, u"s3");
  // An empty list gives an entry without a title, so nothing plays.
  playlist->RemoveAt(0);
  playlist->RemoveAt(0);
  playlist->RemoveAt(0);
  FeedItem empty = playlist->CurrentItem();
  EXPECT_EQ(empty.title, u"");
  EXPECT_EQ(empty.link, u"zolfa://play_song_3");
}

struct EditCase {
  const char* name;
  int current;  // playing entry before the edit
  std::function<void(CCoreCurPlaylist&)> edit;
  std::vector<std::u16string> order;
  int currentAfter;
  int selectedRow;  // row the screen shows selected
  bool writtenAtOnce;
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class EditTest : public CCoreCurPlaylistTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditTest, KeepsThePlayingEntry) {
  const EditCase& c = GetParam();
  auto playlist = Make(4);
  playlist->SetCurrent(c.current);
  owner.selectedRow = -9;
  std::string before = FileBytes();
  c.edit(*playlist);
  EXPECT_EQ(Titles(*playlist), c.order);
  EXPECT_EQ(owner.rows, c.order);
  EXPECT_EQ(playlist->CurrentIndex(), c.currentAfter);
  EXPECT_EQ(core.index_, c.currentAfter);
  EXPECT_EQ(owner.selectedRow, c.selectedRow);
  if (c.writtenAtOnce) {
    EXPECT_EQ(FileBytes(), FormatCurPlaylistFile(playlist->Items()));
  } else {
    EXPECT_EQ(FileBytes(), before);
  }
}

INSTANTIATE_TEST_SUITE_P(Edits, EditTest,
                         ::testing::Values(EditCase{"MovePlayingUp",
                                                    2,
                                                    [](auto& p) { p.MoveUp(2); },
                                                    {u"s1", u"s3", u"s2", u"s4"},
                                                    1,
                                                    1,
                                                    true},
                                           EditCase{"MoveAbovePlayingDown",
                                                    2,
                                                    [](auto& p) { p.MoveDown(1); },
                                                    {u"s1", u"s3", u"s2", u"s4"},
                                                    1,
                                                    2,
                                                    true},
                                           EditCase{"MovePlayingDown",
                                                    1,
                                                    [](auto& p) { p.MoveDown(1); },
                                                    {u"s1", u"s3", u"s2", u"s4"},
                                                    2,
                                                    2,
                                                    true},
                                           EditCase{"MoveBelowPlayingUp",
                                                    1,
                                                    [](auto& p) { p.MoveUp(2); },
                                                    {u"s1", u"s3", u"s2", u"s4"},
                                                    2,
                                                    1,
                                                    true},
                                           EditCase{"MoveOthers",
                                                    0,
                                                    [](auto& p) { p.MoveUp(3); },
                                                    {u"s1", u"s2", u"s4", u"s3"},
                                                    0,
                                                    2,
                                                    true},
                                           EditCase{"MoveTopUp",
                                                    0,
                                                    [](auto& p) { p.MoveUp(0); },
                                                    {u"s1", u"s2", u"s3", u"s4"},
                                                    0,
                                                    -9,
                                                    false},
                                           EditCase{"MoveLastDown",
                                                    3,
                                                    [](auto& p) { p.MoveDown(3); },
                                                    {u"s1", u"s2", u"s3", u"s4"},
                                                    3,
                                                    -9,
                                                    false},
                                           EditCase{"MoveOutside",
                                                    3,
                                                    [](auto& p) {
                                                      p.MoveUp(9);
                                                      p.MoveDown(-1);
                                                      p.SwapItems(0, 4);
                                                    },
                                                    {u"s1", u"s2", u"s3", u"s4"},
                                                    3,
                                                    -9,
                                                    false},
                                           EditCase{"RemoveAbovePlaying",
                                                    2,
                                                    [](auto& p) { p.RemoveAt(1); },
                                                    {u"s1", u"s3", u"s4"},
                                                    1,
                                                    1,
                                                    false},
                                           EditCase{"RemovePlaying",
                                                    2,
                                                    [](auto& p) { p.RemoveAt(2); },
                                                    {u"s1", u"s2", u"s4"},
                                                    -1,
                                                    2,
                                                    false},
                                           EditCase{"RemoveBelowPlaying",
                                                    1,
                                                    [](auto& p) { p.RemoveAt(2); },
                                                    {u"s1", u"s2", u"s4"},
                                                    1,
                                                    2,
                                                    false},
                                           EditCase{"RemoveLastSelectsRowAbove",
                                                    0,
                                                    [](auto& p) { p.RemoveAt(3); },
                                                    {u"s1", u"s2", u"s3"},
                                                    0,
                                                    2,
                                                    false},
                                           EditCase{"RemoveOutside",
                                                    0,
                                                    [](auto& p) {
                                                      p.RemoveAt(4);
                                                      p.RemoveAt(-1);
                                                    },
                                                    {u"s1", u"s2", u"s3", u"s4"},
                                                    0,
                                                    -9,
                                                    false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CCoreCurPlaylistTest, RemovalIsWrittenBySaveState) {
  auto playlist = Make(3);
  playlist->RemoveAt(0);
  EXPECT_TRUE(playlist->Modified());
  playlist->SaveState();
  EXPECT_EQ(FileBytes(), FormatCurPlaylistFile(playlist->Items()));
}

TEST_F(CCoreCurPlaylistTest, ClearAllAsksAndStaysCleared) {
  auto playlist = Make(0);
  playlist->ClearAll();
  EXPECT_TRUE(owner.log.empty());  // an empty list asks nothing

  playlist->AddItems(Songs(3), true, false);
  owner.confirmAnswer = false;
  owner.log.clear();
  playlist->ClearAll();
  EXPECT_EQ(owner.log, (CallLog{"Confirm(確定要清除所有歌曲嗎?)"}));
  EXPECT_EQ(playlist->Items().size(), 3u);

  owner.confirmAnswer = true;
  owner.log.clear();
  playlist->ClearAll();
  EXPECT_EQ(owner.log, (CallLog{"Confirm(確定要清除所有歌曲嗎?)", "DeleteAllRows"}));
  EXPECT_TRUE(playlist->Items().empty());
  EXPECT_EQ(playlist->SelectedIndex(), -1);
  EXPECT_EQ(playlist->CurrentIndex(), 0);  // playback goes on
  EXPECT_TRUE(playlist->Modified());
  playlist.reset();  // the screen goes away: SaveState

  CCoreCurPlaylist reloaded(owner, core);
  reloaded.Load();
  EXPECT_TRUE(reloaded.Items().empty());
}

TEST_F(CCoreCurPlaylistTest, DisplayModeAndRelaysReachTheOwner) {
  auto playlist = Make(1);
  playlist->SetDisplayMode(1);
  playlist->SetDisplayMode(7);  // not a mode
  playlist->SetLyrics(u"<lyrics_struct/>");
  playlist->SetLyricsPosition(12);
  playlist->SetAlbumCover(u"");
  playlist->SetAlbumCover(u"\\Temp\\albumcover.dat");
  EXPECT_EQ(playlist->DisplayMode(), 1);
  EXPECT_EQ(owner.log,
            (CallLog{"ShowDisplayMode(1)", "SetLyrics(<lyrics_struct/>)", "SetLyricsPosition(12)",
                     "ShowAlbumCover(\\Temp\\albumcover.dat)"}));
  EXPECT_TRUE(playlist->HasAlbumCover());
  playlist->SetAlbumCover(u"");
  EXPECT_FALSE(playlist->HasAlbumCover());
  EXPECT_EQ(playlist->AlbumCover(), u"\\Temp\\albumcover.dat");
}

ce::DWORD StoredByteCount(const char16_t* name, ce::BYTE* firstByte) {
  ce::HKEY key = nullptr;
  if (ce::RegOpenKeyEx(ce::HKEY_CURRENT_USER, u"Software\\Quendal\\zolfa", 0, ce::KEY_READ, &key) !=
      ce::ERROR_SUCCESS) {
    return 0;
  }
  ce::BYTE data[8] = {};
  ce::DWORD size = sizeof(data);
  ce::DWORD type = 0;
  ce::RegQueryValueEx(key, name, nullptr, &type, data, &size);
  ce::RegCloseKey(key);
  *firstByte = data[0];
  return type == ce::REG_DWORD ? size : 0;
}

TEST_F(CCoreCurPlaylistTest, PlayModesAreStoredAsOneByteAndReadBack) {
  {
    CCoreCurPlaylist playlist(owner, core);
    playlist.ToggleShuffle();
    playlist.ToggleRepeat();
    ce::BYTE byte = 0;
    EXPECT_EQ(StoredByteCount(u"shuffle", &byte), 0u);  // toggling writes nothing
    playlist.SaveState();
    EXPECT_EQ(StoredByteCount(u"shuffle", &byte), 1u);
    EXPECT_EQ(byte, 3);
    EXPECT_EQ(StoredByteCount(u"repeat", &byte), 1u);
    EXPECT_EQ(byte, 1);
  }
  CCoreCurPlaylist again(owner, core);
  EXPECT_EQ(again.ShuffleMode(), kShuffleOn);
  EXPECT_EQ(again.RepeatMode(), kRepeatOn);
}

TEST_F(CCoreCurPlaylistTest, AFourByteModeValueIsUnreadableAndLeavesTheDefault) {
  ce::HKEY key = nullptr;
  ce::DWORD disposition = 0;
  ASSERT_EQ(ce::RegCreateKeyEx(ce::HKEY_CURRENT_USER, u"Software\\Quendal\\zolfa", 0, nullptr, 0,
                               ce::KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ce::ERROR_SUCCESS);
  ce::DWORD three = 3;
  ce::BYTE one = 1;
  ce::RegSetValueEx(key, u"shuffle", 0, ce::REG_DWORD, reinterpret_cast<ce::BYTE*>(&three), 4);
  ce::RegSetValueEx(key, u"repeat", 0, ce::REG_DWORD, &one, 1);
  ce::RegCloseKey(key);
  CCoreCurPlaylist playlist(owner, core);
  EXPECT_EQ(playlist.ShuffleMode(), kShuffleOff);
  EXPECT_EQ(playlist.RepeatMode(), kRepeatOn);
}

}  // namespace
}  // namespace zolfa
