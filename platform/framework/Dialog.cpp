#include "platform/framework/Dialog.h"

#include "platform/controls/Resources.h"
#include "platform/framework/Application.h"

namespace ce {

Dialog::Dialog(UINT templateId, Window* parent) : templateId_(templateId), parent_(parent) {}

INT_PTR Dialog::DialogProc(HWND dialog, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* object = reinterpret_cast<Dialog*>(lParam);
  if (object == nullptr || !object->SubclassWindow(dialog)) return TRUE;
  return object->OnInitDialog();
}

INT_PTR Dialog::DoModal() {
  HWND owner = parent_ != nullptr ? parent_->Handle() : nullptr;
  return DialogBoxParam(FrameworkResourceHandle(), MAKEINTRESOURCE(templateId_), owner, DialogProc,
                        reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(HWND parent) {
  if (parent == nullptr && parent_ != nullptr) parent = parent_->Handle();
  HWND window = CreateDialogParam(FrameworkResourceHandle(), MAKEINTRESOURCE(templateId_), parent,
                                  DialogProc, reinterpret_cast<LPARAM>(this));
  return window != nullptr && Handle() == window;
}

void Dialog::EndDialog(INT_PTR result) { ce::EndDialog(Handle(), result); }

BOOL Dialog::OnInitDialog() { return TRUE; }

void Dialog::OnOK() { EndDialog(IDOK); }

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL Dialog::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
  switch (LOWORD(wParam)) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:
      OnCancel();
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace ce
