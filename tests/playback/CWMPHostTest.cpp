#include "zolfa/playback/CWMPHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/framework/Application.h"
#include "platform/media/MediaContainer.h"
#include "platform/media/ScriptedMediaPlayer.h"
#include "platform/system/Power.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Message.h"
#include "zolfa/playback/CWMPHostMessages.h"
#include "zolfa/playback/CWMPHostPlayStates.h"

namespace zolfa {
namespace {

using ce::testing::AdvanceClockAndPump;
using ce::testing::PumpUntilIdle;

struct Posted {
  ce::UINT message;
  ce::WPARAM wParam;
  ce::LPARAM lParam;
  bool operator==(const Posted&) const = default;
};

// The top dialog as the sink sees it: the application's main window.
class MainWindow : public ce::Window {
 public:
  std::vector<Posted> posted;

 protected:
  bool OnMessage(ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam, ce::LRESULT*) override {
    if (message != MSG_MEDIA_OPEN_STATE_CHANGE && message != MSG_MEDIA_PLAY_STATE_CHANGE &&
        message != MSG_MEDIA_POSITION_CHANGE) {
      return false;
    }
    posted.push_back({message, wParam, lParam});
    return true;
  }
};

class TestApplication : public ce::Application {
 public:
  TestApplication() : Application(u"ZolfaCE") {}
};

class CWMPHostTest : public ::testing::Test, public CWMPHost::Owner {
 protected:
  void SetUp() override {
    ASSERT_TRUE(main_.Create(nullptr, u"ZolfaCE", 0, ce::RECT{0, 0, 240, 320}, nullptr, 0));
    application_.SetMainWindow(&main_);
    previousFactory_ = ce::SetMediaPlayerFactory([this](ce::HRESULT* error) {
      std::unique_ptr<ce::ScriptedMediaPlayer> player;
      if (failCreation_) {
        *error = ce::E_FAIL;
      } else {
        player = std::make_unique<ce::ScriptedMediaPlayer>();
        player->SetDuration(10);
        player->SetOpenDelayMs(200);
        control_ = player.get();
      }
      return player;
    });
  }
  void TearDown() override {
    host_.reset();
    // The host asks the application to quit as it goes.
    ce::MSG msg;
    while (ce::PeekMessage(&msg, nullptr, ce::WM_QUIT, ce::WM_QUIT, ce::PM_REMOVE)) {
    }
    ce::SetMediaPlayerFactory(previousFactory_);
  }
  void EndConnecting() override { ++endConnecting_; }

  void MakeHost() {
    host_ = std::make_unique<CWMPHost>(*this);
    ASSERT_TRUE(host_->CreateHost(screen_));
    ASSERT_NE(control_, nullptr);
  }
  // Opens a song and lets it play until the control says it plays.
  void PlaySong(const std::u16string& url = u"http://ss.zolfa.test/ps2_a.wma?1") {
    ASSERT_TRUE(host_->PlayMedia(url));
    AdvanceClockAndPump(*clock_, 200);
    ASSERT_EQ(control_->PlayState(), ce::kPlayStatePlaying);
  }
  std::vector<Posted> Positions() {
    std::vector<Posted> positions;
    for (const auto& p : screenPosted_)
      if (p.message == MSG_PLAYER_POSITION) positions.push_back(p);
    return positions;
  }
  int Calls(const std::string& call) {
    const auto& calls = control_->Calls();
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
  }

