#include "platform/framework/Button.h"

#include "platform/framework/Dc.h"
#include "platform/window/Focus.h"

namespace ce {

void Button::DrawItem(DRAWITEMSTRUCT*) {}

bool Button::ReflectChildNotify(UINT message, WPARAM /*wParam*/, LPARAM lParam, LRESULT* result) {
  if (message != WM_DRAWITEM || (GetStyle() & BS_TYPEMASK) != BS_OWNERDRAW) return false;
  DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
  *result = TRUE;
  return true;
}

void Button::OnPaint() {
  if ((GetStyle() & BS_TYPEMASK) != BS_OWNERDRAW) {
    Default();
    return;
  }
  PaintDc dc(Handle());
  DRAWITEMSTRUCT item;
  item.CtlType = ODT_BUTTON;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID());
  item.itemAction = ODA_DRAWENTIRE;
  if ((GetState() & BST_PUSHED) != 0) item.itemState |= ODS_SELECTED;
  if (GetFocus() == Handle()) item.itemState |= ODS_FOCUS;
  if (!IsWindowEnabled()) item.itemState |= ODS_DISABLED;
  item.hwndItem = Handle();
  item.hDC = dc;
  item.rcItem = GetClientRect();
  DrawItem(&item);
}

}  // namespace ce
