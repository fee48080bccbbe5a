#include "zolfa/widgets/CDlgAbout.h"

#include "platform/controls/Dialogs.h"
#include "zolfa/service/ClientVersion.h"

using namespace ce;

CDlgAbout::CDlgAbout(Window* parent) : Dialog(kTemplateId, parent) {}

std::u16string CDlgAbout::VersionText(std::u16string_view major, std::u16string_view minor) {
  std::u16string digit = major.size() > 1 ? std::u16string(major.substr(1, 1)) : std::u16string();
  return u"Zolfa for Pocket PC \nVersion " + digit + u"." + std::u16string(minor) + u" \n";
}

BOOL CDlgAbout::OnInitDialog() {
  std::u16string text = VersionText(zolfa::kClientMajorVersionText, zolfa::kClientMinorVersionText);
  SetDlgItemText(Handle(), kVersionTextId, text.c_str());
  return TRUE;
}
