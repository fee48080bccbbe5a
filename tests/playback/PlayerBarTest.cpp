// The player bar: its volume and text rules, and the bar in the
// current-playlist screen playing the playlist's entries on a scripted
// media control and the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/media/MediaContainer.h"
#include "platform/media/ScriptedMediaPlayer.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Message.h"
#include "tests/support/QuietScreenCore.h"
#include "zolfa/library/CDlgCurPlaylist.h"
#include "zolfa/playback/CWMPHostMessages.h"
#include "zolfa/playback/PlaySongRequest.h"
#include "zolfa/playback/PlaybackMessages.h"
#include "zolfa/playback/PlayerBar.h"

namespace {

using zolfa::PlayerVolume;

TEST(PlayerVolumeTest, ButtonsAndTapsFollowTheMuteRules) {
  enum Op { kUp, kDown, kMute, kTap };
  const struct {
    int32_t percent;
    bool muted;
    Op op;
    int x;  // for kTap
    int32_t wantPercent;
    bool wantMuted;
    std::vector<int32_t> wantSet;
  } cases[] = {
      {65, false, kUp, 0, 70, false, {70}},
      {98, false, kUp, 0, 100, false, {100}},
      {65, true, kUp, 0, 70, false, {70}},  // unmutes at the new level
      {5, false, kDown, 0, 0, false, {0}},  // reaches 0 without muting
      {4, false, kDown, 0, 0, true, {0}},   // below 0: 0 and the mute toggles
      {0, true, kDown, 0, 0, false, {0}},   // ... back off when muted
      {50, true, kDown, 0, 45, false, {45, 45}},
      {65, false, kMute, 0, 65, true, {0}},
      {65, true, kMute, 0, 65, false, {65}},
      {65, false, kTap, 172, 0, false, {0}},
      {65, false, kTap, 194, 50, false, {50}},
      {65, false, kTap, 216, 100, false, {100}},
      {65, true, kTap, 183, 25, false, {25}},
      {65, false, kTap, 171, 65, false, {}},  // beside the bar
      {65, false, kTap, 217, 65, false, {}},
  };
  for (const auto& c : cases) {
    PlayerVolume volume(c.percent, c.muted);
    std::vector<int32_t> set;
    switch (c.op) {
      case kUp: set = volume.Up(); break;
      case kDown: set = volume.Down(); break;
      case kMute: set = volume.ToggleMute(); break;
      case kTap: set = volume.TapAt(c.x); break;
    }
    SCOPED_TRACE(testing::Message() << c.percent << " muted " << c.muted << " op " << c.op);
    EXPECT_EQ(volume.Percent(), c.wantPercent);
    EXPECT_EQ(volume.Muted(), c.wantMuted);
    EXPECT_EQ(set, c.wantSet);
  }
  EXPECT_EQ(PlayerVolume(65).BarWidth(), 28);
  EXPECT_EQ(PlayerVolume(100).BarWidth(), 44);
}

TEST(PlayerTextTest, PositionsAndTheConnectingDots) {
  const struct {
    int32_t seconds;
    const char16_t* text;
  } positions[] = {{0, u"00:00"}, {59, u"00:59"}, {61, u"01:01"}, {4503, u"75:03"}};
  for (const auto& p : positions) EXPECT_EQ(zolfa::PositionText(p.seconds), p.text);
  EXPECT_EQ(zolfa::ConnectingText(0), u"連線");
  EXPECT_EQ(zolfa::ConnectingText(1), u"連線.");
  EXPECT_EQ(zolfa::ConnectingText(2), u"連線");
}

// The core controller as the screens see it: it records the ticket
// requests and keeps the play state as the real one does.
class RecordingCore : public test_support::QuietScreenCore {
 public:
  int32_t PlayState() const override { return playState; }
  void SetPlayState(int32_t state) override { playState = state >= 0 && state <= 3 ? state : 0; }
  void RequestScreen(int32_t screen) override { requestedScreen = screen; }
  void Logout() override { ++logouts; }
  bool PlaySong(ce::HWND requester, std::u16string_view songId) override {
    requesters.push_back(requester);
    songs.emplace_back(songId);
    return true;
  }

