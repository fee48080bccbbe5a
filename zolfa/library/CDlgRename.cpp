#include "zolfa/library/CDlgRename.h"

#include "platform/window/Window.h"

using namespace ce;

BOOL CDlgRename::OnInitDialog() {
  ce::SetWindowText(GetDlgItem(kNameEdit), name_.c_str());
  return TRUE;
}

void CDlgRename::OnOK() {
  name_ = GetWindowTextString(GetDlgItem(kNameEdit));
  Dialog::OnOK();
}
