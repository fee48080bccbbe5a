// The media control's event sink: turns the three events the program follows
// into messages posted to the application's main window. Every other event
// is left alone, errors included.
#pragma once

#include <functional>

#include "platform/media/MediaPlayer.h"
#include "platform/window/Window.h"

namespace zolfa {

class CWMPEventDispatch : public ce::MediaEvents {
 public:
  // The window the events go to, asked at each event (the main window may
  // change while the control lives).
  using MainWindowLookup = std::function<ce::HWND()>;

  // By default the events go to the application's main window.
  CWMPEventDispatch();
  explicit CWMPEventDispatch(MainWindowLookup mainWindow);

  void OpenStateChange(ce::LONG newState) override;
  void PlayStateChange(ce::LONG newState) override;
  void PositionChange(double oldPosition, double newPosition) override;

 private:
  MainWindowLookup mainWindow_;
};

}  // namespace zolfa
