// The title bar, its OK button and full-screen dialogs.
#include "platform/shell/Display.h"
#include "platform/shell/MenuBar.h"
#include "platform/shell/ShellDialogs.h"
#include "platform/shell/detail/ShellWindows.h"
#include "tests/shell/ShellTesting.h"

namespace ce::testing {
namespace {

HWND TitleBar() {
  for (HWND window : TopLevelWindows()) {
    char16_t name[32] = {};
    GetClassName(window, name, 32);
    if (std::u16string(name) == detail::kTitleBarClass) return window;
  }
  return nullptr;
}

bool Shows(HWND window, const std::u16string& text) {
  for (const std::u16string& drawn : DrawnTexts(window)) {
    if (drawn == text) return true;
  }
  return false;
}

using TitleBarTest = ShellTest;

TEST_F(TitleBarTest, ShowsTheActiveWindowsTitleAndItsOkButton) {
  RecordingWindow program(u"ZOLFA for PPC");
  ShowWindow(program, SW_SHOW);
  UpdateShell();
  HWND title = TitleBar();
  ASSERT_NE(title, nullptr);
  RECT rect{};
  GetWindowRect(title, &rect);
  EXPECT_EQ(rect, (RECT{0, 0, 240, kTitleBarHeight}));
  EXPECT_TRUE(Shows(title, u"ZOLFA for PPC"));
  EXPECT_FALSE(Shows(title, u"ok"));

  // A child screen asks for the button of its dialog.
  TestWindow screen([](HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); },
                    program, WS_VISIBLE);
  ASSERT_TRUE(SHDoneButton(screen, SHDB_SHOW));
  EXPECT_NE(GetWindowLong(program, GWL_EXSTYLE) & static_cast<LONG>(WS_EX_CAPTIONOKBTN), 0);
  UpdateShell();
  EXPECT_TRUE(Shows(title, u"ok"));

  // Tapping it sends IDOK to the active window.
  RECT ok = OkButtonRect();
  POINT at{(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2};
  LPARAM where = MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y));
  PostMessage(title, WM_LBUTTONDOWN, 1, where);
  PostMessage(title, WM_LBUTTONUP, 0, where);
  PumpUntilIdle();
  EXPECT_EQ(program.commands, std::vector<UINT>{IDOK});

  ASSERT_TRUE(SHDoneButton(program, SHDB_HIDE));
  UpdateShell();
  EXPECT_FALSE(Shows(title, u"ok"));
  EXPECT_FALSE(SHDoneButton(program, 7));

  SetWindowText(program, u"登入");
  UpdateShell();
  EXPECT_TRUE(Shows(title, u"登入"));
}

TEST_F(TitleBarTest, FullScreenDialogsFillTheScreenBelowTheTitleBar) {
  struct Case {
    DWORD flags;
    RECT rect;
  };
  for (const Case& c : {Case{SHIDIF_SIZEDLGFULLSCREEN, RECT{0, 26, 240, 294}},
                        Case{SHIDIF_SIZEDLG | SHIDIF_DONEBUTTON, RECT{0, 26, 240, 294}},
                        Case{SHIDIF_FULLSCREENNOMENUBAR, RECT{0, 26, 240, 320}}}) {
    RecordingWindow dialog;
    SHINITDLGINFO info{SHIDIM_FLAGS, dialog, c.flags};
    ASSERT_TRUE(SHInitDialog(&info));
    RECT rect{};
    GetWindowRect(dialog, &rect);
    EXPECT_EQ(rect, c.rect) << "flags " << c.flags;
    bool ok = (GetWindowLong(dialog, GWL_EXSTYLE) & static_cast<LONG>(WS_EX_CAPTIONOKBTN)) != 0;
    EXPECT_EQ(ok, (c.flags & SHIDIF_DONEBUTTON) != 0);
  }

  // An empty menu bar on request; sizing a child is refused.
  RecordingWindow dialog;
  SHINITDLGINFO empty{SHIDIM_FLAGS, dialog, SHIDIF_EMPTYMENU};
  ASSERT_TRUE(SHInitDialog(&empty));
  ShowWindow(dialog, SW_SHOW);
  UpdateShell();
  ASSERT_NE(CurrentMenuBar(), nullptr);
  EXPECT_EQ(GetWindow(CurrentMenuBar(), GW_OWNER), dialog.Handle());
  TestWindow child([](HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); },
                   dialog);
  SHINITDLGINFO sizeChild{SHIDIM_FLAGS, child, SHIDIF_SIZEDLGFULLSCREEN};
  EXPECT_FALSE(SHInitDialog(&sizeChild));
  EXPECT_FALSE(SHInitDialog(nullptr));

  RECT work{};
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, (RECT{0, 26, 240, 320}));
}

TEST_F(TitleBarTest, AFullScreenWindowMayHideTheTitleBarWhileItIsActive) {
  RecordingWindow game(u"Full");
  RecordingWindow other(u"Other");
  ASSERT_TRUE(SHFullScreen(game, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
  EXPECT_FALSE(SHFullScreen(game, SHFS_HIDETASKBAR | SHFS_SHOWTASKBAR));
  HWND title = TitleBar();
  ShowWindow(game, SW_SHOW);
  UpdateShell();
  EXPECT_FALSE(IsWindowVisible(title));
  ShowWindow(other, SW_SHOW);
  UpdateShell();
  EXPECT_TRUE(IsWindowVisible(title));
  SetActiveWindow(game);
  ASSERT_TRUE(SHFullScreen(game, SHFS_SHOWTASKBAR));
  UpdateShell();
  EXPECT_TRUE(IsWindowVisible(title));
}

}  // namespace
}  // namespace ce::testing
