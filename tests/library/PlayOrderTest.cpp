#include <gtest/gtest.h>

#include <functional>

#include "platform/base/DeviceFile.h"
#include "platform/base/Random.h"
#include "platform/base/Registry.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/LocalTime.h"
#include "tests/support/RecordingOwner.h"
#include "zolfa/library/AtomicFile.h"
#include "zolfa/library/CCoreCurPlaylist.h"

namespace zolfa {
namespace {

using test_support::RecordingCore;
using test_support::RecordingOwner;
using test_support::Song;

constexpr unsigned kSeed = 4242;
// An expected current index of kOrder + k means element k of the shuffle
// order as it stands after the step.
constexpr int kOrder = 100;

// How many numbers the generator gave since it was seeded with kSeed.
int DrawsSinceSeed() {
  int next = ce::rand();
  ce::srand(kSeed);
  for (int draws = 0; draws < 1000; ++draws) {
    if (ce::rand() == next) return draws;
  }
  return -1;
}

struct Step {
  bool next;  // PlayNextSong, else PlayPrevSong
  int result;
  int current;
  int cursor;
  int draws;
};

struct PlayOrderCase {
  const char* name;
  int count;
  bool shuffle;
  bool repeat;
  int current;
  std::vector<Step> steps;
  std::function<void(CCoreCurPlaylist&)> setup = nullptr;
};

void PrintTo(const PlayOrderCase& c, std::ostream* os) { *os << c.name; }

class PlayOrderTest : public ::testing::TestWithParam<PlayOrderCase> {
 protected:
  PlayOrderTest() : core(owner.log) {}
  ce::testing::TempDeviceRoot root;
  RecordingOwner owner;
  RecordingCore core;
};

constexpr bool kNext = true;
constexpr bool kPrev = false;

TEST_P(PlayOrderTest, FollowsTheModes) {
  const PlayOrderCase& c = GetParam();
  CCoreCurPlaylist playlist(owner, core);
  std::vector<FeedItem> songs;
  for (int i = 0; i < c.count; ++i) {
    std::u16string id = ce::FromUtf8(std::to_string(i));
    songs.push_back(Song(u"s" + id, id));
  }
  playlist.AddItems(songs, false, false);
  if (c.repeat) playlist.ToggleRepeat();
  if (c.shuffle) playlist.ToggleShuffle();
  if (c.setup) c.setup(playlist);
  playlist.SetCurrent(c.current);

  for (size_t i = 0; i < c.steps.size(); ++i) {
    const Step& step = c.steps[i];
    SCOPED_TRACE("step " + std::to_string(i));
    ce::srand(kSeed);
    owner.player.played.clear();
    int result = step.next ? playlist.PlayNextSong() : playlist.PlayPrevSong();
    int draws = DrawsSinceSeed();
    EXPECT_EQ(result, step.result);
    int current = step.current;
    if (current >= kOrder) current = playlist.ShuffleOrder().at(current - kOrder);
    EXPECT_EQ(playlist.CurrentIndex(), current);
    EXPECT_EQ(core.index_, current);
    EXPECT_EQ(playlist.ShufflePosition(), step.cursor);
    EXPECT_EQ(draws, step.draws);
    if (result == 1 && current >= 0 && current < c.count) {
      ASSERT_EQ(owner.player.played.size(), 1u);
      EXPECT_EQ(owner.player.played[0].title, u"s" + ce::FromUtf8(std::to_string(current)));
    } else if (result == 0) {
      EXPECT_TRUE(owner.player.played.empty());
      EXPECT_EQ(playlist.DisplayMode(), 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlayOrderTest,
    ::testing::Values(
        PlayOrderCase{"InOrderLastStops", 4, false, false, 3, {{kNext, 0, -1, -1, 0}}},
        PlayOrderCase{"InOrderLastWraps", 4, false, true, 3, {{kNext, 1, 0, -1, 0}}},
        PlayOrderCase{"InOrderFirstPrevStops", 4, false, false, 0, {{kPrev, 0, -1, -1, 0}}},
        PlayOrderCase{"InOrderFirstPrevWraps", 4, false, true, 0, {{kPrev, 1, 3, -1, 0}}},
        PlayOrderCase{"InOrderNothingPlaying", 4, false, false, -1, {{kNext, 1, 0, -1, 0}}},
        PlayOrderCase{"InOrderMiddle",
                      4,
                      false,
                      false,
                      1,
                      {{kNext, 1, 2, -1, 0}, {kPrev, 1, 1, -1, 0}, {kPrev, 1, 0, -1, 0}}},
        PlayOrderCase{"InOrderEmptyRepeatOn", 0, false, true, -1, {{kNext, 1, 0, -1, 0}}},
        PlayOrderCase{"ShufflePassRepeatOff",
                      4,
                      true,
                      false,
                      2,
                      {{kNext, 1, 2, 3, 0}, {kNext, 1, kOrder + 3, 4, 0}, {kNext, 0, -1, 0, 8}}},
        PlayOrderCase{"ShufflePassRepeatOn",
                      4,
                      true,
                      true,
                      2,
                      {{kNext, 1, 2, 3, 0},
                       {kNext, 1, kOrder + 3, 4, 0},
                       {kNext, 1, kOrder + 0, 1, 8},
                       {kNext, 1, kOrder + 1, 2, 0}}},
        PlayOrderCase{"ShufflePrevAtStartRepeatOff",
                      4,
                      true,
                      false,
                      1,
                      {{kPrev, 0, -1, 3, 8}, {kPrev, 1, kOrder + 3, 2, 0}}},
        PlayOrderCase{
            "ShufflePrevAtStartRepeatOn", 4, true, true, 1, {{kPrev, 1, kOrder + 3, 2, 8}}},
        PlayOrderCase{"ShuffleSharedCursor",
                      4,
                      true,
                      false,
                      0,
                      {{kNext, 1, 0, 3, 0},
                       {kPrev, 1, kOrder + 3, 2, 0},
                       {kNext, 1, kOrder + 2, 3, 0},
                       {kNext, 1, kOrder + 3, 4, 0},
                       {kPrev, 1, kOrder + 3, 0, 0}}},
        // The list empties with the cursor inside the order: next ends the
        // pass and has no element to wrap to.
        PlayOrderCase{"ShuffleEmptyRepeatOnNext",
                      2,
                      true,
                      true,
                      -1,
                      {{kNext, 0, -1, 0, 0}, {kNext, 0, -1, 0, 0}},
                      [](CCoreCurPlaylist& p) {
                        p.PlayNextSong();
                        p.RemoveAt(0);
                        p.RemoveAt(0);
                      }},
        PlayOrderCase{"ShuffleEmptyRepeatOnPrev", 0, true, true, -1, {{kPrev, 0, -1, -1, 0}}},
        PlayOrderCase{"ShuffleOneEntry",
                      1,
                      true,
                      false,
                      0,
                      {{kNext, 1, 0, 0, 0}, {kNext, 1, 0, 1, 0}, {kNext, 0, -1, 0, 2}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShuffleOrderTest, ExchangesEveryDrawWithTheFirstElement) {
  ce::testing::TempDeviceRoot root;
  RecordingOwner owner;
  RecordingCore core(owner.log);
  CCoreCurPlaylist playlist(owner, core);
  ce::srand(kSeed);
  playlist.BuildShuffleOrder();
  EXPECT_TRUE(playlist.ShuffleOrder().empty());
  EXPECT_EQ(DrawsSinceSeed(), 0);

  playlist.AddItem(Song(u"a", u"1"), false);
  ce::srand(kSeed);
  playlist.BuildShuffleOrder();
  EXPECT_EQ(playlist.ShuffleOrder(), (std::vector<int32_t>{0}));
  EXPECT_EQ(DrawsSinceSeed(), 2);

  for (int i = 2; i <= 5; ++i) playlist.AddItem(Song(u"s", u"1"), false);
  ce::srand(kSeed);
  std::vector<int32_t> expected = {0, 1, 2, 3, 4};
  for (int k = 0; k < 10; ++k) std::swap(expected[0], expected[ce::rand() % 5]);
  ce::srand(kSeed);
  playlist.BuildShuffleOrder();
  EXPECT_EQ(playlist.ShuffleOrder(), expected);
  EXPECT_EQ(playlist.ShufflePosition(), -1);  // building keeps the cursor
}

TEST(ShuffleOrderTest, OrderIsRebuiltWhenTheCountChangesWhileShuffleIsOn) {
  ce::testing::TempDeviceRoot root;
  RecordingOwner owner;
  RecordingCore core(owner.log);
  CCoreCurPlaylist playlist(owner, core);
  playlist.ToggleShuffle();
  playlist.AddItems({Song(u"a", u"1"), Song(u"b", u"2"), Song(u"c", u"3")}, false, false);
  EXPECT_EQ(playlist.ShuffleOrder().size(), 3u);
  playlist.AddItem(Song(u"d", u"4"), false);
  EXPECT_EQ(playlist.ShuffleOrder().size(), 4u);
  playlist.RemoveAt(0);
  EXPECT_EQ(playlist.ShuffleOrder().size(), 3u);
  ce::srand(kSeed);
  playlist.MoveUp(2);
  playlist.MoveDown(0);
  EXPECT_EQ(DrawsSinceSeed(), 0);
  playlist.SaveState();

  // Shuffle stored on: Load builds the order of what it read.
  CCoreCurPlaylist again(owner, core);
  again.Load();
  EXPECT_EQ(again.ShuffleMode(), kShuffleOn);
  EXPECT_EQ(again.ShuffleOrder().size(), 3u);
}

TEST(ShuffleOrderTest, TogglesShowTheButtonsAndLeaveOtherValuesAlone) {
  ce::testing::TempDeviceRoot root;
  ce::HKEY key = nullptr;
  ce::DWORD disposition = 0;
  ASSERT_EQ(ce::RegCreateKeyEx(ce::HKEY_CURRENT_USER, u"Software\\Quendal\\zolfa", 0, nullptr, 0,
                               ce::KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ce::ERROR_SUCCESS);
  ce::BYTE five = 5;
  ce::RegSetValueEx(key, u"shuffle", 0, ce::REG_DWORD, &five, 1);
  ce::RegCloseKey(key);

  RecordingOwner owner;
  RecordingCore core(owner.log);
  CCoreCurPlaylist playlist(owner, core);
  playlist.AddItems({Song(u"a", u"1"), Song(u"b", u"2")}, false, false);
  playlist.SetCurrent(1);
  owner.log.clear();
  playlist.ToggleShuffle();
  EXPECT_EQ(playlist.ShuffleMode(), 5);
  EXPECT_EQ(owner.log, (test_support::CallLog{"RepaintList"}));
  // Any other value replays the current entry.
  EXPECT_EQ(playlist.PlayNextSong(), 1);
  EXPECT_EQ(playlist.PlayPrevSong(), 1);
  EXPECT_EQ(playlist.CurrentIndex(), 1);
  ASSERT_EQ(owner.player.played.size(), 2u);
  EXPECT_EQ(owner.player.played[1].title, u"b");

  owner.log.clear();
  playlist.ToggleRepeat();
  playlist.ToggleRepeat();
  EXPECT_EQ(owner.log,
            (test_support::CallLog{"RepeatButton(1)", "RepaintList", "RepeatButton(0)", "RepaintList"}));
}

TEST(PlayNextSongTest, AFailureInsideIsLoggedAndReportsPlaying) {
  ce::testing::TempDeviceRoot root;
  ce::testing::ScopedVirtualClock clock;
  test_support::SetLocalTime(*clock, 2024, 3, 1, 9, 5, 3);
  RecordingOwner owner;
  RecordingCore core(owner.log);
  CCoreCurPlaylist playlist(owner, core);
  playlist.AddItems({Song(u"a", u"1"), Song(u"b", u"2")}, false, false);
  owner.player.throwOnPlay = true;
  EXPECT_EQ(playlist.PlayNextSong(), 1);
  EXPECT_EQ(playlist.PlayNextSong(), 1);
  std::string log;
  ASSERT_TRUE(
      ReadDeviceFile(u"\\Program Files\\Zolfa\\CCoreCurPlaylist.log", ce::OPEN_EXISTING, log));
  EXPECT_EQ(log, "09h05m03s: in PlayNextSong\r\n09h05m03s: in PlayNextSong\r\n");
}

}  // namespace
}  // namespace zolfa
