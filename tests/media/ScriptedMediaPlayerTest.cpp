#include "platform/media/ScriptedMediaPlayer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "tests/media/MediaRecorder.h"

namespace ce {
namespace {

using testing::AdvanceClockAndPump;
using testing::PumpUntilIdle;

class ScriptedMediaPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(player_.Advise(&recorder_, &cookie_), S_OK); }
  void TearDown() override { player_.Unadvise(cookie_); }
  double Position() {
    double seconds = -1;
    EXPECT_EQ(player_.GetCurrentPosition(&seconds), S_OK);
    return seconds;
  }

  testing::TempDeviceRoot root_;
  testing::ScopedVirtualClock clock_;
  ScriptedMediaPlayer player_;
  testing::MediaRecorder recorder_;
  DWORD cookie_ = 0;
};

TEST_F(ScriptedMediaPlayerTest, ASongRunsOnTheVirtualClockFromOpeningToItsEnd) {
  player_.SetDuration(5);
  player_.SetOpenDelayMs(300);
  ASSERT_EQ(player_.SetUrl(u"http://h/ps2_a.wma?1"), S_OK);
  // Events arrive through the thread's messages, after the call.
  EXPECT_TRUE(recorder_.playStates.empty());
  PumpUntilIdle();
  EXPECT_EQ(recorder_.playStates, (std::vector<LONG>{9, 6}));
  AdvanceClockAndPump(*clock_, 300);
  EXPECT_EQ(recorder_.playStates, (std::vector<LONG>{9, 6, 3}));
  EXPECT_EQ(recorder_.openStates, (std::vector<LONG>{8, 10, 13}));
  double duration = 0;
  player_.GetDuration(&duration);
  EXPECT_EQ(duration, 5);

  AdvanceClockAndPump(*clock_, 2000);
  EXPECT_DOUBLE_EQ(Position(), 2.0);
  player_.Pause();
  AdvanceClockAndPump(*clock_, 10000);  // a paused song never ends
  EXPECT_DOUBLE_EQ(Position(), 2.0);
  EXPECT_EQ(recorder_.playStates.back(), kPlayStatePaused);
  player_.Play();
  AdvanceClockAndPump(*clock_, 2999);
  EXPECT_EQ(recorder_.playStates.back(), kPlayStatePlaying);
  AdvanceClockAndPump(*clock_, 1);
  EXPECT_EQ(recorder_.playStates, (std::vector<LONG>{9, 6, 3, 2, 3, 8, 1}));
  EXPECT_EQ(Position(), 0);

  // Play after the end opens the media again.
  player_.Play();
  PumpUntilIdle();
  AdvanceClockAndPump(*clock_, 300);
  EXPECT_EQ(recorder_.playStates.back(), kPlayStatePlaying);
  std::u16string name;
  player_.GetName(&name);
  EXPECT_EQ(name, u"ps2_a");
}

TEST_F(ScriptedMediaPlayerTest, TestsForceStatesAndFailuresAndSeeTheCalls) {
  player_.FailNextSetUrl(E_INVALIDARG);
  EXPECT_EQ(player_.SetUrl(u"http://h/a.wma"), E_INVALIDARG);
  EXPECT_EQ(player_.SetUrl(u"http://h/a.wma"), S_OK);
  PumpUntilIdle();
  player_.ForcePlayState(kPlayStateBuffering);
  PumpUntilIdle();
  EXPECT_EQ(recorder_.playStates.back(), kPlayStateBuffering);
  player_.FailPosition(true);
  double seconds = 0;
  EXPECT_EQ(player_.GetCurrentPosition(&seconds), E_FAIL);
  player_.FailPosition(false);
  EXPECT_EQ(player_.SetCurrentPosition(1.5), S_OK);
  PumpUntilIdle();
  ASSERT_EQ(recorder_.positions.size(), 1u);
  EXPECT_EQ(recorder_.positions[0].second, 1.5);
  player_.SetVolume(30);
  player_.SetMute(true);
  player_.Stop();
  EXPECT_EQ(player_.Calls(),
            (std::vector<std::string>{"SetUrl http://h/a.wma", "SetUrl http://h/a.wma",
                                      "SetCurrentPosition 1.500000", "SetVolume 30", "SetMute 1",
                                      "Stop"}));
  EXPECT_TRUE(player_.Advised());
}

}  // namespace
}  // namespace ce