  int32_t playState = 0;
  int32_t requestedScreen = -1;
  int logouts = 0;
  std::vector<ce::HWND> requesters;
  std::vector<std::u16string> songs;
};

zolfa::FeedItem Song(const std::u16string& id, const std::u16string& title) {
  zolfa::FeedItem item;
  item.title = title;
  item.link = u"zolfa://play_song_" + id;
  item.category = u"song";
  return item;
}

class PlayerBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousFactory_ = ce::SetMediaPlayerFactory([this](ce::HRESULT*) {
      auto player = std::make_unique<ce::ScriptedMediaPlayer>();
      player->SetDuration(30);
      player->SetOpenDelayMs(200);
      control_ = player.get();
      return player;
    });
    ASSERT_TRUE(screen_.Create(parent_));
    screen_.MoveWindow(0, 0, 240, 268);
    ASSERT_NE(screen_.Playlist(), nullptr);
    ASSERT_NE(Bar().Handle(), nullptr);
    ASSERT_NE(Bar().Host().Handle(), nullptr);
    ASSERT_NE(control_, nullptr);
    screen_.Playlist()->AddItems({Song(u"11", u"第一首"), Song(u"22", u"第二首"), Song(u"33", u"第三首")},
                                 false, true);
  }
  void TearDown() override {
    screen_.DestroyWindow();
    // The media host asks the application to quit as it goes.
    ce::MSG msg;
    while (ce::PeekMessage(&msg, nullptr, ce::WM_QUIT, ce::WM_QUIT, ce::PM_REMOVE)) {
    }
    ce::SetMediaPlayerFactory(previousFactory_);
  }

  CDlgPlayer& Bar() { return screen_.PlayerBar(); }
  void Click(int id) {
    ce::SendMessage(Bar(), ce::WM_COMMAND, ce::MAKEWPARAM(id, ce::BN_CLICKED),
                    reinterpret_cast<ce::LPARAM>(ce::GetDlgItem(Bar(), id)));
  }
  void DeliverTicket(const std::u16string& url, const std::u16string& lyrics = {}) {
    zolfa::PlaySongRequest request;
    request.requester = Bar();
    request.streamUrl = url;
    request.lyrics = lyrics;
    ce::SendMessage(Bar(), zolfa::MSG_TICKET_READY, reinterpret_cast<ce::WPARAM>(&request), 0);
  }
  int Calls(const std::string& call) {
    const auto& calls = control_->Calls();
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
  }
  std::string LastVolume() {
    const auto& calls = control_->Calls();
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
      if (it->rfind("SetVolume ", 0) == 0) return *it;
    }
    return {};
  }

  ce::testing::TempDeviceRoot root_;
  ce::testing::ScopedVirtualClock clock_;
  ce::testing::ScriptedUser user_;
  ce::MediaPlayerFactory previousFactory_;
  ce::ScriptedMediaPlayer* control_ = nullptr;
  ce::testing::TestWindow parent_{
      [](ce::HWND w, ce::UINT m, ce::WPARAM wp, ce::LPARAM lp) {
        return ce::DefWindowProc(w, m, wp, lp);
      },
      nullptr, ce::WS_POPUP};
  RecordingCore core_;
  CDlgCurPlaylist screen_{core_, core_, core_, nullptr};
};

TEST_F(PlayerBarTest, BarTakesTheBottomOfTheScreenAndStartsAtSixtyFive) {
  const ce::RECT place = screen_.PlayerBarPlace();
  const ce::RECT bar = Bar().GetWindowRect();
  const ce::RECT origin = screen_.GetWindowRect();
  EXPECT_EQ(bar.top - origin.top, place.top);
  EXPECT_EQ(bar.bottom - bar.top, 35);
  EXPECT_EQ(screen_.PlayerWindow(), Bar().Handle());
  EXPECT_EQ(Bar().Volume().Percent(), 65);
  EXPECT_EQ(LastVolume(), "SetVolume 65");
}

TEST_F(PlayerBarTest, TappedSongAsksForItsTicketThenShowsConnectingDots) {
  screen_.Playlist()->SelectAndPlay(1);
  ASSERT_EQ(core_.songs, std::vector<std::u16string>{u"22"});
  EXPECT_EQ(core_.requesters[0], Bar().Handle());
  // The title shows for up to a second, then the dots come and go.
  EXPECT_EQ(Bar().Text(), u"第二首");
  ce::testing::AdvanceClockAndPump(*clock_, 1000);
  EXPECT_EQ(Bar().Text(), u"連線.");
  ce::testing::AdvanceClockAndPump(*clock_, 1000);
  EXPECT_EQ(Bar().Text(), u"連線");

  DeliverTicket(u"http://ss.zolfa.test:80/ps2_a.wma?1", u"[00:01-00:03]第一句");
  EXPECT_EQ(Bar().Text(), u"");
  EXPECT_EQ(control_->Url(), u"http://ss.zolfa.test:80/ps2_a.wma?1");
  EXPECT_TRUE(screen_.LyricsPanel().HasLines());
  EXPECT_TRUE(screen_.Playlist()->SongStarted());
  ce::testing::AdvanceClockAndPump(*clock_, 2000);
  EXPECT_NE(Bar().Text(), u"連線.") << "the connecting timer ended with the ticket";
}

TEST_F(PlayerBarTest, EntryWithoutASongLinkEndsConnectingAtOnce) {
  zolfa::FeedItem item;
  item.title = u"外站";
  item.link = u"http://example.test/a.mp3";  // playable, but no catalogue song
  screen_.Playlist()->AddItem(item, true);
  EXPECT_TRUE(core_.songs.empty());
  EXPECT_EQ(Bar().Text(), u"");
  EXPECT_TRUE(screen_.Playlist()->SongStarted());
}

