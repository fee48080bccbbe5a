// The lyrics and album-cover panels in the current-playlist screen: they
// stand in the list's place, show for display modes 1 and 2, receive the
// lyrics, the position and the cover, and their menus switch the mode.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/media/MediaPlayer.h"
#include "platform/media/ScriptedMediaPlayer.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "tests/support/QuietScreenCore.h"
#include "zolfa/library/CDlgCurPlaylist.h"
#include "zolfa/library/CurPlaylistMessages.h"
#include "zolfa/playback/DisplayModeMenu.h"

namespace {

using QuietCore = test_support::QuietScreenCore;

bool Shown(ce::HWND window) {
  return (ce::GetWindowLong(window, ce::GWL_STYLE) & ce::WS_VISIBLE) != 0;
}

class CurPlaylistPanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousFactory_ = ce::SetMediaPlayerFactory(
        [](ce::HRESULT*) { return std::make_unique<ce::ScriptedMediaPlayer>(); });
    ASSERT_TRUE(screen_.Create(parent_));
    screen_.MoveWindow(0, 0, 240, 268);
    ASSERT_NE(screen_.Playlist(), nullptr);
  }

  void TearDown() override {
    screen_.DestroyWindow();
    // The player bar's media host asks the application to quit as it goes.
    ce::MSG msg;
    while (ce::PeekMessage(&msg, nullptr, ce::WM_QUIT, ce::WM_QUIT, ce::PM_REMOVE)) {
    }
    ce::SetMediaPlayerFactory(previousFactory_);
  }

  ce::testing::TempDeviceRoot root_;
  ce::MediaPlayerFactory previousFactory_;
  ce::testing::TestWindow parent_{
      [](ce::HWND w, ce::UINT m, ce::WPARAM wp, ce::LPARAM lp) {
        return ce::DefWindowProc(w, m, wp, lp);
      },
      nullptr, ce::WS_POPUP};
  QuietCore core_;
  CDlgCurPlaylist screen_{core_, core_, core_, nullptr};
};

TEST_F(CurPlaylistPanelsTest, PanelsStandInTheListsPlaceAndShowForTheirModes) {
  const ce::RECT place = screen_.PanelPlace();
  for (ce::Window* panel : {static_cast<ce::Window*>(&screen_.LyricsPanel()),
                            static_cast<ce::Window*>(&screen_.CoverPanel())}) {
    ce::RECT rect = panel->GetWindowRect();
    ce::RECT origin = screen_.GetWindowRect();
    EXPECT_EQ(rect.top - origin.top, place.top);
    EXPECT_EQ(rect.bottom - rect.top, place.bottom - place.top);
    EXPECT_EQ(rect.right - rect.left, place.right - place.left);
    EXPECT_FALSE(Shown(*panel));
  }
  const struct {
    int32_t mode;
    bool lyrics, cover;
  } steps[] = {{1, true, false}, {2, false, true}, {0, false, false}};
  for (const auto& step : steps) {
    screen_.Playlist()->SetDisplayMode(step.mode);
    EXPECT_EQ(Shown(screen_.LyricsPanel()), step.lyrics) << step.mode;
    EXPECT_EQ(Shown(screen_.CoverPanel()), step.cover) << step.mode;
  }
}

TEST_F(CurPlaylistPanelsTest, LyricsPositionAndCoverReachThePanels) {
  screen_.Playlist()->SetLyrics(u"[00:01-00:03]第一句\n[00:03-00:05]second");
  ASSERT_TRUE(screen_.LyricsPanel().HasLines());
  EXPECT_EQ(screen_.LyricsPanel().Lyrics().Model().Lines()[0].text.size(), 6u);  // code page 950
  screen_.Playlist()->SetLyricsPosition(3);
  EXPECT_EQ(screen_.LyricsPanel().Lyrics().Model().HighlightIndex(), 1);

  // A worker's cover arrives as a posted record.
  ce::PostMessage(screen_, zolfa::MSG_ALBUM_COVER, 0,
                  reinterpret_cast<ce::LPARAM>(new std::u16string(u"res://1")));
  ce::testing::PumpUntilIdle();
  EXPECT_TRUE(screen_.CoverPanel().HasPicture());
}

TEST_F(CurPlaylistPanelsTest, PanelMenusSwitchTheDisplayMode) {
  screen_.Playlist()->SetDisplayMode(1);
  ce::SendMessage(screen_.LyricsPanel(), ce::WM_COMMAND, zolfa::kCmdShowAlbumCover, 0);
  EXPECT_EQ(screen_.Playlist()->DisplayMode(), 2);
  EXPECT_TRUE(Shown(screen_.CoverPanel()));
  ce::SendMessage(screen_.CoverPanel(), ce::WM_COMMAND, zolfa::kCmdShowSongList, 0);
  EXPECT_EQ(screen_.Playlist()->DisplayMode(), 0);
}

}  // namespace
