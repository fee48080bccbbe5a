#include "platform/host/DeviceScreen.h"

#include <algorithm>
#include <tuple>

#include "platform/base/Thread.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/VisibleControls.h"
#include "platform/gdi/Gdi.h"
#include "platform/host/detail/SdlWindow.h"
#include "platform/shell/Shell.h"
#include "platform/window/Paint.h"

namespace ce {

namespace {

bool OnCallingThread(HWND window) {
  return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

std::vector<HWND> VisibleTopLevelBottomFirst() {
  std::vector<HWND> windows = TopLevelWindows();
  std::reverse(windows.begin(), windows.end());
  std::erase_if(windows, [](HWND window) { return !IsWindowVisible(window); });
  return windows;
}

// True when a window above `below` in the list covers the point.
bool Covered(const std::vector<HWND>& bottomFirst, size_t below, POINT point) {
  for (size_t i = below + 1; i < bottomFirst.size(); ++i) {
    RECT rect{};
    GetWindowRect(bottomFirst[i], &rect);
    if (PtInRect(&rect, point)) return true;
  }
  return false;
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Captions of controls that draw no text of their own: owner drawn
// buttons, pictures with a caption. A control that draws text shows it the
// way the user sees it (in lines, in pieces around a selection), so its
// caption is not listed as well. Drawn text inside a visible descendant is
// the descendant's, and text under a window above is that window's.
void AddCaptions(const std::vector<HWND>& bottomFirst, std::vector<TextRecord>* texts) {
  const size_t drawn = texts->size();
  for (size_t i = 0; i < bottomFirst.size(); ++i) {
    HWND top = bottomFirst[i];
    if (IsShellWindow(top)) continue;
    std::vector<VisibleControl> controls = ListVisibleControls(top);
    for (const VisibleControl& control : controls) {
      if (control.window == top || control.text.empty() || control.className == WC_DIALOG) continue;
      if (control.className == u"MenuItem") continue;  // menus draw their items
      RECT rect = ClipToAncestors(control.window, control.screenRect);
      if (IsRectEmpty(&rect)) continue;
      POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
      if (Covered(bottomFirst, i, centre)) continue;
      auto inDescendant = [&](const TextRecord& text) {
        return std::any_of(controls.begin(), controls.end(), [&](const VisibleControl& inner) {
          return IsChild(control.window, inner.window) && Contains(inner.screenRect, text.rect);
        });
      };
      bool drewText = std::any_of(texts->begin(), texts->begin() + static_cast<long>(drawn),
                                  [&](const TextRecord& text) {
                                    POINT middle{(text.rect.left + text.rect.right) / 2,
                                                 (text.rect.top + text.rect.bottom) / 2};
                                    return Contains(rect, text.rect) && !inDescendant(text) &&
                                           !Covered(bottomFirst, i, middle);
                                  });
      if (!drewText) texts->push_back(TextRecord{rect, control.text, 0});
    }
  }
}

}  // namespace

RECT ClipToAncestors(HWND control, RECT rect) {
  auto screen = GetScreenSurface();
  RECT bounds{0, 0, screen->Width(), screen->Height()};
  IntersectRect(&rect, &rect, &bounds);
  for (HWND parent = GetParent(control); parent != nullptr && !IsRectEmpty(&rect);
       parent = GetParent(parent)) {
    RECT area{};
    GetWindowRect(parent, &area);
    IntersectRect(&rect, &rect, &area);
    if ((GetWindowLong(parent, GWL_STYLE) & WS_CHILD) == 0) break;
  }
  return rect;
}

std::unique_ptr<DeviceScreen> DeviceScreen::Open(bool headless, std::string* note) {
  std::unique_ptr<DeviceScreen> screen(new DeviceScreen);
  auto surface = GetScreenSurface();
  if (headless) {
    if (note != nullptr) *note = "headless";
    return screen;
  }
  std::string why;
  screen->window_ = detail::SdlWindow::Open(surface->Width(), surface->Height(), kWindowScale, &why);
  if (screen->window_ == nullptr && note != nullptr) *note = why;
  return screen;
}

DeviceScreen::~DeviceScreen() = default;

void DeviceScreen::Compose() {
  std::vector<HWND> windows = VisibleTopLevelBottomFirst();
  for (HWND window : windows) {
    if (OnCallingThread(window)) UpdateWindow(window);
  }
  auto screen = GetScreenSurface();
  HDC dc = GetDC(nullptr);
  RECT all{0, 0, screen->Width(), screen->Height()};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (HWND window : windows) {
    if (!IsWindowVisible(window)) continue;
    RECT rect{};
    GetWindowRect(window, &rect);
    DrawWindowSurface(dc, window, rect.left, rect.top);
  }
  ReleaseDC(nullptr, dc);
}

void DeviceScreen::Present() {
  Compose();
  if (window_ != nullptr) window_->Show(*GetScreenSurface());
}

bool DeviceScreen::WriteShot(const std::filesystem::path& path, std::string* error) {
  Compose();
  if (GetScreenSurface()->WritePng(path)) return true;
  if (error != nullptr) *error = "cannot write " + path.string();
  return false;
}

std::vector<TextRecord> DeviceScreen::VisibleTexts() {
  Compose();
  std::vector<TextRecord> texts = GetScreenSurface()->TextRecords();
  std::erase_if(texts, [](const TextRecord& text) { return text.text.empty(); });
  AddCaptions(VisibleTopLevelBottomFirst(), &texts);
  std::stable_sort(texts.begin(), texts.end(), [](const TextRecord& a, const TextRecord& b) {
    return std::tie(a.rect.top, a.rect.left) < std::tie(b.rect.top, b.rect.left);
  });
  return texts;
}

void DeviceScreen::Poll(std::vector<detail::HostEvent>* events) {
  if (window_ != nullptr) window_->Poll(events);
}

}  // namespace ce
