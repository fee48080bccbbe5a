#include "zolfa/library/CDlgNewPlaylist.h"

#include "platform/window/Window.h"

using namespace ce;

BOOL CDlgNewPlaylist::OnInitDialog() {
  ce::SetWindowText(GetDlgItem(kNameEdit), kDefaultName);
  return TRUE;
}

void CDlgNewPlaylist::OnOK() {
  std::u16string name = GetWindowTextString(GetDlgItem(kNameEdit));
  if (name.empty()) return;  // a playlist needs a name: the dialog stays
  name_ = std::move(name);
  Dialog::OnOK();
}
