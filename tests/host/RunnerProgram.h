// A small program for the script runner's tests: a full-screen dialog
// (template 300) with buttons, a text field, a pad that takes keys and
// recognises tap-and-hold, an embedded screen (301) whose button repeats an
// id of the dialog, a second screen (302) shown on request, a menu bar
// (310) and a context menu (311). It records what reaches it.
#pragma once

#include <httplib.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/controls/Button.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Resources.h"
#include "platform/controls/Static.h"
#include "platform/controls/Dialogs.h"
#include "platform/framework/Application.h"
#include "platform/framework/Dialog.h"
#include "platform/net/WinInet.h"
#include "platform/shell/Gesture.h"
#include "platform/shell/MenuBar.h"
#include "platform/shell/ShellDialogs.h"
#include "platform/window/Focus.h"

namespace ce::testing {

constexpr UINT kMainDialog = 300;
constexpr UINT kEmbedded = 301;
constexpr UINT kSecond = 302;
constexpr UINT kMenuBar = 310;
constexpr UINT kContextMenu = 311;
constexpr int kGo = 1001;
constexpr int kAsk = 1002;
constexpr int kOff = 1003;
constexpr int kShowSecond = 1004;
constexpr int kFetch = 1005;
constexpr int kField = 1010;
constexpr int kPad = 1020;
constexpr UINT kSayHi = 31001;
constexpr UINT kClose = 31002;
constexpr UINT kPlayIt = 31101;
inline constexpr char16_t kPadClass[] = u"RunnerPad";

// What the program saw, in order.
struct Seen {
  std::vector<std::string> commands;  // "300:1001", "301:1001", ...
  std::vector<UINT> keys;
  std::u16string chars;
  std::vector<int> answers;
  std::vector<WPARAM> settingChanges;
  int holds = 0;
  int httpPort = 0;
};
inline Seen& Saw() {
  static Seen seen;
  return seen;
}

inline DialogItemTemplate Control(const char16_t* cls, const char16_t* text, int id, DWORD style,
                                  int x, int y, int cx, int cy) {
  return DialogItemTemplate{cls, text, id, WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy};
}

inline LRESULT PadProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return 0x0004 | 0x0080;  // all keys and characters are the pad's
    case WM_KEYDOWN:
      Saw().keys.push_back(static_cast<UINT>(wParam));
      return 0;
    case WM_CHAR:
      Saw().chars += static_cast<char16_t>(wParam);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(window);
      SHRGINFO info;
      info.hwndClient = window;
      info.ptDown = POINT{LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam))};
      info.dwFlags = SHRG_RETURNCMD;
      if (SHRecognizeGesture(&info) != GN_CONTEXTMENU) return 0;
      ++Saw().holds;
      HMENU menu = LoadMenu(nullptr, MAKEINTRESOURCE(kContextMenu));
      POINT at = info.ptDown;
      ClientToScreen(window, &at);
      TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN, at.x, at.y, 0, GetParent(window), nullptr);
      DestroyMenu(menu);
      return 0;
    }
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

