// Internal: the backing surface of top-level windows and where a window lies
// on it.
#pragma once

#include <memory>

#include "platform/gdi/Surface.h"
#include "platform/gdi/detail/PixelRegion.h"
#include "platform/window/Window.h"

namespace ce::detail {

// The extended style of windows that clip neither the siblings below them
// nor their parent (group boxes drawn around other controls): the
// platform's WS_EX_TRANSPARENT.
constexpr DWORD kExStyleTransparent = 0x00000020;

// Kept in the window's drawing slot; the window deletes it after
// WM_NCDESTROY, DCs still holding the surface keep it alive.
class WindowSurface final : public WindowExtra {
 public:
  explicit WindowSurface(std::shared_ptr<Surface> surface) : surface_(std::move(surface)) {}
  const std::shared_ptr<Surface>& Get() const { return surface_; }
  void Set(std::shared_ptr<Surface> surface) { surface_ = std::move(surface); }

 private:
  std::shared_ptr<Surface> surface_;
};

struct WindowPlacement {
  HWND topLevel = nullptr;
  std::shared_ptr<Surface> surface;
  POINT origin;         // the window's (0, 0) on the surface
  PixelRegion visible;  // what the window may draw, surface coordinates
};

// The window that is not a child window at the root of window's tree.
HWND TopLevelOf(HWND window);
// The top-level window's surface, created or resized to its size (at least
// 1 x 1 pixel; the old pixels are kept at the top-left).
std::shared_ptr<Surface> EnsureWindowSurface(HWND topLevel);
// False for an invalid window.
bool PlaceWindow(HWND window, WindowPlacement* placement);

}  // namespace ce::detail
