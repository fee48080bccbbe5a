#include "platform/gdi/WindowPaint.h"

#include "platform/gdi/Shapes.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/detail/DcObject.h"
#include "platform/gdi/detail/WindowSurface.h"
#include "platform/window/Message.h"
#include "platform/window/Paint.h"

namespace ce {

using detail::DcObject;

namespace {

// Erases with the class background brush (a brush or COLOR_x + 1).
LRESULT EraseBackground(HWND window, UINT, WPARAM wParam, LPARAM) {
  auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtr(window, GCLP_HBRBACKGROUND));
  if (brush == nullptr) return 0;
  RECT client{};
  GetClientRect(window, &client);
  return FillRect(reinterpret_cast<HDC>(wParam), &client, brush) != 0 ? 1 : 0;
}

HDC AddDc(std::shared_ptr<DcObject> dc) {
  if (dc == nullptr) return nullptr;
  uintptr_t id = detail::AddObject(dc);
  dc->SetId(id);
  return detail::ToHandle<HDC>(id);
}

// A DC on the window, limited to part (client coordinates) when given.
HDC WindowDc(HWND window, const RECT* part) {
  detail::WindowPlacement place;
  if (!detail::PlaceWindow(window, &place)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (part != nullptr) {
    RECT r = *part;
    OffsetRect(&r, place.origin.x, place.origin.y);
    place.visible.Intersect(r);
  }
  return AddDc(DcObject::CreateOnSurface(DcObject::Kind::kWindow, place.surface, place.origin,
                                         std::move(place.visible), window));
}

}  // namespace

// The drawing layer's answer to WM_ERASEBKGND, installed when the layer is
// loaded, before any window can ask for it.
struct PaintDefaults {
  PaintDefaults() { SetDefaultMessageHandler(WM_ERASEBKGND, EraseBackground); }
} const paintDefaults;

HDC GetDC(HWND window) {
  if (window == nullptr) {
    auto screen = GetScreenSurface();
    detail::PixelRegion all(RECT{0, 0, screen->Width(), screen->Height()});
    return AddDc(DcObject::CreateOnSurface(DcObject::Kind::kScreen, screen, POINT{},
                                           std::move(all), nullptr));
  }
  return WindowDc(window, nullptr);
}

int ReleaseDC(HWND, HDC dc) {
  // Any window or screen DC is released, whichever window is named: a DC
  // released with the wrong window would otherwise never be freed.
  auto d = detail::FindDc(dc);
  if (d == nullptr || d->GetKind() == DcObject::Kind::kMemory) return 0;
  detail::RemoveObject(dc);
  return 1;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (paint == nullptr) return nullptr;
  *paint = PAINTSTRUCT{};
  RECT update{};
  bool erase = false;
  bool invalid = TakeUpdateRegion(window, &update, &erase);
  HDC dc = WindowDc(window, &update);
  if (dc == nullptr) return nullptr;
  paint->hdc = dc;
  paint->rcPaint = invalid ? update : RECT{};
  if (invalid && erase) {
    paint->fErase = SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
  }
  return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (paint == nullptr) return FALSE;
  return ReleaseDC(window, paint->hdc) != 0 ? TRUE : FALSE;
}

}  // namespace ce
