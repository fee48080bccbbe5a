#include "zolfa/app/CZolfaCEApp.h"

#include "zolfa/app/CZolfaCEDlg.h"
#include "zolfa/widgets/CDlgAbout.h"

namespace zolfa {

CZolfaCEApp::CZolfaCEApp(CCore& core, ZolfaNetMgrPPC& service)
    : Application(kApplicationName), core_(core), service_(service) {}

ce::BOOL CZolfaCEApp::InitInstance() {
  CZolfaCEDlg dialog(core_, service_);
  SetMainWindow(&dialog);
  core_.SetAboutLauncher([&dialog] {
    CDlgAbout about(&dialog);
    about.DoModal();
  });
  dialogResult_ = dialog.DoModal();
  core_.SetAboutLauncher(nullptr);
  SetMainWindow(nullptr);
  // No message loop is to run: the program ends with the dialog.
  return ce::FALSE;
}

int CZolfaCEApp::ExitInstance() { return dialogResult_ < 0 ? 1 : 0; }

}  // namespace zolfa
