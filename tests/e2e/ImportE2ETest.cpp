// The backup import against the local service: log in with the sample
// account, import its backed-up playlists into a personal library, save it,
// and read the saved library back.
#include <gtest/gtest.h>

#include "platform/base/CodePage.h"
#include "platform/base/Thread.h"
#include "platform/net/HostTable.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/ImportReceiver.h"
#include "tests/support/RecordingOwner.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/ServiceReceiver.h"
#include "zolfa/library/CBackupImport.h"
#include "zolfa/library/CPersonalLibrary.h"
#include "zolfa/service/PasswordDigest.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace zolfa {
namespace {

std::vector<int32_t> SongIds(const LibraryPlaylist& playlist) {
  std::vector<int32_t> ids;
  for (const LibrarySong& song : playlist.songs) ids.push_back(song.songId);
  return ids;
}

// Points every host of the service at the local server.
void MapServiceHosts(int port) {
  ce::HostTable table;
  for (const char* host : {"login1.zolfa.test", "login2.zolfa.test", "is.zolfa.test",
                           "ss.zolfa.test", "ds.zolfa.test"}) {
    ce::HostTable::Key key;
    ASSERT_TRUE(ce::HostTable::ParseKey(host, &key));
    table.Add(key, ce::HostTable::Endpoint{"127.0.0.1", static_cast<uint16_t>(port)});
  }
  ASSERT_TRUE(table.Save(ce::HostTable::DefaultPath()));
}

TEST(ImportE2ETest, SampleBackupIsImportedIntoTheLibraryAndSaved) {
  test_support::ServerProcess server;
  ASSERT_TRUE(server.Started());
  ce::testing::TempDeviceRoot root;
  MapServiceHosts(server.Port());

  ZolfaNetMgrPPC manager;
  {
    // The top dialog accepts the login on its own thread.
    test_support::ServiceReceiver dialog;
    dialog.SetHandler([&](const test_support::ServiceReceiver::Received& received) {
      if (received.message == MSG_LOGIN_DONE && received.result && received.result->status == 0) {
        manager.SetOnline(true);
      }
    });
    manager.Login(dialog.Window(), u"demo@zolfa.test", PasswordDigest(u"zolfa"), 0);
    ASSERT_TRUE(dialog.WaitForMessages(1));
    ASSERT_EQ(dialog.Numbers(), (std::vector<ce::UINT>{MSG_LOGIN_DONE}));
    ASSERT_EQ(manager.Servers().is, u"is.zolfa.test");
  }

  test_support::RecordingLibraryOwner owner;
  CPersonalLibrary library(owner);
  library.LoadLibrary();
  library.AddPlaylist(u"mine", {FeedItem{u"x", u"zolfa://play_song_7", u"song"}});

  CBackupImport import(manager);
  test_support::ImportReceiver importDialog;
  uint32_t id = import.StartImport(importDialog.Window());
  ASSERT_TRUE(importDialog.WaitFor(1));
  ASSERT_EQ(importDialog.deliveries[0].id, id);
  // The dialog passes the text through the narrow code page, as the library
  // file keeps it.
  std::u16string text =
      ce::MultiToWide(ce::WideToMulti(importDialog.deliveries[0].text, ce::CP_ACP), ce::CP_ACP);
  library.ImportPlaylists(text);
  EXPECT_TRUE(library.SaveLibrary());
  manager.Shutdown();

  CPersonalLibrary saved(owner);
  saved.LoadLibrary();
  ASSERT_EQ(saved.Count(), 5);
  EXPECT_EQ(saved.Playlist(0).id, kAllSongsId);
  EXPECT_EQ(saved.Playlist(2).id, 1002);
  EXPECT_EQ(saved.Playlist(2).name, u"我的最愛");
  EXPECT_EQ(saved.Playlist(3).name, u"開車聽的歌");
  EXPECT_EQ(saved.Playlist(4).name, u"空的歌單");
  EXPECT_EQ(SongIds(saved.Playlist(2)), (std::vector<int32_t>{101011, 102011, 201012}));
  EXPECT_EQ(SongIds(saved.Playlist(3)), (std::vector<int32_t>{301011, 401021}));
  EXPECT_TRUE(saved.Playlist(4).songs.empty());
  EXPECT_EQ(SongIds(saved.Playlist(0)),
            (std::vector<int32_t>{7, 101011, 102011, 201012, 301011, 401021}));
  // The song's record in use, not its older record, gives name and address.
  const LibrarySong& first = saved.Playlist(2).songs[0];
  EXPECT_EQ(first.playUrl, u"zolfa://play_song_101011");
  EXPECT_FALSE(first.songName.empty());
  EXPECT_EQ(first.songName.find(u"舊版"), std::u16string::npos);
  // The songs come back as current-playlist items.
  std::vector<FeedItem> items = saved.PlaylistItems(3);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].link, u"zolfa://play_song_401021");
  EXPECT_TRUE(IsPlayable(items[1]));
}

}  // namespace
}  // namespace zolfa