  ce::testing::TempDeviceRoot root_;
  ce::testing::ScopedVirtualClock clock_;
  ce::testing::ScriptedUser user_;
  TestApplication application_;
  MainWindow main_;
  std::vector<Posted> screenPosted_;
  ce::testing::TestWindow screen_{[this](ce::HWND window, ce::UINT message, ce::WPARAM wParam,
                                         ce::LPARAM lParam) -> ce::LRESULT {
    if (message == MSG_PLAYER_POSITION) screenPosted_.push_back({message, wParam, lParam});
    return ce::DefWindowProc(window, message, wParam, lParam);
  }};
  ce::MediaPlayerFactory previousFactory_;
  bool failCreation_ = false;
  ce::ScriptedMediaPlayer* control_ = nullptr;
  int endConnecting_ = 0;
  std::unique_ptr<CWMPHost> host_;
};

TEST_F(CWMPHostTest, TheHostIsAnInvisibleChildHoldingTheControlInItsContainer) {
  MakeHost();
  EXPECT_EQ(host_->GetWindowText(), u"Media Bookmarker");
  EXPECT_EQ(host_->GetDlgCtrlID(), 30579);
  EXPECT_EQ(host_->GetParent(), screen_.Handle());
  ce::RECT rect = host_->GetClientRect();
  EXPECT_EQ(rect.right - rect.left, 0);
  ce::HWND container = ce::GetWindow(*host_, ce::GW_CHILD);
  char16_t name[32] = {};
  ce::GetClassName(container, name, 32);
  EXPECT_EQ(std::u16string(name), u"AtlAxWin80");
  EXPECT_EQ(static_cast<ce::DWORD>(ce::GetWindowLong(container, ce::GWL_STYLE)), 0x56000000u);
  EXPECT_EQ(ce::ContainerControl(container), control_);
  EXPECT_TRUE(control_->Advised());
}

TEST_F(CWMPHostTest, AControlThatCannotBeMadeIsReportedAndEndsTheApplication) {
  failCreation_ = true;
  host_ = std::make_unique<CWMPHost>(*this);
  EXPECT_FALSE(host_->CreateHost(screen_));
  auto boxes = user_.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"Error code = 80004005");
  EXPECT_EQ(boxes[0].caption, u"Error");
  EXPECT_EQ(boxes[0].flags & ce::MB_ICONERROR, ce::MB_ICONERROR);
  ce::MSG msg;
  EXPECT_TRUE(ce::PeekMessage(&msg, nullptr, ce::WM_QUIT, ce::WM_QUIT, ce::PM_REMOVE));
  // The operations of a host without a control do nothing.
  EXPECT_FALSE(host_->PlayMedia(u"http://ss.zolfa.test/a.wma"));
  host_->StopMedia();
  host_->SetVolume(50);
}

TEST_F(CWMPHostTest, EventsReachTheMainWindowAndPositionsTheScreenFromTheFirstSecond) {
  MakeHost();
  const std::u16string url = u"http://ss.zolfa.test/ps2_a.wma?1";
  ASSERT_TRUE(host_->PlayMedia(url));
  EXPECT_EQ(control_->Calls(), (std::vector<std::string>{"Stop", "SetUrl " + std::string(url.begin(), url.end())}));
  EXPECT_TRUE(host_->PlayRequested());
  AdvanceClockAndPump(*clock_, 200);
  std::vector<ce::WPARAM> playStates, openStates;
  for (const auto& p : main_.posted) {
    EXPECT_EQ(p.lParam, 0);
    if (p.message == MSG_MEDIA_PLAY_STATE_CHANGE) playStates.push_back(p.wParam);
    if (p.message == MSG_MEDIA_OPEN_STATE_CHANGE) openStates.push_back(p.wParam);
  }
  EXPECT_EQ(playStates, (std::vector<ce::WPARAM>{9, 6, 3}));
  EXPECT_EQ(openStates, (std::vector<ce::WPARAM>{8, 10, 13}));

  // Polls at 0.5 s and 1.0 s after the URL; the song has played 0.3 s and
  // 0.8 s then: nothing is shown below one second.
  AdvanceClockAndPump(*clock_, 800);
  EXPECT_TRUE(Positions().empty());
  EXPECT_EQ(endConnecting_, 0);
  AdvanceClockAndPump(*clock_, 500);  // 1.3 s played
  EXPECT_EQ(Positions(), (std::vector<Posted>{{MSG_PLAYER_POSITION, 1, 10}}));
  EXPECT_EQ(endConnecting_, 1);
  AdvanceClockAndPump(*clock_, 1000);
  EXPECT_EQ(Positions().size(), 3u);
  EXPECT_EQ(Positions().back(), (Posted{MSG_PLAYER_POSITION, 2, 10}));
  EXPECT_EQ(endConnecting_, 3);

  // A jump of the position reaches the main window in whole seconds.
  control_->SetCurrentPosition(7.9);
  PumpUntilIdle();
  EXPECT_EQ(main_.posted.back(), (Posted{MSG_MEDIA_POSITION_CHANGE, 2, 7}));
}

TEST_F(CWMPHostTest, TheURLTheControlRefusesIsShownAndStartsNoTimer) {
  MakeHost();
  control_->FailNextSetUrl(ce::E_INVALIDARG);
  EXPECT_FALSE(host_->PlayMedia(u"zolfa://bad"));
  auto boxes = user_.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"put_URL failed, URL == zolfa://bad");
  ce::SetDevicePowerState(u"unattended", ce::POWER_STATE_UNATTENDED);
  AdvanceClockAndPump(*clock_, 3000);
  EXPECT_EQ(Calls("Pause"), 0);
  EXPECT_TRUE(Positions().empty());
}

