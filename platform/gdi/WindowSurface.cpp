#include "platform/gdi/detail/WindowSurface.h"

#include <algorithm>

namespace ce::detail {
namespace {

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLong(window, GWL_STYLE)); }

bool Shown(HWND window) { return (Style(window) & WS_VISIBLE) != 0; }

// Visible windows clip the windows below them and their parent, unless
// they are see-through.
bool Clips(HWND window) {
  return Shown(window) &&
         (static_cast<DWORD>(GetWindowLong(window, GWL_EXSTYLE)) & kExStyleTransparent) == 0;
}

// A window's rectangle relative to the top-level window's top-left corner.
RECT RectIn(HWND window, const RECT& top) {
  RECT r{};
  GetWindowRect(window, &r);
  OffsetRect(&r, -top.left, -top.top);
  return r;
}

void SubtractSiblingsAbove(HWND window, const RECT& top, PixelRegion* visible) {
  for (HWND s = GetWindow(window, GW_HWNDPREV); s != nullptr; s = GetWindow(s, GW_HWNDPREV)) {
    if (Clips(s)) visible->Subtract(RectIn(s, top));
  }
}

}  // namespace

HWND TopLevelOf(HWND window) {
  HWND w = window;
  // The depth guards against a parent chain that changes while we walk it.
  for (int depth = 0; depth < 256 && w != nullptr && (Style(w) & WS_CHILD) != 0; ++depth) {
    HWND parent = GetParent(w);
    if (parent == nullptr) break;
    w = parent;
  }
  return w;
}

std::shared_ptr<Surface> EnsureWindowSurface(HWND topLevel) {
  RECT r{};
  if (!GetWindowRect(topLevel, &r)) return nullptr;
  int width = std::clamp<int>(r.right - r.left, 1, Surface::kMaxSide);
  int height = std::clamp<int>(r.bottom - r.top, 1, Surface::kMaxSide);
  auto* extra = dynamic_cast<WindowSurface*>(GetWindowExtra(topLevel, typeid(WindowSurface)));
  if (extra != nullptr && extra->Get()->Width() == width && extra->Get()->Height() == height) {
    return extra->Get();
  }
  auto surface = Surface::Create(width, height);
  if (surface == nullptr) return extra != nullptr ? extra->Get() : nullptr;
  if (extra != nullptr) {
    surface->CopyFrom(*extra->Get());
    extra->Set(surface);
  } else {
    SetWindowExtra(topLevel, typeid(WindowSurface), std::make_unique<WindowSurface>(surface));
  }
  return surface;
}

bool PlaceWindow(HWND window, WindowPlacement* placement) {
  if (!IsWindow(window)) return false;
  HWND top = TopLevelOf(window);
  auto surface = EnsureWindowSurface(top);
  if (surface == nullptr) return false;
  RECT topRect{};
  GetWindowRect(top, &topRect);
  RECT own = RectIn(window, topRect);
  PixelRegion visible(own);
  for (HWND c = window; c != top && c != nullptr; c = GetParent(c)) {
    if (!Shown(c)) {
      visible = PixelRegion();
      break;
    }
    HWND parent = GetParent(c);
    if (parent == nullptr) break;
    visible.Intersect(RectIn(parent, topRect));
    SubtractSiblingsAbove(c, topRect, &visible);
  }
  // A window never draws over its visible children.
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (Clips(child)) visible.Subtract(RectIn(child, topRect));
  }
  placement->topLevel = top;
  placement->surface = std::move(surface);
  placement->origin = POINT{own.left, own.top};
  placement->visible = std::move(visible);
  return true;
}

}  // namespace ce::detail
