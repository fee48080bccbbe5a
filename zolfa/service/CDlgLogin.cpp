#include "zolfa/service/CDlgLogin.h"

#include "platform/base/MessageBox.h"
#include "platform/controls/Button.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Edit.h"
#include "platform/framework/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Display.h"
#include "platform/shell/ShellDialogs.h"
#include "platform/window/Focus.h"
#include "zolfa/service/PasswordDigest.h"

namespace zolfa {

using namespace ce;

namespace {

constexpr char16_t kLoginCaption[] = u"登入";
constexpr char16_t kCancelCaption[] = u"取消";
constexpr char16_t kBoxCaption[] = u"ZOLFA";
constexpr char16_t kAccountError[] = u"帳號輸入錯誤";
constexpr char16_t kPasswordError[] = u"密碼輸入錯誤";
// "1": automatic login is on. (A string object, not a literal assigned in
// place: GCC 12 reports a false overlap for short literals copied into
// strings.)
const std::u16string& AutologinOn() {
  static const std::u16string on(1, u'1');
  return on;
}
constexpr COLORREF kBackground = RGB(241, 245, 248);
// The closed combo box; its list keeps the height of the template.
constexpr int kComboFieldHeight = 20;

std::u16string RegistrationHint() {
  std::u16string text = u"請上 ";
  text.append(kServiceWebSite);
  text.append(u" 註冊成為會員, \t\t然後使用會員帳號跟密碼登入, 謝謝!\t\t\t");
  return text;
}

}  // namespace

CDlgLogin::CDlgLogin(ZolfaNetMgrPPC& service, LoginSettings& settings, Dialog& topDialog)
    : Dialog(kTemplateId, &topDialog), service_(service), settings_(settings), topDialog_(topDialog) {}

CDlgLogin::~CDlgLogin() {
  if (background_ != nullptr) DeleteObject(background_);
}

BOOL CDlgLogin::OnInitDialog() {
  SHDoneButton(Handle(), SHDB_HIDE);
  banner_.LoadResource(kBannerBitmap);
  accountBox_.SubclassDlgItem(kAccountBox, Handle());
  Layout();
  FillAccounts();
  autologin_ = settings_.autologin.Get();
  if (autologin_ != AutologinOn()) {
    CheckDlgButton(Handle(), kAutologinBox, BST_UNCHECKED);
  } else {
    CheckDlgButton(Handle(), kAutologinBox, BST_CHECKED);
    password_ = settings_.password.Get();
    SetDlgItemText(Handle(), kPasswordField, password_.c_str());
  }
  return TRUE;
}

void CDlgLogin::FillAccounts() {
  accountBox_.ResetContent();
  for (const std::u16string& account : settings_.Accounts()) {
    if (!account.empty()) accountBox_.AddString(account);
  }
  accountBox_.SetCurSel(0);
  account_ = accountBox_.GetWindowText();
}

void CDlgLogin::Place(int id, int x, int y, int width, int height) {
  ce::MoveWindow(GetDlgItem(id), x, y, width, height, TRUE);
}

void CDlgLogin::Layout() {
  RECT client = GetClientRect();
  const bool landscape = client.right > client.bottom;
  const int top = kBannerHeight + 6;
  if (landscape) {
    // Two rows of fields under the banner, the buttons in a column beside
    // them.
    Place(kAccountLabel, 6, top + 3, 36, 18);
    Place(kAccountBox, 44, top, 180, kComboFieldHeight);
    Place(kPasswordLabel, 6, top + 29, 36, 18);
    Place(kPasswordField, 44, top + 26, 180, 22);
    Place(kAutologinBox, 44, top + 54, 90, 20);
    Place(kProgressLabel, 138, top + 56, 90, 18);
    Place(kLoginButton, 234, 4, 80, 26);
    Place(kRegisterButton, 234, 36, 80, 26);
    Place(kExitButton, 234, 68, 80, 26);
  } else {
    Place(kAccountLabel, 10, top + 3, 36, 18);
    Place(kAccountBox, 50, top, 180, kComboFieldHeight);
    Place(kPasswordLabel, 10, top + 31, 36, 18);
    Place(kPasswordField, 50, top + 28, 180, 22);
    Place(kAutologinBox, 50, top + 58, 110, 20);
    Place(kProgressLabel, 50, top + 82, 180, 18);
    Place(kLoginButton, 14, top + 110, 66, 28);
    Place(kRegisterButton, 87, top + 110, 66, 28);
    Place(kExitButton, 160, top + 110, 66, 28);
  }
  Invalidate();
}

void CDlgLogin::OnSettingChange(UINT flag, LPCWSTR section) {
  if (flag == SETTINGCHANGE_RESET) {
    Layout();
    return;
  }
  Dialog::OnSettingChange(flag, section);
}

// Labels and the check box lie on the screen's own background.
HBRUSH CDlgLogin::OnCtlColor(HDC dc, HWND control, UINT message) {
  if (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN) return Dialog::OnCtlColor(dc, control, message);
  if (background_ == nullptr) background_ = CreateSolidBrush(kBackground);
  SetBkColor(dc, kBackground);
  return background_;
}

void CDlgLogin::OnPaint() {
  PaintDc dc(Handle());
  RECT client = GetClientRect();
  dc.FillSolidRect(client, kBackground);
  if (banner_.Empty()) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, banner_.Handle());
  dc.BitBlt(0, 0, kBannerWidth, kBannerHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

BOOL CDlgLogin::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case kAutologinBox:
      if (HIWORD(wParam) == BN_CLICKED) OnAutologinClicked();
      return TRUE;
    case kExitButton:
      topDialog_.EndDialog(1);
      return TRUE;
    default:
      return Dialog::OnCommand(wParam, lParam);
  }
}

