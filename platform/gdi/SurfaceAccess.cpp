// The surface queries of Surface.h: for hosts, screenshots and tests.
#include <mutex>

#include "platform/gdi/Blit.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/detail/BitmapObject.h"
#include "platform/gdi/detail/DcObject.h"
#include "platform/gdi/detail/WindowSurface.h"

namespace ce {
namespace {

constexpr int kDefaultScreenWidth = 240;
constexpr int kDefaultScreenHeight = 320;

std::mutex& ScreenMutex() {
  static std::mutex mutex;
  return mutex;
}

std::shared_ptr<Surface>& ScreenSlot() {
  static auto* screen = new std::shared_ptr<Surface>();  // lives as long as the process
  return *screen;
}

}  // namespace

std::shared_ptr<Surface> GetDcSurface(HDC dc) {
  auto d = detail::FindDc(dc);
  return d == nullptr ? nullptr : d->TargetPtr();
}

std::shared_ptr<Surface> GetBitmapSurface(HBITMAP bitmap) {
  auto b = detail::FindAs<detail::BitmapObject>(bitmap);
  return b == nullptr ? nullptr : b->GetSurface();
}

std::shared_ptr<Surface> GetWindowSurface(HWND window) {
  if (!IsWindow(window)) return nullptr;
  return detail::EnsureWindowSurface(detail::TopLevelOf(window));
}

std::shared_ptr<Surface> GetScreenSurface() {
  std::lock_guard lock(ScreenMutex());
  auto& screen = ScreenSlot();
  if (screen == nullptr) screen = Surface::Create(kDefaultScreenWidth, kDefaultScreenHeight);
  return screen;
}

BOOL SetScreenSize(int width, int height) {
  auto surface = Surface::Create(width, height);
  if (surface == nullptr) return FALSE;
  std::lock_guard lock(ScreenMutex());
  auto& screen = ScreenSlot();
  if (screen != nullptr) surface->CopyFrom(*screen);
  screen = std::move(surface);
  return TRUE;
}

BOOL DrawWindowSurface(HDC target, HWND window, int x, int y) {
  auto surface = GetWindowSurface(window);
  if (surface == nullptr || detail::FindDc(target) == nullptr) return FALSE;
  // A transient DC over the whole surface, as the copy's source.
  detail::PixelRegion all(RECT{0, 0, surface->Width(), surface->Height()});
  auto source = detail::DcObject::CreateOnSurface(detail::DcObject::Kind::kScreen, surface,
                                                  POINT{}, std::move(all), nullptr);
  uintptr_t id = detail::AddObject(source);
  source->SetId(id);
  HDC src = detail::ToHandle<HDC>(id);
  BOOL ok = BitBlt(target, x, y, surface->Width(), surface->Height(), src, 0, 0, SRCCOPY);
  detail::RemoveObject(src);
  return ok;
}

std::vector<TextRecord> GetTextRecords(HDC dc) {
  auto surface = GetDcSurface(dc);
  return surface == nullptr ? std::vector<TextRecord>{} : surface->TextRecords();
}

void ClearTextRecords(HDC dc) {
  if (auto surface = GetDcSurface(dc)) surface->ClearTextRecords();
}

BOOL SaveBitmapToPng(HBITMAP bitmap, const std::filesystem::path& path) {
  auto surface = GetBitmapSurface(bitmap);
  return surface != nullptr && surface->WritePng(path) ? TRUE : FALSE;
}

BOOL SaveWindowToPng(HWND window, const std::filesystem::path& path) {
  auto surface = GetWindowSurface(window);
  return surface != nullptr && surface->WritePng(path) ? TRUE : FALSE;
}

}  // namespace ce
