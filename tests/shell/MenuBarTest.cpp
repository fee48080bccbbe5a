// Menu bars: soft keys from menu resources, their popups and commands, and
// which bar the screen shows.
#include "platform/shell/MenuBar.h"

#include "platform/window/Keys.h"
#include "tests/shell/ShellTesting.h"

namespace ce::testing {
namespace {

// Watches for the next popup menu and chooses a command in it (0 dismisses
// it), as a user tapping an item would.
struct PopupChooser {
  explicit PopupChooser(UINT command) {
    SetModalHook([this, command](HWND popup, ModalKind kind) {
      if (kind != ModalKind::kPopupMenu) return;
      ++opened;
      GetWindowRect(popup, &rect);
      items = ListVisibleControls(popup);
      if (command == 0) {
        PostMessage(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        return;
      }
      for (const VisibleControl& item : items) {
        if (item.id != static_cast<int>(command)) continue;
        POINT at{(item.screenRect.left + item.screenRect.right) / 2,
                 (item.screenRect.top + item.screenRect.bottom) / 2};
        ScreenToClient(popup, &at);
        LPARAM where = MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y));
        PostMessage(popup, WM_LBUTTONDOWN, 1, where);
        PostMessage(popup, WM_LBUTTONUP, 0, where);
      }
    });
  }
  ~PopupChooser() { SetModalHook(nullptr); }

