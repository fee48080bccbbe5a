// A push button, check box or radio button of the framework. An owner-drawn
// button (BS_OWNERDRAW) draws itself in DrawItem.
#pragma once

#include "platform/controls/Button.h"
#include "platform/framework/Window.h"

namespace ce {

class Button : public Window {
 public:
  WPARAM GetCheck() const { return static_cast<WPARAM>(SendMessage(BM_GETCHECK)); }
  void SetCheck(WPARAM check) const { SendMessage(BM_SETCHECK, check); }
  LRESULT GetState() const { return SendMessage(BM_GETSTATE); }
  void SetState(BOOL pushed) const { SendMessage(BM_SETSTATE, static_cast<WPARAM>(pushed)); }
  void SetButtonStyle(DWORD style, BOOL redraw = TRUE) const { SendMessage(BM_SETSTYLE, style, redraw); }

 protected:
  // Draws an owner-drawn button; the DC draws into the button.
  virtual void DrawItem(DRAWITEMSTRUCT* item);
  bool ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  // An owner-drawn button paints through DrawItem itself, whatever window
  // its parent is.
  void OnPaint() override;
};

}  // namespace ce
