// The core controller with recording screens, a recording top-level dialog
// window, and the real browse requests and current playlist where it meets
// them.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "tests/support/BrowseSession.h"
#include "tests/support/LocalTime.h"
#include "tests/support/RecordingOwner.h"
#include "zolfa/app/CCore.h"
#include "zolfa/app/CurPlaylistAdapter.h"
#include "zolfa/app/TopDialogMessages.h"
#include "zolfa/app/ZolfaPaths.h"
#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/BrowseMessages.h"
#include "zolfa/browse/BrowseRequests.h"
#include "zolfa/browse/PostedRecords.h"
#include "zolfa/library/CCoreCurPlaylist.h"
#include "zolfa/library/CurPlaylistMessages.h"

namespace zolfa {
namespace {

using Log = std::vector<std::string>;

std::string Utf8(std::u16string_view text) { return ce::ToUtf8(text); }

FeedItem Song(const std::u16string& title) { return FeedItem{title, u"zolfa://play_song_" + title, u"song"}; }

class FakePlaylist : public ICurrentPlaylist {
 public:
  explicit FakePlaylist(Log& log) : log_(log) {}
  void AddItems(const std::vector<FeedItem>& list, bool playFirst, bool replace) override {
    log_.push_back("AddItems(" + std::to_string(list.size()) + "," + std::to_string(playFirst) +
                   "," + std::to_string(replace) + ")");
    if (throwStd) throw std::runtime_error(failureText);
    if (throwOther) throw 42;
  }
  void AddItem(const FeedItem& item, bool play) override {
    log_.push_back("AddItem(" + Utf8(item.title) + "," + std::to_string(play) + ")");
  }
  int PlayNextSong() override {
    log_.push_back("PlayNextSong");
    return 1;
  }
  void Stop() override { log_.push_back("Stop"); }
  void SaveState() override { log_.push_back("SaveState"); }
  void SetAlbumCover(std::u16string_view source) override {
    log_.push_back("SetAlbumCover(" + Utf8(source) + ")");
  }

  bool throwStd = false;
  bool throwOther = false;
  std::string failureText;

 private:
  Log& log_;
};

class FakeLibrary : public IPersonalLibraryScreen {
 public:
  explicit FakeLibrary(Log& log) : log_(log) {}
  void AddPlaylist(std::u16string_view name, const std::vector<FeedItem>& items) override {
    log_.push_back("AddPlaylist(" + Utf8(name) + "," + std::to_string(items.size()) + ")");
  }
  void SelectLastPlaylist() override { log_.push_back("SelectLastPlaylist"); }

 private:
  Log& log_;
};

class FakeMainScreen : public IMainScreen {
 public:
  FakeMainScreen(Log& log, ICurrentPlaylist& playlist)
      : log_(log), playlist_(playlist), library_(log) {}
  void SelectTab(int32_t tab) override {
    log_.push_back("SelectTab(" + std::to_string(tab) + ")");
    tab_ = tab;
  }
  int32_t CurrentTab() const override { return tab_; }
  ICurrentPlaylist* CurrentPlaylist() override { return &playlist_; }
  IPersonalLibraryScreen* PersonalLibrary() override { return &library_; }
  ce::HWND BrowseWindow() const override { return browseWindow; }
  ce::HWND CurrentPlaylistWindow() const override { return playlistWindow; }

  ce::HWND browseWindow = nullptr;
  ce::HWND playlistWindow = nullptr;

 private:
  Log& log_;
  ICurrentPlaylist& playlist_;
  FakeLibrary library_;
  int32_t tab_ = 0;
};

// The top-level dialog: ShowScreen is logged, and its window logs the
// messages it receives.
class FakeTopDialog : public ITopDialog {
 public:
  explicit FakeTopDialog(Log& log)
      : log_(log),
        window_([this](ce::HWND window, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam) {
          if (message == MSG_LOGOUT) log_.push_back("message 13321");
          return ce::DefWindowProc(window, message, wParam, lParam);
        }) {}
  void ShowScreen(int32_t screen) override {
    log_.push_back("ShowScreen(" + std::to_string(screen) + ")");
  }
  ce::HWND Window() const override { return window_.Handle(); }

 private:
  Log& log_;
  ce::testing::TestWindow window_;
};

class CCoreTest : public ::testing::Test {
 protected:
  CCoreTest() : playlist_(log_), main_(log_, playlist_), top_(log_) {}

  void Attach() {
    core_.AttachMainScreen(main_);
    core_.AttachTopDialog(top_);
    core_.SetAboutLauncher([this] { log_.push_back("About"); });
  }

  std::string CoreLog() { return root_.ReadDeviceBytes(ProgramFilePath(kCoreLogFileName)); }

