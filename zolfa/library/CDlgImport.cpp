#include "zolfa/library/CDlgImport.h"

#include <string>

#include "platform/base/CodePage.h"
#include "platform/controls/Button.h"
#include "platform/window/Window.h"
#include "zolfa/library/ImportMessages.h"

using namespace ce;

BOOL CDlgImport::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == kStartButton && HIWORD(wParam) == BN_CLICKED) {
    Start();
    return TRUE;
  }
  return Dialog::OnCommand(wParam, lParam);  // "離開" is IDCANCEL
}

void CDlgImport::Start() {
  if (started_) return;
  started_ = true;
  ce::SetWindowText(GetDlgItem(kStatusText), kImporting);
  dots_ = 0;
  ce::EnableWindow(GetDlgItem(kStartButton), FALSE);
  SetTimer(kDotsTimer, kDotsPeriodMs);
  requestId_ = import_.StartImport(Handle());
}

void CDlgImport::OnTimer(UINT_PTR id) {
  if (id != kDotsTimer) {
    Dialog::OnTimer(id);
    return;
  }
  dots_ = dots_ == kMaxDots ? 0 : dots_ + 1;
  std::u16string status = kImporting;
  status.append(static_cast<size_t>(dots_ + 1), u'.');
  ce::SetWindowText(GetDlgItem(kStatusText), status.c_str());
}

bool CDlgImport::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message != zolfa::MSG_IMPORT_DONE) return Dialog::OnMessage(message, wParam, lParam, result);
  OnImportDone(static_cast<uint32_t>(wParam), reinterpret_cast<const char16_t*>(lParam));
  *result = 0;
  return true;
}

void CDlgImport::OnImportDone(uint32_t requestId, const char16_t* text) {
  KillTimer(kDotsTimer);
  if (requestId != requestId_ || requestId_ == 0) return;
  // The text takes the round trip through the narrow code page that
  // "personal.db" stores it in, so that the library holds what it will read
  // back.
  std::u16string wide = text != nullptr ? std::u16string(text) : std::u16string();
  std::u16string stored = MultiToWide(WideToMulti(wide, CP_ACP), CP_ACP);
  library_.ImportPlaylists(stored);
  EndDialog(kImported);
}
