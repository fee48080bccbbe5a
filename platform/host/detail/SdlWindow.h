// Internal: the SDL window that shows the device screen, scaled, and the
// input it receives.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/Types.h"
#include "platform/gdi/Surface.h"
#include "platform/window/Geometry.h"

namespace ce::detail {

struct HostEvent {
  enum class Kind { kStylusDown, kStylusMove, kStylusUp, kKeyDown, kKeyUp, kRotate, kClose };
  Kind kind = Kind::kClose;
  POINT point;           // screen pixels
  UINT virtualKey = 0;
  bool repeat = false;
};

class SdlWindow {
 public:
  // Null with a reason when no display can be opened.
  static std::unique_ptr<SdlWindow> Open(int width, int height, int scale, std::string* error);
  ~SdlWindow();
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  // Shows the screen's pixels (the window follows the screen's size).
  void Show(const Surface& screen);
  // Takes the events that arrived since the last call.
  void Poll(std::vector<HostEvent>* events);

 private:
  SdlWindow() = default;
  bool Fit(int width, int height);

  struct Parts;
  std::unique_ptr<Parts> parts_;
  int scale_ = 2;
  int width_ = 0;
  int height_ = 0;
};

// True when an SDL window could be shown (a display is named).
bool DisplayAvailable();

}  // namespace ce::detail