  ce::testing::TempDeviceRoot root_;
  ce::testing::ScopedVirtualClock clock_;
  ce::testing::ScriptedUser user_;
  Log log_;
  FakePlaylist playlist_;
  FakeMainScreen main_;
  FakeTopDialog top_;
  CCore core_;
};

TEST_F(CCoreTest, StartsWithZerosAndDoesNothingBeforeTheScreensAreAttached) {
  EXPECT_EQ(core_.NowPlayingIndex(), 0);
  EXPECT_EQ(core_.PlayState(), 0);
  EXPECT_EQ(core_.RequestedScreen(), 0);
  EXPECT_TRUE(core_.NowPlayingFile().empty());
  EXPECT_EQ(core_.CurrentPlaylist(), nullptr);
  EXPECT_EQ(core_.CurrentTab(), 0);
  core_.SelectScreen(1);
  core_.AddItemsToPlaylist({Song(u"a")}, true, false);
  core_.AddItemToPlaylist(Song(u"a"), true);
  core_.PlayNext();
  core_.SetAlbumCover(u"res://1");
  core_.Logout();
  core_.ShowAbout();
  // No browse screen: the item is freed, not posted to this thread.
  core_.PostBrowseItem(7, u"t", u"l", u"song");
  core_.PostBrowseEnd(7);
  EXPECT_EQ(ce::testing::PumpUntilIdle(), 0);
  EXPECT_TRUE(log_.empty());
  EXPECT_TRUE(CoreLog().empty());
}

TEST_F(CCoreTest, PlayStateKeepsOnlyTheKnownStates) {
  const std::vector<std::pair<int32_t, int32_t>> cases = {
      {0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 0}, {-1, 0}, {9, 0}};
  for (auto [given, stored] : cases) {
    core_.SetPlayState(3);
    core_.SetPlayState(given);
    EXPECT_EQ(core_.PlayState(), stored) << given;
  }
}

TEST_F(CCoreTest, MenuCommandsReachTheirTargets) {
  Attach();
  const std::vector<std::pair<uint32_t, std::string>> cases = {
      {32829, "SelectTab(0)"}, {32841, "SelectTab(1)"},  {32842, "SelectTab(2)"},
      {32843, "message 13321"}, {32845, "About"},
  };
  for (const auto& [command, call] : cases) {
    log_.clear();
    EXPECT_TRUE(core_.OnCommand(command));
    EXPECT_EQ(log_, Log{call}) << command;
  }
  log_.clear();
  EXPECT_TRUE(core_.OnCommand(32844));
  EXPECT_TRUE(log_.empty());
  std::vector<ce::MessageBoxRequest> boxes = user_.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"Setting Dialog");
  EXPECT_FALSE(core_.OnCommand(32846));
}

TEST_F(CCoreTest, AdditionsEndOnTheCurrentPlaylistTabEvenWhenEmpty) {
  Attach();
  main_.SelectTab(1);
  log_.clear();
  core_.AddItemsToPlaylist({}, false, false);
  core_.AddItemsToPlaylist({Song(u"a"), Song(u"b")}, true, true);
  core_.AddItemToPlaylist(Song(u"c"), true);
  EXPECT_EQ(log_, (Log{"AddItems(0,0,0)", "SelectTab(0)", "AddItems(2,1,1)", "SelectTab(0)",
                       "AddItem(c,1)", "SelectTab(0)"}));
  EXPECT_EQ(core_.CurrentTab(), 0);
  EXPECT_TRUE(user_.Boxes().empty());
}

TEST_F(CCoreTest, AFailureWhileAddingIsLoggedWithItsTextAndGoesNoFurther) {
  test_support::SetLocalTime(*clock_, 2025, 1, 10, 9, 5, 3);
  Attach();
  struct Case {
    bool throwStd;
    std::string text;
    std::string logged;
  };
  const std::vector<Case> cases = {
      {true, "disk full", "disk full"},
      {true, "播放清單" + std::string(300, 'x'), "播放清單" + std::string(251, 'x')},
      {false, "", "unknown exception"},
  };
  std::string expected;
  for (const Case& c : cases) {
    playlist_.throwStd = c.throwStd;
    playlist_.throwOther = !c.throwStd;
    playlist_.failureText = c.text;
    log_.clear();
    core_.AddItemsToPlaylist({Song(u"a")}, true, false);
    EXPECT_EQ(log_, Log{"AddItems(1,1,0)"});  // no tab switch after the failure
    expected += ce::WideToMulti(u"09h05m03s: " + ce::FromUtf8(c.logged) + u"\r\n");
  }
  EXPECT_EQ(CoreLog(), expected);
  EXPECT_TRUE(user_.Boxes().empty());
}

TEST_F(CCoreTest, OperationsReachTheScreensTheyName) {
  Attach();
  core_.SaveAsPersonalPlaylist(u"我的最愛", {Song(u"a"), Song(u"b")});
  core_.RequestScreen(2);
  core_.PlayNext();
  core_.Logout();
  EXPECT_EQ(log_, (Log{"AddPlaylist(我的最愛,2)", "SelectLastPlaylist", "SelectTab(2)",
                       "ShowScreen(2)", "PlayNextSong", "message 13321"}));
  EXPECT_EQ(core_.RequestedScreen(), 2);
  EXPECT_EQ(core_.CurrentTab(), 2);
  EXPECT_EQ(core_.CurrentPlaylist(), &playlist_);
  core_.SetNowPlayingFile(u"\\Program Files\\Zolfa\\CurPlayList.xml");
  core_.SetNowPlayingIndex(-1);
  EXPECT_EQ(core_.NowPlayingFile(), u"\\Program Files\\Zolfa\\CurPlayList.xml");
  EXPECT_EQ(core_.NowPlayingIndex(), -1);
}

// A browse answer travels from the worker through the core controller to the
// browse screen's window as posted messages; the window frees each item.
TEST_F(CCoreTest, ThreeItemsGiveThreeItemMessagesThenOneEndWithOneRequestId) {
  struct Received {
    ce::UINT message;
    ce::WPARAM id;
    FeedItem item;
  };
  std::vector<Received> received;
  ce::testing::TestWindow browse([&](ce::HWND window, ce::UINT message, ce::WPARAM wParam,
                                     ce::LPARAM lParam) -> ce::LRESULT {
    if (message == MSG_BROWSE_ITEM) {
      std::unique_ptr<FeedItem> item(reinterpret_cast<FeedItem*>(lParam));
      received.push_back(Received{message, wParam, *item});
      return 0;
    }
    if (message == MSG_BROWSE_END) {
      received.push_back(Received{message, wParam, {}});
      return 0;
    }
    return ce::DefWindowProc(window, message, wParam, lParam);
  });
  main_.browseWindow = browse.Handle();
  Attach();

  test_support::LoggedInSession session;
  ASSERT_NO_FATAL_FAILURE(session.LogIn());
  test_support::ScriptedDataServer server;
  server.Reply(u"/album.php", 200,
               u"<album_list><album><text>范特西</text><id>b1</id></album>"
               u"<album><text>八度空間</text><id>b2</id></album>"
               u"<album><text>Jay</text><id>b3</id></album></album_list>");
  BrowseRequests::Options options;
  options.transport = server.Transport();
  BrowseRequests requests(session.Manager(), core_, std::move(options));
  int32_t id = requests.QueueBrowseRequest(kBrowseAlbumList, u"g1", u"3", u"10", u"a1", u"0",
                                           u"0", u"AUTH", u"");
  ASSERT_GT(id, 0);
  ASSERT_TRUE(ce::testing::PumpUntil([&] { return received.size() == 4; }));

  const std::vector<std::u16string> titles = {u"范特西", u"八度空間", u"Jay"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(received[i].message, MSG_BROWSE_ITEM);
    EXPECT_EQ(received[i].item.title, titles[i]);
    EXPECT_EQ(received[i].item.category, u"folder");
  }
  EXPECT_EQ(received[3].message, MSG_BROWSE_END);
  for (const Received& r : received) EXPECT_EQ(r.id, static_cast<ce::WPARAM>(id));
}

TEST_F(CCoreTest, AnItemForABrowseWindowThatIsGoneIsFreed) {
  auto browse = std::make_unique<ce::testing::TestWindow>(
      [](ce::HWND window, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam) {
        return ce::DefWindowProc(window, message, wParam, lParam);
      });
  main_.browseWindow = browse->Handle();
  Attach();
  browse.reset();
  // The post fails; under the leak checker an item left behind fails the run.
  core_.PostBrowseItem(3, u"title", u"link", u"song");
  core_.PostBrowseEnd(3);
  EXPECT_EQ(ce::testing::PumpUntilIdle(), 0);
}

TEST_F(CCoreTest, AfterTheMainScreenGoesWorkersFindNoBrowseWindow) {
  ce::testing::TestWindow browse([](ce::HWND window, ce::UINT message, ce::WPARAM wParam,
                                    ce::LPARAM lParam) {
    return ce::DefWindowProc(window, message, wParam, lParam);
  });
  // A screen of its own so that it can really go; under ASan a worker that
  // still reached it would fail the run.
  auto main = std::make_unique<FakeMainScreen>(log_, playlist_);
  main->browseWindow = browse.Handle();
  core_.AttachMainScreen(*main);
  core_.DetachMainScreen();
  main.reset();
  std::thread worker([this] {
    core_.PostBrowseItem(3, u"title", u"link", u"song");
    core_.PostBrowseEnd(3);
  });
  worker.join();
  EXPECT_EQ(ce::testing::PumpUntilIdle(), 0);
  EXPECT_EQ(core_.CurrentTab(), kTabCurrentPlaylist);
  core_.PlayNext();  // no playlist any more: nothing happens
  EXPECT_TRUE(log_.empty());
}

// The current-playlist screen: hands each cover message to its playlist, on
// its own thread, as the real screen does.
class CoverReceiver {
 public:
  explicit CoverReceiver(ICurrentPlaylist& playlist)
      : window_([this, &playlist](ce::HWND window, ce::UINT message, ce::WPARAM wParam,
                                  ce::LPARAM lParam) -> ce::LRESULT {
          if (message == MSG_ALBUM_COVER) {
            std::unique_ptr<std::u16string> source(reinterpret_cast<std::u16string*>(lParam));
            if (std::this_thread::get_id() != thread_) return 0;
            playlist.SetAlbumCover(*source);
            return 0;
          }
          return ce::DefWindowProc(window, message, wParam, lParam);
        }) {}
  ce::HWND Handle() const { return window_.Handle(); }