// The login button has the id of OK, so the Enter key presses it too.
void CDlgLogin::OnOK() { OnLoginButton(); }

void CDlgLogin::OnCancel() { OnRegister(); }

void CDlgLogin::OnLoginButton() {
  autologin_ = AutologinOn();
  account_ = accountBox_.GetWindowText();
  password_ = GetWindowTextString(GetDlgItem(kPasswordField));
  if (account_.empty() || account_.find(u'@') == std::u16string::npos) {
    accountBox_.SetWindowText(u"");
    SetDlgItemText(Handle(), kPasswordField, u"");
    ce::MessageBox(Handle(), kAccountError, kBoxCaption, MB_OK);
    accountBox_.SetFocus();
    return;
  }
  if (password_.empty()) {
    ce::MessageBox(Handle(), kPasswordError, kBoxCaption, MB_OK);
    ce::SetFocus(GetDlgItem(kPasswordField));
    return;
  }
  password_ = PasswordDigest(password_);
  settings_.StoreAccounts(RememberAccount(settings_.Accounts(), account_));
  FillAccounts();
  settings_.password.Set(password_);
  settings_.autologin.Set(autologin_);
  StartLogin(Form::kManual);
}

void CDlgLogin::OnAutologinClicked() {
  autologin_ = autologin_.empty() ? AutologinOn() : std::u16string();
  settings_.autologin.Set(autologin_);
}

void CDlgLogin::OnRegister() {
  ce::MessageBox(Handle(), RegistrationHint().c_str(), kBoxCaption, MB_OK);
}

void CDlgLogin::StartLogin(Form form) {
  if (form == Form::kAutomatic && busy_) return;
  if (account_.empty() || password_.empty() || autologin_ != AutologinOn()) return;
  if (!busy_) {
    EnterBusy();
    service_.Login(topDialog_.Handle(), account_, password_, 0);
    return;
  }
  SetInputEnabled(true);
  SetDlgItemText(Handle(), kLoginButton, kLoginCaption);
  busy_ = false;
  StopProgress();
  service_.SetOnline(false);
  service_.Login(topDialog_.Handle(), account_, password_, 1);
}

void CDlgLogin::EnterBusy() {
  SetInputEnabled(false);
  SetDlgItemText(Handle(), kLoginButton, kCancelCaption);
  busy_ = true;
  StartProgress();
}

void CDlgLogin::LeaveBusy() {
  SetInputEnabled(true);
  SetDlgItemText(Handle(), kLoginButton, kLoginCaption);
  StopProgress();
  busy_ = false;
}

void CDlgLogin::SetInputEnabled(bool enabled) {
  ce::EnableWindow(GetDlgItem(kPasswordField), enabled ? TRUE : FALSE);
  accountBox_.EnableWindow(enabled ? TRUE : FALSE);
}

void CDlgLogin::StartProgress() {
  progressRunning_ = true;
  SetTimer(kProgressTimer, kProgressPeriodMs);
}

void CDlgLogin::StopProgress() {
  KillTimer(kProgressTimer);
  progressRunning_ = false;
  progressText_.clear();
  SetDlgItemText(Handle(), kProgressLabel, u"");
}

void CDlgLogin::OnTimer(UINT_PTR id) {
  if (id != kProgressTimer) {
    Dialog::OnTimer(id);
    return;
  }
  if (!progressRunning_) return;
  progressText_ = NextProgressText(progressText_);
  SetDlgItemText(Handle(), kProgressLabel, progressText_.c_str());
}

}  // namespace zolfa
