// The top-level dialog: holds the login screen and the main screen, shows
// one of them at a time, and receives the service manager's messages: it
// decides what a login, a session check or a failed request means for the
// user interface.
#pragma once

#include <cstdint>

#include "platform/framework/Dialog.h"
#include "zolfa/app/CCore.h"
#include "zolfa/app/CDlgMain.h"
#include "zolfa/app/ITopDialog.h"
#include "zolfa/playback/CWMPHostMessages.h"
#include "zolfa/service/CDlgLogin.h"
#include "zolfa/service/LoginResult.h"
#include "zolfa/service/LoginSettings.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace zolfa {

inline constexpr char16_t kTopDialogTitle[] = u"ZOLFA for PPC";
inline constexpr char16_t kNetworkFailureNotice[] = u"連線失敗，請檢查您的網路設定之後再執行ZOLFA。";

class CZolfaCEDlg : public ce::Dialog, public ITopDialog {
 public:
  static constexpr ce::UINT kTemplateId = 102;
  // The result when message 13320 ends the program.
  static constexpr ce::INT_PTR kEndProgramResult = 2;

  // Creates the settings of the login screen and writes the media player's
  // streaming values. The core controller and the service manager outlive
  // the dialog.
  CZolfaCEDlg(CCore& core, ZolfaNetMgrPPC& service);
  ~CZolfaCEDlg() override;

  // ITopDialog.
  void ShowScreen(int32_t screen) override;
  ce::HWND Window() const override { return Handle(); }

  void GoToMain();
  void Logout();
  // Places the dialog on the whole screen and its screens below the title
  // bar, and lets each lay out its controls.
  void Layout();

  CDlgLogin& LoginScreen() { return loginScreen_; }
  CDlgMain& MainScreen() { return mainScreen_; }

 protected:
  ce::BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnSettingChange(ce::UINT flag, ce::LPCWSTR section) override;
  bool OnMessage(ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam, ce::LRESULT* result) override;

 private:
  // The placement of Layout, without the screens' own layout.
  void PlaceScreens();
  bool OnServiceMessage(ce::UINT message, ce::WPARAM wParam);
  void OnLoginOutcome(ce::UINT message, const LoginResult& result);
  void OnFailure(ce::UINT message, const char16_t* text);
  void ShowText(const std::u16string& text);

  CCore& core_;
  ZolfaNetMgrPPC& service_;
  LoginSettings settings_;
  // Members in their declared order.
  CDlgLogin loginScreen_;
  CDlgMain mainScreen_;
};

}  // namespace zolfa
