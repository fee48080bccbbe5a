// A dialog of the framework, made from a numbered template of the
// application's resources: modal (DoModal) or modeless (Create; a template
// with WS_CHILD makes a child dialog embedded in its parent).
#pragma once

#include "platform/controls/Dialogs.h"
#include "platform/framework/Window.h"

namespace ce {

class Dialog : public Window {
 public:
  explicit Dialog(UINT templateId, Window* parent = nullptr);

  // Runs the dialog until EndDialog; returns its result, -1 when it cannot
  // be made.
  INT_PTR DoModal();
  // Makes the dialog without a loop of its own; false when it cannot be made.
  bool Create(HWND parent = nullptr);
  void EndDialog(INT_PTR result);
  UINT TemplateId() const { return templateId_; }

 protected:
  // After the controls exist; true lets the dialog manager focus the first
  // control.
  virtual BOOL OnInitDialog();
  // IDOK and IDCANCEL (Enter, Escape and the buttons): end the dialog.
  virtual void OnOK();
  virtual void OnCancel();
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  static INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  UINT templateId_;
  Window* parent_;
};

}  // namespace ce
