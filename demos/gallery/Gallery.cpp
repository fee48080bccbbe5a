// Shows every control of the platform in one dialog, then a popup menu and a
// message box over it, and writes a PNG picture of the screen for each:
//   ce_gallery OUTPUT_FOLDER
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Menus.h"
#include "platform/controls/MessageBoxes.h"
#include "platform/controls/Resources.h"
#include "platform/controls/ScrollBar.h"
#include "platform/controls/Static.h"
#include "platform/controls/TabControl.h"
#include "platform/controls/Trackbar.h"
#include "platform/controls/VisibleControls.h"
#include "platform/framework/Application.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/ListView.h"
#include "platform/framework/Menu.h"
#include "platform/gdi/Gdi.h"
#include "platform/host/Host.h"
#include "platform/shell/MenuBar.h"
#include "platform/shell/ShellDialogs.h"
#include "platform/window/Paint.h"

namespace {

using namespace ce;

constexpr UINT kGalleryDialog = 1;
constexpr UINT kGalleryMenu = 2;

void RegisterGalleryResources() {
  RegisterResources(u"", [](ResourceSet& set) {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_VISIBLE;
    dialog.cx = 160;
    dialog.cy = 178;  // the work area between the title bar and the menu bar
    auto add = [&](const char16_t* cls, const char16_t* text, int id, DWORD style, int x, int y, int cx, int cy) {
      dialog.items.push_back(DialogItemTemplate{cls, text, id, WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy});
    };
    add(WC_STATIC, u"控制項一覽 Controls", -1, SS_LEFT, 4, 3, 150, 9);
    add(WC_BUTTON, u"確定", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 4, 14, 46, 14);
    add(WC_BUTTON, u"取消", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 54, 14, 46, 14);
    add(WC_BUTTON, u"停用", 1003, BS_PUSHBUTTON | WS_DISABLED, 104, 14, 50, 14);
    add(WC_BUTTON, u"自動登入", 1021, BS_AUTOCHECKBOX | WS_TABSTOP, 4, 31, 70, 11);
    add(WC_BUTTON, u"隨機", 1040, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 80, 31, 36, 11);
    add(WC_BUTTON, u"重複", 1041, BS_AUTORADIOBUTTON, 118, 31, 36, 11);
    add(WC_STATIC, u"帳號", -1, SS_LEFT, 4, 46, 20, 10);
    add(WC_COMBOBOX, u"", 1066, CBS_DROPDOWN | WS_TABSTOP | WS_VSCROLL, 26, 44, 128, 60);
    add(WC_STATIC, u"密碼", -1, SS_LEFT, 4, 61, 20, 10);
    add(WC_EDIT, u"secret", 1019, ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 26, 59, 60, 12);
    add(WC_EDIT, u"可編輯文字", 1020, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 90, 59, 64, 12);
    add(WC_LISTVIEW, u"", 1057, LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | WS_TABSTOP, 4, 75, 150, 40);
    add(TRACKBAR_CLASS, u"", 1010, TBS_HORZ | WS_TABSTOP, 4, 118, 100, 12);
    add(WC_SCROLLBAR, u"", 1090, SBS_HORZ, 108, 119, 46, 9);
    add(WC_TABCONTROL, u"", 1029, 0, 4, 133, 150, 20);
    add(WC_EDIT, u"多行文字欄位：第一行\r\n第二行", 1030, ES_MULTILINE | WS_BORDER, 4, 156, 150, 20);
    set.AddDialog(kGalleryDialog, dialog);

    MenuTemplate menu;
    MenuItemTemplate popup;
    popup.flags = MF_POPUP;
    popup.text = u"功能表";
    popup.children = {MenuItemTemplate{0, 32829, u"切換到播放清單", {}},
                      MenuItemTemplate{MF_CHECKED, 32842, u"切換到個人音樂庫", {}},
                      MenuItemTemplate{MF_SEPARATOR, 0, u"", {}},
                      MenuItemTemplate{MF_GRAYED, 32843, u"登出", {}},
                      MenuItemTemplate{0, 32845, u"關於", {}}};
    menu.items.push_back(popup);
    set.AddMenu(kGalleryMenu, menu);
  });
}

// The song list: custom drawn, with striped rows as the program's lists.
class StripedList : public ListView {
 protected:
  bool OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) override {
    switch (draw->nmcd.dwDrawStage) {
      case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        return true;
      case CDDS_ITEMPREPAINT:
        if ((draw->nmcd.uItemState & CDIS_SELECTED) != 0) {
          draw->nmcd.uItemState &= ~CDIS_SELECTED;
          draw->clrTextBk = 0xC69A8C;
          draw->clrText = 0xFFFFFF;
        } else {
          draw->clrTextBk = draw->nmcd.dwItemSpec % 2 == 0 ? 0xEFF7F7 : 0xFFFFFF;
          draw->clrText = 0x000000;
        }
        *result = CDRF_DODEFAULT;
        return true;
      default:
        return false;
    }
  }
};