inline void RegisterRunnerProgram() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS pad;
    pad.lpfnWndProc = PadProc;
    pad.lpszClassName = kPadClass;
    RegisterClass(&pad);
    RegisterResources(u"", [](ResourceSet& set) {
      DialogTemplate main;
      main.style = WS_POPUP | WS_VISIBLE;
      main.caption = u"Runner";
      main.cx = 160;
      main.cy = 178;
      main.items = {Control(WC_BUTTON, u"Go", kGo, BS_PUSHBUTTON | WS_TABSTOP, 4, 4, 40, 14),
                    Control(WC_BUTTON, u"Ask", kAsk, BS_PUSHBUTTON, 48, 4, 40, 14),
                    Control(WC_BUTTON, u"Off", kOff, BS_PUSHBUTTON | WS_DISABLED, 92, 4, 40, 14),
                    Control(WC_BUTTON, u"Show", kShowSecond, BS_PUSHBUTTON, 4, 22, 40, 14),
                    Control(WC_BUTTON, u"Fetch", kFetch, BS_PUSHBUTTON, 48, 22, 40, 14),
                    Control(WC_EDIT, u"", kField, WS_BORDER | ES_AUTOHSCROLL, 92, 22, 60, 12),
                    Control(kPadClass, u"", kPad, WS_TABSTOP, 4, 40, 150, 40)};
      set.AddDialog(kMainDialog, main);
      DialogTemplate embedded;
      embedded.style = WS_CHILD | WS_VISIBLE | DS_CONTROL;
      embedded.y = 84;
      embedded.cx = 160;
      embedded.cy = 24;
      embedded.items = {Control(WC_BUTTON, u"Go here", kGo, BS_PUSHBUTTON, 4, 4, 60, 14)};
      set.AddDialog(kEmbedded, embedded);
      DialogTemplate second;
      second.style = WS_CHILD | DS_CONTROL;
      second.y = 110;
      second.cx = 160;
      second.cy = 24;
      second.items = {Control(WC_STATIC, u"Second screen", 2001, SS_LEFT, 4, 4, 100, 10)};
      set.AddDialog(kSecond, second);
      MenuItemTemplate act{MF_POPUP, 0, u"動作", {MenuItemTemplate{0, kSayHi, u"Say hi", {}}}};
      MenuItemTemplate menu{MF_POPUP, 0, u"功能表", {MenuItemTemplate{0, kClose, u"Close", {}}}};
      set.AddMenu(kMenuBar, MenuTemplate{{act, menu}});
      set.AddMenu(kContextMenu,
                  MenuTemplate{{MenuItemTemplate{MF_POPUP, 0, u"Context", {MenuItemTemplate{0, kPlayIt, u"Play it", {}}}}}});
    });
  });
}

// Screens record their commands with their template.
class Screen : public Dialog {
 public:
  explicit Screen(UINT id) : Dialog(id) {}

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    Saw().commands.push_back(std::to_string(TemplateId()) + ":" + std::to_string(LOWORD(wParam)));
    return Dialog::OnCommand(wParam, lParam);
  }
};

inline void FetchPing(int port) {
  HINTERNET session = InternetOpen(u"runner", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnect(session, u"127.0.0.1", static_cast<INTERNET_PORT>(port),
                                         nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequest(connection, u"GET", u"/ping?n=1", nullptr, nullptr, nullptr, 0, 0);
  HttpSendRequest(request, nullptr, 0, nullptr, 0);
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(session);
}

class RunnerDialog : public Screen {
 public:
  RunnerDialog() : Screen(kMainDialog), embedded_(kEmbedded) {}

 protected:
  BOOL OnInitDialog() override {
    SHINITDLGINFO info{SHIDIM_FLAGS, Handle(), SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    embedded_.Create(Handle());
    // The second screen is a plain dialog of the dialog manager, not one of
    // the framework's.
    second_ = CreateDialogParam(FrameworkResourceHandle(), MAKEINTRESOURCE(kSecond), Handle(),
                                [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
                                  return message == WM_INITDIALOG ? TRUE : FALSE;
                                },
                                0);
    SHMENUBARINFO bar;
    bar.hwndParent = Handle();
    bar.nToolBarId = kMenuBar;
    SHCreateMenuBar(&bar);
    ce::SetFocus(GetDlgItem(kPad));
    return FALSE;
  }

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    Screen::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
      case kAsk:
        Saw().answers.push_back(ce::MessageBox(Handle(), u"Clear?", u"Runner", MB_YESNO));
        return TRUE;
      case kShowSecond:
        ce::ShowWindow(second_, SW_SHOW);
        return TRUE;
      case kFetch:
        FetchPing(Saw().httpPort);
        return TRUE;
      case kSayHi:
        Saw().answers.push_back(ce::MessageBox(Handle(), u"hi", u"Runner", MB_OK));
        return TRUE;
      case kClose:
        EndDialog(IDOK);
        return TRUE;
      default:
        return FALSE;
    }
  }

  void OnSettingChange(UINT flag, LPCWSTR) override { Saw().settingChanges.push_back(flag); }

 private:
  Screen embedded_;
  HWND second_ = nullptr;
};

// A local answer for "Fetch".
class PingServer {
 public:
  PingServer() {
    server_.Get("/ping", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("pong", "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~PingServer() {
    server_.stop();
    thread_.join();
  }
  int Port() const { return port_; }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace ce::testing