 private:
  std::thread::id thread_ = std::this_thread::get_id();
  ce::testing::TestWindow window_;
};

// A photo worker's cover never touches the playlist on the worker's thread
// (the playlist may be going with its screen): it reaches the playlist on the
// screen's thread, and after the main screen went, or once the screen's
// window announced its closing, it reaches nothing.
TEST_F(CCoreTest, AlbumCoversFromWorkersReachThePlaylistOnTheScreensThread) {
  CoverReceiver screen(playlist_);
  main_.playlistWindow = screen.Handle();
  Attach();
  std::thread worker([this] {
    core_.SetAlbumCover(u"\\Temp\\albumcover.dat");
    core_.SetAlbumCover(u"");
  });
  worker.join();
  EXPECT_TRUE(log_.empty());
  ce::testing::PumpUntilIdle();
  EXPECT_EQ(log_, (Log{"SetAlbumCover(\\Temp\\albumcover.dat)", "SetAlbumCover()"}));

  log_.clear();
  core_.ScreenWindowClosing(screen.Handle());
  std::thread late([this] { core_.SetAlbumCover(u"res://1"); });
  late.join();
  core_.DetachMainScreen();
  std::thread later([this] { core_.SetAlbumCover(u"res://2"); });
  later.join();
  EXPECT_EQ(ce::testing::PumpUntilIdle(), 0);
  EXPECT_TRUE(log_.empty());
}

// A screen that goes frees what workers posted to it and it never read, and
// no worker posts to it once it announced its closing.
TEST_F(CCoreTest, RecordsStillQueuedForAClosingWindowAreFreed) {
  int received = 0;
  ce::testing::TestWindow browse([&](ce::HWND window, ce::UINT message, ce::WPARAM wParam,
                                     ce::LPARAM lParam) -> ce::LRESULT {
    if (message == MSG_BROWSE_ITEM) ++received;
    return ce::DefWindowProc(window, message, wParam, lParam);
  });
  main_.browseWindow = browse.Handle();
  Attach();
  std::thread worker([this] {
    for (int i = 0; i < 3; ++i) core_.PostBrowseItem(5, u"t", u"l", u"song");
  });
  worker.join();
  core_.ScreenWindowClosing(browse.Handle());
  core_.PostBrowseItem(5, u"late", u"l", u"song");
  // Under the leak checker an item left in the queue fails the run.
  EXPECT_EQ(FreePostedRecords<FeedItem>(browse.Handle(), MSG_BROWSE_ITEM), 3);
  EXPECT_EQ(ce::testing::PumpUntilIdle(), 0);
  EXPECT_EQ(received, 0);
}

// The real current playlist behind the adapter: only playable items join,
// the first added one plays, and the playlist reports it to the core.
TEST_F(CCoreTest, AdditionsReachTheRealCurrentPlaylist) {
  test_support::RecordingOwner owner;
  CCoreCurPlaylist controller(owner, core_);
  CurPlaylistAdapter adapter(controller);
  FakeMainScreen main(log_, adapter);
  core_.AttachMainScreen(main);

  core_.AddItemsToPlaylist({Song(u"a"), FeedItem{u"folder", u"g1", u"folder"}, Song(u"b")}, true,
                           false);
  ASSERT_EQ(controller.Items().size(), 2u);
  EXPECT_EQ(controller.Items()[1].title, u"b");
  ASSERT_EQ(owner.player.played.size(), 1u);
  EXPECT_EQ(owner.player.played[0].title, u"a");
  EXPECT_EQ(core_.NowPlayingFile(), CCoreCurPlaylist::FilePath());
  EXPECT_EQ(core_.NowPlayingIndex(), 0);
  EXPECT_EQ(log_, Log{"SelectTab(0)"});
}

}  // namespace
}  // namespace zolfa