TEST_F(PlayerBarTest, TicketAfterTheUserStoppedDoesNotPlay) {
  screen_.Playlist()->SelectAndPlay(0);
  screen_.Playlist()->Stop();
  EXPECT_TRUE(Bar().StoppedOnPurpose());
  control_->ClearCalls();
  DeliverTicket(u"http://ss.zolfa.test:80/ps2_late.wma?1");
  EXPECT_EQ(control_->Url(), u"");
  EXPECT_EQ(Calls("SetUrl http://ss.zolfa.test:80/ps2_late.wma?1"), 0);
}

TEST_F(PlayerBarTest, LyricsModeWithoutLyricsFallsBackToTheSongList) {
  screen_.Playlist()->SelectAndPlay(0);
  screen_.Playlist()->SetDisplayMode(1);
  DeliverTicket(u"http://ss.zolfa.test:80/ps2_b.wma?1");
  EXPECT_EQ(screen_.Playlist()->DisplayMode(), 0);
}

TEST_F(PlayerBarTest, PlayButtonStopsWhilePlayingAndOtherwiseAsksAgain) {
  const struct {
    int32_t coreState;
    bool stops;
  } cases[] = {{3, true}, {0, false}, {1, false}, {2, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.coreState);
    core_.songs.clear();
    screen_.Playlist()->SetSelected(2);
    core_.playState = c.coreState;
    Click(CDlgPlayer::kPlayButton);
    if (c.stops) {
      EXPECT_TRUE(core_.songs.empty());
      EXPECT_TRUE(Bar().StoppedOnPurpose());
      EXPECT_EQ(screen_.Playlist()->CurrentIndex(), -1);
    } else {
      EXPECT_EQ(core_.songs, std::vector<std::u16string>{u"33"});
      EXPECT_FALSE(Bar().StoppedOnPurpose());
      EXPECT_EQ(screen_.Playlist()->CurrentIndex(), 2);
    }
  }
}

TEST_F(PlayerBarTest, PlayStatesSetStatusImageAndTheEndPlaysTheNextSong) {
  screen_.Playlist()->SelectAndPlay(0);
  const struct {
    ce::LONG controlState;
    int32_t coreState;
    const char16_t* text;
    ce::UINT image;
  } steps[] = {
      {ce::kPlayStatePlaying, 3, u"播放中", zolfa::kStopImage},
      {ce::kPlayStateBuffering, 0, u"資料讀取中...", zolfa::kStopImage},  // image kept
      {ce::kPlayStatePaused, 2, u"暫停", zolfa::kPlayImage},
      {ce::kPlayStateStopped, 1, u"停止", zolfa::kPlayImage},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.controlState);
    ce::SendMessage(Bar(), zolfa::MSG_MEDIA_PLAY_STATE_CHANGE, step.controlState, 0);
    ce::testing::PumpUntilIdle();
    EXPECT_EQ(core_.playState, step.coreState);
    EXPECT_EQ(Bar().Text(), step.text);
    EXPECT_EQ(Bar().PlayImage(), step.image);
  }
  core_.songs.clear();
  ce::SendMessage(Bar(), zolfa::MSG_MEDIA_PLAY_STATE_CHANGE, ce::kPlayStateMediaEnded, 0);
  EXPECT_EQ(core_.songs, std::vector<std::u16string>{u"22"});
}

TEST_F(PlayerBarTest, PositionShowsTheTimeAndMovesTheLyrics) {
  screen_.Playlist()->SetLyrics(u"[00:01-00:03]一\n[75:00-75:10]二");
  ce::SendMessage(Bar(), zolfa::MSG_PLAYER_POSITION, 4503, 4600);
  EXPECT_EQ(Bar().Text(), u"75:03");
  EXPECT_EQ(Bar().TrackRange(), 4600);
  EXPECT_EQ(Bar().TrackPosition(), 4503);
  EXPECT_EQ(screen_.LyricsPanel().Lyrics().Model().HighlightIndex(), 1);
}

TEST_F(PlayerBarTest, VolumeButtonsMuteAndTheStylusReachTheControl) {
  Click(CDlgPlayer::kVolumeDownButton);
  EXPECT_EQ(LastVolume(), "SetVolume 60");
  Click(CDlgPlayer::kMuteButton);
  EXPECT_EQ(LastVolume(), "SetVolume 0");
  EXPECT_TRUE(Bar().Volume().Muted());
  // While muted the connecting display's end leaves the control silent.
  control_->ClearCalls();
  Bar().EndConnecting();
  EXPECT_EQ(LastVolume(), "");
  ce::SendMessage(Bar(), ce::WM_LBUTTONDOWN, 0, ce::MAKELPARAM(194, 20));
  EXPECT_FALSE(Bar().Volume().Muted());
  EXPECT_EQ(Bar().Volume().Percent(), 50);
  EXPECT_EQ(LastVolume(), "SetVolume 50");
}

TEST_F(PlayerBarTest, HiddenBrowseButtonAsksForTheMainScreen) {
  Click(CDlgPlayer::kBrowseButton);
  EXPECT_EQ(core_.requestedScreen, 2);
}

}  // namespace
