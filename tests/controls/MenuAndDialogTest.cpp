// Popup menus, modal dialogs and message boxes, answered by a scripted user
// through the modal hook.
#include <gtest/gtest.h>

#include <functional>

#include "platform/base/MessageBox.h"
#include "platform/controls/Button.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Menus.h"
#include "platform/controls/MessageBoxes.h"
#include "platform/controls/ResourceScript.h"
#include "platform/controls/VisibleControls.h"
#include "platform/testing/TestSupport.h"
#include "platform/window/Keys.h"
#include "tests/controls/ControlTesting.h"

namespace ce::testing {
namespace {

constexpr char kScript[] = R"(
MENU 185
BEGIN
  POPUP "ContextOnSong"
  BEGIN
    MENUITEM "播放", 32871
    MENUITEM SEPARATOR
    MENUITEM "歌曲清單", 32913
    MENUITEM "歌詞模式", 32918, GRAYED
    MENUITEM "專輯封面", 32855
  END
END
DIALOG 300 0, 0, 120, 60
STYLE WS_POPUP | WS_CAPTION
CAPTION "Ask"
BEGIN
  EDITTEXT 1001, 4, 4, 80, 12
  CONTROL "OK", IDOK, "BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 4, 40, 40, 14
  CONTROL "Cancel", IDCANCEL, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 50, 40, 40, 14
END
)";

// Runs an action on the modal window when it opens, once.
class ModalScript {
 public:
  explicit ModalScript(std::function<void(HWND, ModalKind)> action)
      : previous_(SetModalHook([this](HWND window, ModalKind kind) {
          seen_ = kind;
          if (action_) {
            auto action = std::move(action_);
            action_ = nullptr;
            action(window, kind);
          }
        })) {
    action_ = std::move(action);
  }
  ~ModalScript() { SetModalHook(std::move(previous_)); }
  ModalKind Seen() const { return seen_; }

 private:
  std::function<void(HWND, ModalKind)> action_;
  ModalHook previous_;
  ModalKind seen_ = ModalKind::kDialog;
};

// Taps the control or menu item with the id, also when it is disabled.
void TapControl(HWND modal, int id) {
  VisibleControl control;
  for (const VisibleControl& candidate : ListVisibleControls(modal)) {
    if (candidate.id == id && candidate.window != nullptr) control = candidate;
  }
  ASSERT_NE(control.window, nullptr) << "no control " << id;
  POINT centre{(control.screenRect.left + control.screenRect.right) / 2,
               (control.screenRect.top + control.screenRect.bottom) / 2};
  ScreenToClient(control.window, &centre);
  PostMessage(control.window, WM_LBUTTONDOWN, 1, MAKELPARAM(static_cast<WORD>(centre.x), static_cast<WORD>(centre.y)));
  PostMessage(control.window, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(centre.x), static_cast<WORD>(centre.y)));
}

class MenuAndDialogTest : public ::testing::Test {
 protected:
  // A device of its own, so that windows of tests running in parallel
  // processes never share the foreground or the window table with these.
  ce::testing::TempDeviceRoot root_;
  void SetUp() override {
    InitCommonControls();
    ASSERT_FALSE(ParseResourceScript(kScript, nullptr, &set_).has_value());
  }
  ResourceSet set_;
  std::vector<int> commands_;
  TestWindow owner_{[this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_COMMAND) commands_.push_back(LOWORD(wp));
    return DefWindowProc(w, m, wp, lp);
  }, nullptr, WS_VISIBLE};
};

TEST_F(MenuAndDialogTest, ChosenItemIsPostedToTheOwner) {
  HMENU bar = LoadMenuIndirect(set_.Menu(185));
  HMENU popup = GetSubMenu(bar, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetMenuItemCount(popup), 5);
  ModalScript script([](HWND menu, ModalKind) { TapControl(menu, 32855); });
  EXPECT_TRUE(TrackPopupMenu(popup, TPM_LEFTALIGN, 20, 20, 0, owner_, nullptr));
  EXPECT_EQ(script.Seen(), ModalKind::kPopupMenu);
  EXPECT_TRUE(commands_.empty());  // posted, not sent
  PumpUntilIdle();
  EXPECT_EQ(commands_, std::vector<int>{32855});
  DestroyMenu(bar);
  EXPECT_FALSE(IsMenu(popup));
}

