// The procedures of the control classes and the few things the classes ask
// of each other.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/VisibleControls.h"
#include "platform/window/Window.h"

namespace ce::detail {

WNDPROC ButtonProcedure();
WNDPROC StaticProcedure();
WNDPROC EditProcedure();
WNDPROC ComboBoxProcedure();
WNDPROC ComboListProcedure();
WNDPROC ListViewProcedure();
WNDPROC TrackbarProcedure();
WNDPROC TabControlProcedure();
WNDPROC ScrollBarProcedure();
WNDPROC DialogProcedure();
WNDPROC PopupMenuProcedure();

bool IsDlgButtonClass(HWND window);
WPARAM ButtonCheckState(HWND window);
// The text a field shows (password characters for a password field); false
// when the window is not a text field.
bool EditShownText(HWND window, std::u16string* text);
// Marks a text field as the field of a combo box: its up and down keys go to
// the combo box.
void MarkComboEdit(HWND edit);
// The items of an open popup menu window, in screen coordinates; false when
// the window is not one.
bool PopupMenuItems(HWND window, std::vector<VisibleControl>* items);
// Calls the modal hook, if any.
void CallModalHook(HWND window, ModalKind kind);

}  // namespace ce::detail