  int opened = 0;
  RECT rect{};
  std::vector<VisibleControl> items;
};

HWND MakeBar(HWND parent, UINT menu, DWORD flags = 0) {
  SHMENUBARINFO info;
  info.hwndParent = parent;
  info.nToolBarId = menu;
  info.dwFlags = flags;
  EXPECT_TRUE(SHCreateMenuBar(&info));
  return info.hwndMB;
}

void Activate(HWND window) {
  ShowWindow(window, SW_SHOW);
  SetActiveWindow(window);
  UpdateShell();
}

using MenuBarTest = ShellTest;

TEST_F(MenuBarTest, TheTwoPopupsAreTheSoftKeysAndOpenAboveTheBar) {
  struct Case {
    int key;
    UINT command;
    std::u16string firstItem;
  };
  for (const Case& c : {Case{0, kAppendAlbum, u"播放專輯"}, Case{1, kToPlaylist, u"切換到播放清單"}}) {
    RecordingWindow program;
    HWND bar = MakeBar(program, kTwoPopups);
    Activate(program);
    ASSERT_EQ(CurrentMenuBar(), bar);
    EXPECT_EQ(CurrentMenuBarId(), kTwoPopups);
    RECT barRect{};
    GetWindowRect(bar, &barRect);
    EXPECT_EQ(barRect, (RECT{0, 320 - kMenuBarHeight, 240, 320}));

    PopupChooser chooser(c.command);
    ASSERT_TRUE(PressSoftKey(c.key));
    PumpUntilIdle();
    ASSERT_EQ(chooser.opened, 1) << "key " << c.key;
    ASSERT_FALSE(chooser.items.empty());
    EXPECT_EQ(chooser.items[0].text, c.firstItem);
    EXPECT_EQ(chooser.rect.bottom, barRect.top);
    if (c.key == 0) {
      EXPECT_EQ(chooser.rect.left, 0);
    } else {
      EXPECT_EQ(chooser.rect.right, 240);
    }
    EXPECT_EQ(program.menuInits, 1);
    EXPECT_EQ(program.commands, std::vector<UINT>{c.command});
  }
}

TEST_F(MenuBarTest, ATapOnTheBarOpensItsHalfAndASecondPressClosesThePopup) {
  RecordingWindow program;
  HWND bar = MakeBar(program, kTwoPopups);
  Activate(program);
  int opened = 0;
  SetModalHook([&](HWND, ModalKind kind) {
    if (kind != ModalKind::kPopupMenu) return;
    ++opened;
    PressSoftKey(1);  // pressing the key again closes what it opened
  });
  LPARAM rightHalf = MAKELPARAM(200, 10);
  PostMessage(bar, WM_LBUTTONDOWN, 1, rightHalf);
  PostMessage(bar, WM_LBUTTONUP, 0, rightHalf);
  PumpUntilIdle();
  EXPECT_EQ(opened, 1);
  EXPECT_TRUE(program.commands.empty());
}

TEST_F(MenuBarTest, EveryEntryOfAThreeEntryBarIsAKeyAndTheSoftKeysPressTheFirstAndTheLast) {
  RecordingWindow program;
  HWND bar = MakeBar(program, kThreeEntries);
  Activate(program);
  ASSERT_EQ(CurrentMenuBar(), bar);
  bool direct = false;
  bool enabled = false;
  EXPECT_EQ(MenuBarKeyForCommand(kAppendAlbum, &direct, &enabled), 0);
  EXPECT_EQ(MenuBarKeyForCommand(kAddToLibrary, &direct, &enabled), 1);
  EXPECT_TRUE(direct);
  EXPECT_EQ(MenuBarKeyForCommand(kToPlaylist, &direct, &enabled), 2);
  EXPECT_FALSE(direct);

  // The soft keys: the first popup opens at the left edge, the last at the
  // right edge.
  struct Case {
    int softKey;
    std::u16string firstItem;
  };
  for (const Case& c : {Case{0, u"播放專輯"}, Case{1, u"切換到播放清單"}}) {
    PopupChooser dismiss(0);
    ASSERT_TRUE(PressSoftKey(c.softKey));
    PumpUntilIdle();
    ASSERT_EQ(dismiss.opened, 1) << "soft key " << c.softKey;
    EXPECT_EQ(dismiss.items[0].text, c.firstItem);
    if (c.softKey == 0) {
      EXPECT_EQ(dismiss.rect.left, 0);
    } else {
      EXPECT_EQ(dismiss.rect.right, 240);
    }
  }

  // A tap on each third of the bar presses its key; the middle one sends its
  // command without a popup.
  struct Tap {
    int x;
    UINT choose;  // in the popup that opens; 0 dismisses it
    int popups;
  };
  for (const Tap& tap : {Tap{40, 0, 1}, Tap{120, 0, 0}, Tap{200, kToPlaylist, 1}}) {
    PopupChooser chooser(tap.choose);
    LPARAM at = MAKELPARAM(tap.x, 10);
    PostMessage(bar, WM_LBUTTONDOWN, 1, at);
    PostMessage(bar, WM_LBUTTONUP, 0, at);
    PumpUntilIdle();
    EXPECT_EQ(chooser.opened, tap.popups) << "x " << tap.x;
  }
  EXPECT_EQ(program.commands, (std::vector<UINT>{kAddToLibrary, kToPlaylist}));
  EXPECT_TRUE(PressMenuBarKey(1));
  EXPECT_FALSE(PressMenuBarKey(3));
  PumpUntilIdle();
  EXPECT_EQ(program.commands.back(), kAddToLibrary);
}

TEST_F(MenuBarTest, ALonePopupIsTheRightKeyAndACommandKeySendsAtOnce) {
  RecordingWindow program;
  MakeBar(program, kOnePopup);
  Activate(program);
  EXPECT_FALSE(PressSoftKey(0));
  PopupChooser dismiss(0);
  EXPECT_TRUE(PressSoftKey(1));
  PumpUntilIdle();
  EXPECT_EQ(dismiss.opened, 1);

  RecordingWindow other;
  MakeBar(other, kCommandAndPopup);
  Activate(other);
  ASSERT_EQ(CurrentMenuBarId(), kCommandAndPopup);
  ASSERT_TRUE(PressSoftKey(0));
  PumpUntilIdle();
  EXPECT_EQ(dismiss.opened, 1);  // no popup for a command
  EXPECT_EQ(other.commands, std::vector<UINT>{kDone});
}

TEST_F(MenuBarTest, TheScreenShowsTheVisibleBarOfTheActiveWindow) {
  RecordingWindow first(u"First");
  RecordingWindow second(u"Second");
  HWND firstBar = MakeBar(first, kTwoPopups);
  HWND hidden = MakeBar(second, kOnePopup, SHCMBF_HIDDEN);
  EXPECT_FALSE(IsWindowVisible(hidden));

  Activate(first);
  EXPECT_EQ(CurrentMenuBar(), firstBar);
  Activate(second);
  EXPECT_EQ(CurrentMenuBar(), nullptr) << "its only bar is hidden";
  EXPECT_EQ(CurrentMenuBarId(), 0u);
  ShowWindow(hidden, SW_SHOWNA);
  EXPECT_TRUE(UpdateShell()) << "the change of bar is reported once";
  EXPECT_FALSE(UpdateShell());
  EXPECT_EQ(CurrentMenuBarId(), kOnePopup);

  // The bar of a child screen belongs to the screen's dialog.
  std::vector<UINT> screenCommands;
  TestWindow screen(
      [&screenCommands](HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_COMMAND) screenCommands.push_back(LOWORD(wp));
        return DefWindowProc(w, m, wp, lp);
      },
      first, WS_VISIBLE);
  HWND screenBar = MakeBar(screen, kCommandAndPopup);
  EXPECT_EQ(GetWindow(screenBar, GW_OWNER), first.Handle());
  Activate(first);
  EXPECT_EQ(CurrentMenuBar(), screenBar);
  PressSoftKey(0);
  PumpUntilIdle();
  EXPECT_EQ(screenCommands, std::vector<UINT>{kDone}) << "commands go to the screen that made the bar";
  EXPECT_TRUE(first.commands.empty());