TEST_F(MenuAndDialogTest, GrayedItemsCannotBeChosenAndEnablingReturnsThePreviousState) {
  HMENU bar = LoadMenuIndirect(set_.Menu(185));
  HMENU popup = GetSubMenu(bar, 0);
  EXPECT_EQ(EnableMenuItem(bar, 32918, MF_BYCOMMAND | MF_GRAYED), MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(bar, 32871, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(bar, 4242, MF_BYCOMMAND | MF_GRAYED), kMenuItemMissing);
  EXPECT_EQ(CheckMenuItem(popup, 32913, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
  EXPECT_NE(GetMenuState(popup, 32913, MF_BYCOMMAND) & MF_CHECKED, 0u);
  // A tap on the grayed item does nothing; Escape then dismisses the menu.
  ModalScript script([](HWND menu, ModalKind) {
    TapControl(menu, 32871);
    PostMessage(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 0, 0, 0, owner_, nullptr), 0);
  // Keys reach the menu: down past the separator to the first enabled item.
  EnableMenuItem(popup, 32871, MF_BYCOMMAND | MF_ENABLED);
  ModalScript keys([](HWND menu, ModalKind) {
    PostMessage(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessage(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessage(menu, WM_KEYDOWN, VK_RETURN, 0);
  });
  EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 0, 0, 0, owner_, nullptr), 32913);
  DestroyMenu(bar);
}

TEST_F(MenuAndDialogTest, RemovingItemsFromALoadedPopup) {
  HMENU bar = LoadMenuIndirect(set_.Menu(185));
  HMENU popup = GetSubMenu(bar, 0);
  EXPECT_TRUE(RemoveMenu(popup, 32871, MF_BYCOMMAND));
  EXPECT_TRUE(DeleteMenu(popup, 0, MF_BYPOSITION));  // the separator
  EXPECT_FALSE(RemoveMenu(popup, 32871, MF_BYCOMMAND));
  ASSERT_EQ(GetMenuItemCount(popup), 3);
  EXPECT_EQ(GetMenuItemID(popup, 0), 32913u);
  EXPECT_EQ(GetMenuText(popup, 2, MF_BYPOSITION), u"專輯封面");
  DestroyMenu(bar);
}

INT_PTR CALLBACK_Ask(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetDlgItemText(dialog, 1001, reinterpret_cast<LPCWSTR>(lParam));
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam) == IDOK ? 40 : 41);
    return TRUE;
  }
  return FALSE;
}

TEST_F(MenuAndDialogTest, ModalDialogRunsUntilEndDialogAndDisablesItsOwner) {
  bool ownerDisabled = false;
  std::u16string text;
  ModalScript script([&](HWND dialog, ModalKind kind) {
    EXPECT_EQ(kind, ModalKind::kDialog);
    ownerDisabled = !IsWindowEnabled(owner_);
    text = GetWindowTextString(GetDlgItem(dialog, 1001));
    TapControl(dialog, IDOK);
  });
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, set_.Dialog(300), owner_, CALLBACK_Ask,
                                   reinterpret_cast<LPARAM>(u"hello")), 40);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_EQ(text, u"hello");
  EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(MenuAndDialogTest, EnterPressesTheDefaultButtonAndEscapeCancels) {
  ModalScript enter([](HWND dialog, ModalKind) { PostMessage(GetDlgItem(dialog, 1001), WM_KEYDOWN, VK_RETURN, 0); });
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, set_.Dialog(300), owner_, CALLBACK_Ask, 0), 40);
  ModalScript escape([](HWND dialog, ModalKind) { PostMessage(GetDlgItem(dialog, 1001), WM_KEYDOWN, VK_ESCAPE, 0); });
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, set_.Dialog(300), owner_, CALLBACK_Ask, 0), 41);
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, nullptr, owner_, CALLBACK_Ask, 0), -1);
}