class GalleryDialog : public Dialog {
 public:
  GalleryDialog() : Dialog(kGalleryDialog) {}

 protected:
  BOOL OnInitDialog() override {
    list_.SubclassDlgItem(1057, Handle());
    list_.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list_.InsertColumn(0, u"", 210);
    const char16_t* songs[] = {u"夜曲", u"晴天", u"稻香", u"七里香", u"青花瓷", u"簡單愛", u"龍捲風"};
    for (int i = 0; i < 7; ++i) list_.InsertItem(i, songs[i]);
    list_.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    combo_.SubclassDlgItem(1066, Handle());
    combo_.AddString(u"user@example.com");
    combo_.AddString(u"second@example.com");
    combo_.SetCurSel(0);
    Trackbar track;
    track.SubclassDlgItem(1010, Handle());
    track.SetRange(0, 100);
    track.SetPos(65);
    track.UnsubclassWindow();
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    info.nMax = 99;
    info.nPage = 25;
    info.nPos = 30;
    SetScrollInfo(GetDlgItem(1090), SB_CTL, &info, TRUE);
    TabControl tabs;
    tabs.SubclassDlgItem(1029, Handle());
    tabs.InsertItem(0, u"播放清單");
    tabs.InsertItem(1, u"線上音樂台");
    tabs.InsertItem(2, u"個人音樂庫");
    tabs.SetCurSel(1);
    tabs.UnsubclassWindow();
    CheckDlgButton(Handle(), 1021, BST_CHECKED);
    CheckDlgButton(Handle(), 1041, BST_CHECKED);
    return TRUE;
  }

  // Posted when the dialog has shown: the popup menu, the message box, the
  // end.
  bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) override {
    if (message != WM_APP) return false;
    Menu menu;
    if (menu.LoadMenu(kGalleryMenu)) ce::TrackPopupMenu(menu.GetSubMenu(0), TPM_LEFTALIGN, 60, 110, 0, Handle(), nullptr);
    ce::MessageBox(Handle(), u"確定要清除所有歌曲嗎?", u"ZOLFA", MB_YESNO | MB_ICONQUESTION);
    EndDialog(IDOK);
    *result = 0;
    return true;
  }

 private:
  StripedList list_;
  ComboBox combo_;
};

// Composes the visible top-level windows on a screen-sized picture.
bool WriteScreen(const std::filesystem::path& path, std::initializer_list<HWND> windows) {
  HBITMAP screen = CreateBitmap(240, 320, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, screen);
  for (HWND window : windows) {
    UpdateWindow(window);
    RECT rect;
    GetWindowRect(window, &rect);
    DrawWindowSurface(dc, window, rect.left, rect.top);
  }
  DeleteDC(dc);
  bool ok = SaveBitmapToPng(screen, path) != FALSE;
  DeleteObject(screen);
  std::printf("%s %s\n", ok ? "wrote" : "cannot write", path.string().c_str());
  return ok;
}

class GalleryApp : public Application {
 public:
  explicit GalleryApp(std::filesystem::path folder) : Application(u"Gallery"), folder_(std::move(folder)) {}

 protected:
  BOOL InitInstance() override {
    GalleryDialog dialog;
    SetMainWindow(&dialog);
    // Each picture is taken when its modal window has opened.
    SetModalHook([this](HWND window, ModalKind kind) {
      if (kind == ModalKind::kDialog && main_ == nullptr) {
        main_ = window;
        PumpPaint(window);
        ok_ = WriteScreen(folder_ / "gallery-controls.png", {window}) && ok_;
        PostMessage(window, WM_APP, 0, 0);
      } else if (kind == ModalKind::kPopupMenu) {
        ok_ = WriteScreen(folder_ / "gallery-menu.png", {main_, window}) && ok_;
        PostMessage(window, WM_KEYDOWN, VK_ESCAPE_KEY, 0);
      } else if (kind == ModalKind::kMessageBox) {
        ok_ = WriteScreen(folder_ / "gallery-messagebox.png", {main_, window}) && ok_;
        PostMessage(GetDlgItem(window, IDYES), BM_CLICK, 0, 0);
      }
    });
    InstallDrawnMessageBoxes();
    dialog.DoModal();
    SetModalHook(nullptr);
    return FALSE;
  }

