// The state the dialog manager keeps for every dialog window.
#pragma once

#include "platform/controls/Dialogs.h"
#include "platform/controls/VisibleControls.h"
#include "platform/controls/detail/ControlSupport.h"

namespace ce::detail {

class DialogState : public ControlState {
 public:
  ~DialogState() override;
  bool ownsFont = false;
  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  HWND lastFocus = nullptr;
  int defaultId = 0;
  UINT templateId = 0;
};

DialogState* DialogStateOf(HWND window);
// The nearest dialog that holds the window (the window itself included).
HWND NearestDialog(HWND window);
INT_PTR RunDialogBox(HINSTANCE module, const DialogTemplate* dialog, HWND owner, DLGPROC proc,
                     LPARAM param, ModalKind kind);

}  // namespace ce::detail
