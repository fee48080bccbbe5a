// Convenience calls on the controls of a dialog.
#include <algorithm>
#include <string>

#include "platform/controls/Button.h"
#include "platform/controls/Dialogs.h"

namespace ce {

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr ? SendMessage(control, message, wParam, lParam) : 0;
}

BOOL SetDlgItemText(HWND dialog, int id, LPCWSTR text) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr ? SetWindowText(control, text) : FALSE;
}

UINT GetDlgItemText(HWND dialog, int id, LPWSTR buffer, int bufferMax) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) {
    if (buffer != nullptr && bufferMax > 0) buffer[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowText(control, buffer, bufferMax));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  std::string digits = isSigned ? std::to_string(static_cast<int32_t>(value)) : std::to_string(value);
  std::u16string text(digits.begin(), digits.end());
  return SetDlgItemText(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated != nullptr) *translated = FALSE;
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return 0;
  std::u16string text = GetWindowTextString(control);
  size_t at = 0;
  while (at < text.size() && text[at] == u' ') ++at;
  bool negative = false;
  if (isSigned && at < text.size() && text[at] == u'-') {
    negative = true;
    ++at;
  }
  if (at >= text.size()) return 0;
  long long value = 0;
  for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
    value = value * 10 + (text[at] - u'0');
    if (value > 0xFFFFFFFFLL) return 0;
  }
  if (at < text.size()) return 0;
  if (isSigned && value > (negative ? 2147483648LL : 2147483647LL)) return 0;
  if (translated != nullptr) *translated = TRUE;
  return negative ? static_cast<UINT>(-value) : static_cast<UINT>(value);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return FALSE;
  SendMessage(control, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  return static_cast<UINT>(SendDlgItemMessage(dialog, id, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  for (int id = std::min(firstId, lastId); id <= std::max(firstId, lastId); ++id) {
    CheckDlgButton(dialog, id, id == checkId ? BST_CHECKED : BST_UNCHECKED);
  }
  return TRUE;
}

}  // namespace ce
