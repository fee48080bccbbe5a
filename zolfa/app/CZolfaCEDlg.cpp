#include "zolfa/app/CZolfaCEDlg.h"

#include "platform/base/MessageBox.h"
#include "platform/controls/Metrics.h"
#include "platform/shell/Display.h"
#include "platform/shell/Shell.h"
#include "platform/shell/ShellDialogs.h"
#include "zolfa/app/MediaPlayerValues.h"
#include "zolfa/app/TopDialogMessages.h"
#include "zolfa/service/LoginRules.h"
#include "zolfa/service/ServiceMessages.h"

namespace zolfa {

using namespace ce;

CZolfaCEDlg::CZolfaCEDlg(CCore& core, ZolfaNetMgrPPC& service)
    : Dialog(kTemplateId), core_(core), service_(service), loginScreen_(service, settings_, *this),
      mainScreen_(core, this) {
  SetMediaPlayerStreamingValues();
  core_.AttachTopDialog(*this);
}

CZolfaCEDlg::~CZolfaCEDlg() { core_.DetachTopDialog(); }

BOOL CZolfaCEDlg::OnInitDialog() {
  SetWindowText(kTopDialogTitle);
  SHDoneButton(Handle(), SHDB_HIDE);
  loginScreen_.Create(Handle());
  Layout();
  ShowScreen(kScreenLogin);
  return TRUE;
}

// Enter and Escape reach the screen that has them, never the dialog: the
// program ends only by the exit button or message 13320.
void CZolfaCEDlg::OnOK() {}
void CZolfaCEDlg::OnCancel() {}

void CZolfaCEDlg::Layout() {
  PlaceScreens();
  loginScreen_.Layout();
  if (mainScreen_.Handle() != nullptr) mainScreen_.Layout();
}

void CZolfaCEDlg::PlaceScreens() {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  MoveWindow(0, 0, width, height);
  const int screenHeight = height - kTitleBarHeight - kMenuBarHeight;
  loginScreen_.MoveWindow(0, kTitleBarHeight, width, screenHeight);
  if (mainScreen_.Handle() != nullptr) mainScreen_.MoveWindow(0, kTitleBarHeight, width, screenHeight);
}

void CZolfaCEDlg::ShowScreen(int32_t screen) {
  loginScreen_.ShowWindow(SW_HIDE);
  if (mainScreen_.Handle() != nullptr) mainScreen_.ShowWindow(SW_HIDE);
  if (screen == kScreenLogin) {
    loginScreen_.ShowWindow(SW_SHOW);
    loginScreen_.StartLogin(CDlgLogin::Form::kAutomatic);
  } else if (screen == kScreenMain && mainScreen_.Handle() != nullptr) {
    mainScreen_.ShowWindow(SW_SHOW);
    mainScreen_.SelectTab(mainScreen_.CurrentTab());
  }
}

void CZolfaCEDlg::GoToMain() {
  if (mainScreen_.Handle() == nullptr) {
    if (!mainScreen_.Create(Handle())) return;
    Layout();
  }
  ShowScreen(kScreenMain);
}

void CZolfaCEDlg::Logout() {
  const bool hasMain = mainScreen_.Handle() != nullptr;
  ICurrentPlaylist* playlist = hasMain ? mainScreen_.CurrentPlaylist() : nullptr;
  if (playlist != nullptr) playlist->Stop();
  if (hasMain) mainScreen_.DeactivateScreens();
  if (playlist != nullptr) playlist->SaveState();
  service_.SetOnline(false);
  loginScreen_.LeaveBusy();
  if (hasMain) mainScreen_.ShowWindow(SW_HIDE);
  loginScreen_.ShowWindow(SW_SHOW);
  loginScreen_.SetAutologin(u"0");
  loginScreen_.StartLogin(CDlgLogin::Form::kManual);
}

void CZolfaCEDlg::OnSettingChange(UINT flag, LPCWSTR section) {
  if (flag != SETTINGCHANGE_RESET) {
    Dialog::OnSettingChange(flag, section);
    return;
  }
  // The dialog and its screens take the new screen's size; the screens lay
  // out their own controls when the change reaches them.
  PlaceScreens();
  ce::SendMessage(loginScreen_.Handle(), WM_SETTINGCHANGE, flag, reinterpret_cast<LPARAM>(section));
  if (mainScreen_.Handle() != nullptr) {
    ce::SendMessage(mainScreen_.Handle(), WM_SETTINGCHANGE, flag, reinterpret_cast<LPARAM>(section));
  }
}

bool CZolfaCEDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  switch (message) {
    case MSG_END_PROGRAM:
      EndDialog(kEndProgramResult);
      return true;
    case MSG_LOGOUT:
      Logout();
      return true;
    case MSG_NETWORK_FAILURE_NOTICE:
      ShowText(kNetworkFailureNotice);
      *result = Default();
      return true;
    // The media player's events, forwarded unchanged to the player screen.
    case MSG_MEDIA_OPEN_STATE_CHANGE:
    case MSG_MEDIA_PLAY_STATE_CHANGE:
    case MSG_MEDIA_POSITION_CHANGE:
      if (mainScreen_.Handle() != nullptr && mainScreen_.PlayerWindow() != nullptr) {
        ce::PostMessage(mainScreen_.PlayerWindow(), message, wParam, lParam);
      }
      return true;
    default:
      break;
  }
  if (!OnServiceMessage(message, wParam)) return false;
  // The login screen is told as well, and ignores it; what wParam points to
  // is gone by then.
  ce::PostMessage(loginScreen_.Handle(), message, wParam, lParam);
  return true;
}

bool CZolfaCEDlg::OnServiceMessage(UINT message, WPARAM wParam) {
  switch (message) {
    case MSG_CHECK_FAILED:
    case MSG_LOGIN_FAILED:
    case MSG_SESSION_ERROR:
    case MSG_REQUEST_FAILED:
      OnFailure(message, reinterpret_cast<const char16_t*>(wParam));
      return true;
    case MSG_CHECK_DONE:
    case MSG_LOGIN_DONE:
      if (wParam != 0) OnLoginOutcome(message, *reinterpret_cast<const LoginResult*>(wParam));
      return true;
    case MSG_CHECK_CANCELLED:
    case MSG_LOGIN_CANCELLED:
      service_.SetOnline(false);
      loginScreen_.LeaveBusy();
      return true;
    default:
      return false;
  }
}

void CZolfaCEDlg::OnLoginOutcome(UINT message, const LoginResult& result) {
  loginScreen_.StopProgress();
  // The login message, the version rule's text and the status text, in turn.
  LoginVerdict verdict = ApplyLoginRules(result);
  for (const std::u16string& text : verdict.texts) ShowText(text);
  const bool check = message == MSG_CHECK_DONE;
  if (verdict.outcome == LoginOutcome::kRefused) {
    if (check) {
      Logout();
    } else {
      loginScreen_.LeaveBusy();
    }
    service_.SetOnline(false);
    return;
  }
  service_.SetOnline(true);
  if (!check) GoToMain();
}

void CZolfaCEDlg::OnFailure(UINT message, const char16_t* text) {
  if (message == MSG_SESSION_ERROR || message == MSG_CHECK_FAILED) Logout();
  if (message == MSG_LOGIN_FAILED) loginScreen_.StopProgress();
  ShowText(text != nullptr && text[0] != 0 ? std::u16string(text) : std::u16string(kTextNoConnection));
  loginScreen_.LeaveBusy();
}

void CZolfaCEDlg::ShowText(const std::u16string& text) {
  ce::MessageBox(Handle(), text.c_str(), kApplicationName, MB_OK);
}

}  // namespace zolfa