TEST_F(CWMPHostTest, ThePowerWatchPausesOnExactNamesAndWholeFlagWords) {
  struct Case {
    const char16_t* name;
    ce::DWORD flags;
    bool pauses;
  };
  const Case cases[] = {
      {u"unattended", 0, true},
      {u"resuming", 0, true},
      {u"on", ce::POWER_STATE_UNATTENDED, true},
      {u"on", ce::POWER_STATE_PASSWORD, true},
      {u"Unattended", 0, false},  // names compare case-sensitively
      {u"resuming ", 0, false},
      {u"on", ce::POWER_STATE_UNATTENDED | ce::POWER_STATE_ON, false},  // not a bit test
      {u"on", ce::POWER_STATE_PASSWORD | ce::POWER_STATE_ON, false},
      {u"on", ce::POWER_STATE_ON, false},
  };
  MakeHost();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name)) + " " +
                 std::to_string(c.flags));
    ASSERT_EQ(ce::SetDevicePowerState(u"on", ce::POWER_STATE_ON), ce::ERROR_SUCCESS);
    PlaySong();
    control_->ClearCalls();
    screenPosted_.clear();
    ASSERT_EQ(ce::SetDevicePowerState(c.name, c.flags), ce::ERROR_SUCCESS);
    AdvanceClockAndPump(*clock_, 1000);
    EXPECT_EQ(Calls("Pause") > 0, c.pauses);
    EXPECT_EQ(control_->PlayState(), c.pauses ? ce::kPlayStatePaused : ce::kPlayStatePlaying);
    if (c.pauses) {
      // The poll has stopped; the watch pauses again every second and never
      // resumes by itself.
      size_t shown = Positions().size();
      int pauses = Calls("Pause");
      AdvanceClockAndPump(*clock_, 2000);
      EXPECT_EQ(Positions().size(), shown);
      EXPECT_EQ(Calls("Pause"), pauses + 2);
      EXPECT_EQ(control_->PlayState(), ce::kPlayStatePaused);
    }
  }
}

TEST_F(CWMPHostTest, StopEndsThePollButTheWatchGoesOn) {
  MakeHost();
  PlaySong();
  AdvanceClockAndPump(*clock_, 1500);
  ASSERT_FALSE(Positions().empty());
  host_->StopMedia();
  EXPECT_FALSE(host_->PlayRequested());
  size_t shown = Positions().size();
  ce::SetDevicePowerState(u"resuming", 0);
  control_->ClearCalls();
  AdvanceClockAndPump(*clock_, 3000);
  EXPECT_EQ(Positions().size(), shown);
  EXPECT_EQ(Calls("Pause"), 3);

  // Playing again restarts both timers.
  ce::SetDevicePowerState(u"on", ce::POWER_STATE_ON);
  PlaySong(u"http://ss.zolfa.test/ps2_b.wma?2");
  AdvanceClockAndPump(*clock_, 1500);
  EXPECT_GT(Positions().size(), shown);
}

TEST_F(CWMPHostTest, VolumeIsClampedToTheControlsRange) {
  MakeHost();
  for (int percent : {150, -5, 42}) host_->SetVolume(percent);
  EXPECT_EQ(control_->Calls(),
            (std::vector<std::string>{"SetVolume 100", "SetVolume 0", "SetVolume 42"}));
}

TEST_F(CWMPHostTest, DestroyingTheHostClosesTheControlAndAsksTheApplicationToQuit) {
  MakeHost();
  PlaySong();
  ce::HWND container = ce::GetWindow(*host_, ce::GW_CHILD);
  host_.reset();
  EXPECT_FALSE(ce::IsWindow(container));
  EXPECT_EQ(ce::ContainerControl(container), nullptr);
  ce::MSG msg;
  EXPECT_TRUE(ce::PeekMessage(&msg, nullptr, ce::WM_QUIT, ce::WM_QUIT, ce::PM_REMOVE));
  // Nothing the control had queued reaches the main window afterwards.
  size_t posted = main_.posted.size();
  AdvanceClockAndPump(*clock_, 20000);
  EXPECT_EQ(main_.posted.size(), posted);
}

// The player screen's reactions to the control's play states.
class PlayStateRecorder : public IPlayStateOwner {
 public:
  void SetCorePlayState(int32_t state) override { calls.push_back("core " + std::to_string(state)); }
  void PostPlayerStatus(int32_t status) override { calls.push_back("status " + std::to_string(status)); }
  void PlayNext() override { calls.push_back("next"); }
  std::vector<std::string> calls;
};

TEST(CWMPHostPlayStatesTest, EachControlStateHasItsReaction) {
  const std::pair<ce::LONG, std::vector<std::string>> table[] = {
      {1, {"core 1", "status 1"}},
      {2, {"core 2", "status 2"}},
      {3, {"core 3", "status 3"}},
      {6, {"core 4", "status 4"}},
      {8, {"next"}},
      {0, {}}, {4, {}}, {5, {}}, {7, {}}, {9, {}}, {10, {}}, {11, {}}, {-1, {}}, {99, {}},
  };
  for (const auto& [state, expected] : table) {
    SCOPED_TRACE(state);
    PlayStateRecorder owner;
    HandleControlPlayState(state, owner);
    EXPECT_EQ(owner.calls, expected);
  }
}

}  // namespace
}  // namespace zolfa