TEST_F(MenuAndDialogTest, TabMovesTheFocusThroughTheTabStops) {
  HWND dialog = CreateDialogIndirectParam(nullptr, set_.Dialog(300), owner_, CALLBACK_Ask, 0);
  ASSERT_NE(dialog, nullptr);
  HWND edit = GetDlgItem(dialog, 1001);
  EXPECT_EQ(GetNextDlgTabItem(dialog, edit, FALSE), GetDlgItem(dialog, IDOK));
  EXPECT_EQ(GetNextDlgTabItem(dialog, GetDlgItem(dialog, IDCANCEL), FALSE), edit);
  EXPECT_EQ(GetNextDlgTabItem(dialog, edit, TRUE), GetDlgItem(dialog, IDCANCEL));
  DestroyWindow(dialog);
}

TEST_F(MenuAndDialogTest, DialogsKnowTheNumberOfTheirTemplate) {
  DialogTemplate built = *set_.Dialog(300);  // a template made in code has no number
  built.id = 0;
  set_.AddDialog(u"ASK", built);
  struct Case {
    const DialogTemplate* dialog;
    UINT id;
  } cases[] = {{set_.Dialog(300), 300}, {set_.Dialog(u"ask"), 0}, {&built, 0}};
  for (const Case& c : cases) {
    HWND dialog = CreateDialogIndirectParam(nullptr, c.dialog, owner_, CALLBACK_Ask, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetDialogTemplateId(dialog), c.id);
    EXPECT_EQ(GetDialogTemplateId(GetDlgItem(dialog, IDOK)), 0u) << "a control is not a dialog";
    DestroyWindow(dialog);
  }
  EXPECT_EQ(GetDialogTemplateId(owner_), 0u);
  EXPECT_EQ(GetDialogTemplateId(nullptr), 0u);
}

TEST_F(MenuAndDialogTest, DrawnMessageBoxIsAnsweredByTappingAButton) {
  MessageBoxHandler previous = InstallDrawnMessageBoxes();
  std::u16string shownText;
  ModalScript script([&](HWND box, ModalKind kind) {
    EXPECT_EQ(kind, ModalKind::kMessageBox);
    for (const VisibleControl& control : ListVisibleControls(box)) {
      if (control.className == u"STATIC") shownText = control.text;
    }
    TapControl(box, IDNO);
  });
  EXPECT_EQ(MessageBox(owner_, u"確定要清除所有歌曲嗎?", u"ZOLFA", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(shownText, u"確定要清除所有歌曲嗎?");
  // A scripted user installed over the drawn boxes answers without a window.
  {
    ScriptedUser user;
    user.Answer(IDYES);
    EXPECT_EQ(MessageBox(owner_, u"again?", u"ZOLFA", MB_YESNO), IDYES);
    ASSERT_EQ(user.Boxes().size(), 1u);
  }
  SetMessageBoxHandler(previous);
}

TEST_F(MenuAndDialogTest, EscapeAnswersAnOkBoxButNotAYesNoBox) {
  MessageBoxHandler previous = InstallDrawnMessageBoxes();
  ModalScript ok([](HWND box, ModalKind) { PostMessage(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); (void)box; });
  EXPECT_EQ(MessageBox(owner_, u"text", u"caption", MB_OK), IDOK);
  ModalScript yesNo([](HWND box, ModalKind) {
    PostMessage(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessage(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);  // the default button: No
    (void)box;
  });
  EXPECT_EQ(MessageBox(owner_, u"text", u"caption", MB_YESNO | MB_DEFBUTTON2), IDNO);
  SetMessageBoxHandler(previous);
}

}  // namespace
}  // namespace ce::testing
