// Turning the screen: sizes, the bars, full-screen dialogs and the setting
// change every top-level window hears of.
#include "platform/controls/Metrics.h"
#include "platform/gdi/Surface.h"
#include "platform/shell/Display.h"
#include "platform/shell/MenuBar.h"
#include "platform/shell/ShellDialogs.h"
#include "tests/shell/ShellTesting.h"

namespace ce::testing {
namespace {

LONG Turn(DWORD orientation, DWORD flags = 0) {
  DEVMODE mode;
  mode.dmFields = DM_DISPLAYORIENTATION;
  mode.dmDisplayOrientation = orientation;
  return ChangeDisplaySettingsEx(nullptr, &mode, nullptr, flags, nullptr);
}

RECT RectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

class RotationTest : public ShellTest {
 protected:
  void TearDown() override {
    Turn(DMDO_0);
    ShellTest::TearDown();
  }
};

TEST_F(RotationTest, TurningReachesEveryTopLevelWindowAndResizesTheScreen) {
  RecordingWindow main(u"Main");
  RecordingWindow dialog(u"Dialog");
  SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
  ASSERT_TRUE(SHInitDialog(&info));
  SHMENUBARINFO bar;
  bar.hwndParent = main;
  bar.nToolBarId = kTwoPopups;
  ASSERT_TRUE(SHCreateMenuBar(&bar));

  ASSERT_EQ(Turn(DMDO_90), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 240);
  EXPECT_EQ(GetScreenSurface()->Width(), 320);
  EXPECT_EQ(main.settingChanges, std::vector<WPARAM>{SETTINGCHANGE_RESET});
  EXPECT_EQ(dialog.settingChanges, std::vector<WPARAM>{SETTINGCHANGE_RESET});
  EXPECT_EQ(RectOf(dialog), (RECT{0, 26, 320, 214}));
  EXPECT_EQ(RectOf(bar.hwndMB), (RECT{0, 214, 320, 240}));
  DEVMODE query;
  query.dmFields = DM_DISPLAYQUERYORIENTATION;
  ASSERT_EQ(ChangeDisplaySettingsEx(nullptr, &query, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(query.dmDisplayOrientation, DMDO_90);
  EXPECT_EQ(query.dmPelsWidth, 320u);

  // The same orientation again tells nobody; turning back tells everyone.
  ASSERT_EQ(Turn(DMDO_90), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(main.settingChanges.size(), 1u);
  ASSERT_EQ(Turn(DMDO_0), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(main.settingChanges.size(), 2u);
  EXPECT_EQ(RectOf(dialog), (RECT{0, 26, 240, 294}));
  EXPECT_EQ(RectOf(bar.hwndMB), (RECT{0, 294, 240, 320}));
}

TEST_F(RotationTest, TestsAndWrongRequestsChangeNothing) {
  RecordingWindow main;
  EXPECT_EQ(Turn(DMDO_270, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(Turn(3), DISP_CHANGE_BADMODE);
  EXPECT_EQ(Turn(DMDO_90, 0x100), DISP_CHANGE_BADFLAGS);
  DEVMODE mode;
  mode.dmFields = DM_DISPLAYORIENTATION;
  mode.dmDisplayOrientation = DMDO_90;
  EXPECT_EQ(ChangeDisplaySettingsEx(u"\\\\.\\Other", &mode, nullptr, 0, nullptr), DISP_CHANGE_BADPARAM);
  EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, nullptr, nullptr, 0, nullptr), DISP_CHANGE_BADPARAM);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
  EXPECT_EQ(ScreenOrientation(), DMDO_0);
  EXPECT_TRUE(main.settingChanges.empty());
}

}  // namespace
}  // namespace ce::testing
