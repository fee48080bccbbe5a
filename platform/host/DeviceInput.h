// Stylus and keypad input as the device delivers it: posted mouse and key
// messages to the window under the stylus (or the one holding the capture)
// and to the focus window.
#pragma once

#include <string_view>

#include "platform/base/Types.h"
#include "platform/window/Geometry.h"

namespace ce {

class DeviceInput {
 public:
  // Points are screen pixels.
  void StylusDown(POINT point);
  void StylusMove(POINT point);
  void StylusUp(POINT point);
  bool StylusIsDown() const { return stylusDown_; }

  // The soft keys press the menu bar's keys (without a menu bar they go
  // to the window like other keys); keys go to the focus window, or the
  // active window when nothing has the focus.
  void KeyDown(UINT virtualKey, bool repeat);
  void KeyUp(UINT virtualKey);
  // WM_CHAR for every UTF-16 unit, to the focus window.
  void Type(std::u16string_view text);

 private:
  void PostMouse(UINT message, POINT point);

  bool stylusDown_ = false;
  bool softKeyPosted_[2] = {false, false};  // went to a window, not to a menu bar
};

}  // namespace ce
