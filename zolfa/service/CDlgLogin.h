// The login screen: a child of the top-level dialog, shown whenever the
// user is not logged in. The user picks or types an account and a password
// and presses the login button; the screen checks the input, keeps the last
// four accounts and the password digest in the settings, starts the service
// manager's login and animates a progress text until the top-level dialog
// reports the outcome. A second press while a login runs cancels it.
#pragma once

#include <string>

#include "platform/framework/Bitmap.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"
#include "zolfa/service/LoginSettings.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace zolfa {

// The service's web site, named in the registration hint.
inline constexpr char16_t kServiceWebSite[] = u"http://www.zolfa.test";

class CDlgLogin : public ce::Dialog {
 public:
  static constexpr ce::UINT kTemplateId = 135;
  // Controls of the template.
  static constexpr int kLoginButton = 1;  // IDOK: the Enter key presses it too
  static constexpr int kRegisterButton = 2;
  static constexpr int kAccountLabel = 1054;
  static constexpr int kAccountBox = 1066;
  static constexpr int kPasswordLabel = 1055;
  static constexpr int kPasswordField = 1019;
  static constexpr int kAutologinBox = 1021;
  static constexpr int kProgressLabel = 1006;
  static constexpr int kExitButton = 1027;
  // The banner painted at the top left, and its size in pixels.
  static constexpr ce::UINT kBannerBitmap = 239;
  static constexpr int kBannerWidth = 240;
  static constexpr int kBannerHeight = 80;
  static constexpr ce::UINT_PTR kProgressTimer = 1;
  static constexpr ce::UINT kProgressPeriodMs = 500;

  enum class Form { kAutomatic, kManual };

  // topDialog is the dialog that receives the login's outcome and that the
  // exit button closes; all three outlive the screen.
  CDlgLogin(ZolfaNetMgrPPC& service, LoginSettings& settings, ce::Dialog& topDialog);
  ~CDlgLogin() override;

  // Starts a login when one can start (see the source), or cancels the one
  // that runs.
  void StartLogin(Form form);
  // Ends the busy state without a login: controls enabled, the login button
  // captioned "登入" again, progress stopped.
  void LeaveBusy();
  void StopProgress();
  // Places the controls for a portrait or a landscape screen.
  void Layout();

  bool Busy() const { return busy_; }
  const std::u16string& Autologin() const { return autologin_; }
  // Changes the in-memory copy only; the stored value stays.
  void SetAutologin(std::u16string value) { autologin_ = std::move(value); }
  const std::u16string& ProgressText() const { return progressText_; }

 protected:
  ce::BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  ce::BOOL OnCommand(ce::WPARAM wParam, ce::LPARAM lParam) override;
  void OnTimer(ce::UINT_PTR id) override;
  void OnPaint() override;
  void OnSettingChange(ce::UINT flag, ce::LPCWSTR section) override;
  ce::HBRUSH OnCtlColor(ce::HDC dc, ce::HWND control, ce::UINT message) override;

 private:
  void FillAccounts();
  void OnLoginButton();
  void OnAutologinClicked();
  void OnRegister();
  void StartProgress();
  void EnterBusy();
  void SetInputEnabled(bool enabled);
  void Place(int id, int x, int y, int width, int height);

  ZolfaNetMgrPPC& service_;
  LoginSettings& settings_;
  ce::Dialog& topDialog_;
  ce::ComboBox accountBox_;
  ce::Bitmap banner_;
  ce::HBRUSH background_ = nullptr;

  // Fields in their declared order.
  std::u16string account_;
  std::u16string password_;
  std::u16string autologin_;
  std::u16string progressText_;
  bool progressRunning_ = false;
  bool busy_ = false;
};

}  // namespace zolfa