  int ExitInstance() override { return ok_ ? 0 : 1; }

 public:
  static constexpr UINT VK_ESCAPE_KEY = 0x1B;
  HWND main_ = nullptr;
  bool ok_ = true;

 private:
  static void PumpPaint(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
  }
  std::filesystem::path folder_;
};

// The gallery on the device screen, for people and scripts: the same
// dialog under the title bar (with its OK button, which ends the gallery),
// a menu bar whose soft keys open its two popups, a message box and a
// panel (template 4) shown and hidden from the menu.
constexpr UINT kGalleryMenuBar = 3;
constexpr UINT kGalleryPanel = 4;
constexpr UINT kShowMessageBox = 32801;
constexpr UINT kTogglePanel = 32804;
constexpr UINT kShowAbout = 32845;
constexpr UINT kEndGallery = 32846;

void RegisterScreenResources() {
  RegisterResources(u"", [](ResourceSet& set) {
    MenuItemTemplate actions;
    actions.flags = MF_POPUP;
    actions.text = u"動作";
    actions.children = {MenuItemTemplate{0, kShowMessageBox, u"訊息方塊", {}},
                        MenuItemTemplate{0, kTogglePanel, u"顯示/隱藏面板", {}}};
    MenuItemTemplate menu;
    menu.flags = MF_POPUP;
    menu.text = u"功能表";
    menu.children = {MenuItemTemplate{MF_GRAYED, 32843, u"登出", {}},
                     MenuItemTemplate{MF_SEPARATOR, 0, u"", {}},
                     MenuItemTemplate{0, kShowAbout, u"關於", {}},
                     MenuItemTemplate{0, kEndGallery, u"結束", {}}};
    set.AddMenu(kGalleryMenuBar, MenuTemplate{{actions, menu}});

    DialogTemplate panel;
    panel.style = WS_CHILD | DS_CONTROL | WS_BORDER;
    panel.x = 20;
    panel.y = 90;
    panel.cx = 120;
    panel.cy = 30;
    panel.items.push_back(DialogItemTemplate{WC_STATIC, u"第二頁面板", 2001, WS_CHILD | WS_VISIBLE | SS_CENTER, 0,
                                             4, 10, 112, 10});
    set.AddDialog(kGalleryPanel, panel);
  });
}

class ScreenGalleryDialog : public GalleryDialog {
 protected:
  BOOL OnInitDialog() override {
    GalleryDialog::OnInitDialog();
    SetWindowText(u"Gallery");
    SHINITDLGINFO init{SHIDIM_FLAGS, Handle(), SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_DONEBUTTON};
    SHInitDialog(&init);
    SHMENUBARINFO bar;
    bar.hwndParent = Handle();
    bar.nToolBarId = kGalleryMenuBar;
    SHCreateMenuBar(&bar);
    panel_.Create(Handle());
    return TRUE;
  }

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    switch (LOWORD(wParam)) {
      case kShowMessageBox:
        ce::MessageBox(Handle(), u"確定要清除所有歌曲嗎?", u"ZOLFA", MB_YESNO | MB_ICONQUESTION);
        return TRUE;
      case kTogglePanel:
        // Above the list it lies on.
        if (!panel_.IsWindowVisible()) BringWindowToTop(panel_);
        panel_.ShowWindow(panel_.IsWindowVisible() ? SW_HIDE : SW_SHOW);
        return TRUE;
      case kShowAbout:
        ce::MessageBox(Handle(), u"控制項一覽\n Gallery", u"關於", MB_OK | MB_ICONINFORMATION);
        return TRUE;
      case kEndGallery:
        EndDialog(IDOK);
        return TRUE;
      default:
        return GalleryDialog::OnCommand(wParam, lParam);
    }
  }

 private:
  Dialog panel_{kGalleryPanel};
};

class ScreenGalleryApp : public Application {
 public:
  ScreenGalleryApp() : Application(u"Gallery") {}

 protected:
  BOOL InitInstance() override {
    ScreenGalleryDialog dialog;
    SetMainWindow(&dialog);
    dialog.DoModal();
    return FALSE;
  }
};

}  // namespace

// ce_gallery OUTPUT_FOLDER writes the pictures; without a folder the
// gallery runs on the device screen (--script, --transcript, --headless).
int main(int argc, char** argv) {
  RegisterGalleryResources();
  if (argc < 2 || argv[1][0] == '-') {
    RegisterScreenResources();
    return RunOnDeviceScreen(argc, argv, [] {
      ScreenGalleryApp gallery;
      return gallery.Run();
    });
  }
  std::filesystem::path folder = argv[1];
  GalleryApp gallery(folder);
  return gallery.Run();
}
