// The device screen: the program's top-level windows composed, bottom
// first, onto the screen surface (240 x 320, or 320 x 240 turned), shown in
// an SDL window scaled x2 when a display exists, kept off-screen otherwise.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/window/Geometry.h"

namespace ce {

namespace detail {
class SdlWindow;
struct HostEvent;
}  // namespace detail

// The part of a control's screen rectangle that its parents and the screen
// leave visible; empty when nothing of it is on the screen. Windows above it
// are not taken into account.
RECT ClipToAncestors(HWND control, RECT rect);

class DeviceScreen {
 public:
  static constexpr int kWindowScale = 2;

  // With headless, or when no window can be opened, the screen is
  // off-screen (SDL is not started at all); *note then says why.
  static std::unique_ptr<DeviceScreen> Open(bool headless, std::string* note);
  ~DeviceScreen();
  DeviceScreen(const DeviceScreen&) = delete;
  DeviceScreen& operator=(const DeviceScreen&) = delete;

  bool HasWindow() const { return window_ != nullptr; }

  // Paints what waits to be painted on the calling thread's windows and
  // composes the visible top-level windows onto the screen surface.
  void Compose();
  // Compose, then show the frame in the window (when there is one).
  void Present();
  // Compose, then write the screen as a PNG file.
  bool WriteShot(const std::filesystem::path& path, std::string* error);
  // Compose, then the visible texts: control captions and the strings drawn
  // in the frame, with their screen rectangles, top to bottom.
  std::vector<TextRecord> VisibleTexts();

  // The window's input since the last call (nothing when off-screen).
  void Poll(std::vector<detail::HostEvent>* events);

 private:
  DeviceScreen() = default;
  std::unique_ptr<detail::SdlWindow> window_;
};

}  // namespace ce