  DestroyWindow(screenBar);
  UpdateShell();
  EXPECT_EQ(CurrentMenuBar(), firstBar);
}

TEST_F(MenuBarTest, TheProgramReachesThePopupsThroughTheBar) {
  RecordingWindow program;
  HWND bar = MakeBar(program, kTwoPopups);
  auto play = reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, 0));
  ASSERT_NE(play, nullptr);
  EXPECT_EQ(GetMenuItemID(play, 0), kPlayAlbum);
  EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, kToPlaylist)),
            GetSubMenu(reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETMENU, 0, 0)), 1));

  // A grayed item cannot be chosen from the popup.
  EnableMenuItem(play, kPlayAlbum, MF_BYCOMMAND | MF_GRAYED);
  Activate(program);
  bool direct = true;
  bool enabled = true;
  EXPECT_EQ(MenuBarKeyForCommand(kPlayAlbum, &direct, &enabled), 0);
  EXPECT_FALSE(direct);
  EXPECT_FALSE(enabled);
  EXPECT_EQ(MenuBarKeyForCommand(kAbout, &direct, &enabled), 1);
  EXPECT_FALSE(enabled);
  EXPECT_EQ(MenuBarKeyForCommand(12345, &direct, &enabled), -1);
}

TEST_F(MenuBarTest, WrongRequestsMakeNoBar) {
  RecordingWindow program;
  SHMENUBARINFO info;
  info.hwndParent = program;
  info.nToolBarId = 999;
  EXPECT_FALSE(SHCreateMenuBar(&info));
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(info.hwndMB, nullptr);

  info.nToolBarId = kTwoPopups;
  info.cbSize = 4;
  EXPECT_FALSE(SHCreateMenuBar(&info));
  info.cbSize = sizeof(info);
  info.hwndParent = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7777));
  EXPECT_FALSE(SHCreateMenuBar(&info));
  EXPECT_FALSE(SHCreateMenuBar(nullptr));

  // An empty bar needs no resource.
  info.hwndParent = program;
  info.dwFlags = SHCMBF_EMPTYBAR;
  EXPECT_TRUE(SHCreateMenuBar(&info));
  Activate(program);
  EXPECT_EQ(CurrentMenuBar(), info.hwndMB);
  EXPECT_EQ(CurrentMenuBarId(), 0u);
  EXPECT_FALSE(PressSoftKey(0));
}

}  // namespace
}  // namespace ce::testing
