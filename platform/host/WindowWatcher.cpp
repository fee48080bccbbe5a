#include "platform/host/WindowWatcher.h"

#include <algorithm>

#include "platform/base/CodePage.h"
#include "platform/host/Transcript.h"
#include "platform/host/detail/WindowNames.h"
#include "platform/shell/Shell.h"
#include "platform/window/Window.h"

namespace ce {

namespace {

void CollectShown(HWND window, std::vector<HWND>* out) {
  if (!IsWindowVisible(window)) return;
  out->push_back(window);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    CollectShown(child, out);
  }
}

}  // namespace

void WindowWatcher::Poll(Transcript& transcript) {
  std::vector<HWND> windows;
  std::vector<HWND> tops = TopLevelWindows();
  // Oldest (bottom) first, so that a dialog comes after the window below it.
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) CollectShown(*it, &windows);
  std::vector<Shown> now;
  for (HWND window : windows) {
    std::u16string name = detail::ReportedName(window);
    if (!name.empty()) now.push_back(Shown{window, std::move(name)});
  }
  auto has = [](const std::vector<Shown>& list, HWND window) {
    return std::any_of(list.begin(), list.end(), [&](const Shown& s) { return s.window == window; });
  };
  for (auto it = shown_.rbegin(); it != shown_.rend(); ++it) {
    if (!has(now, it->window)) transcript.Write("hide " + ToUtf8(it->name));
  }
  for (const Shown& entry : now) {
    if (!has(shown_, entry.window)) transcript.Write("show " + ToUtf8(entry.name));
  }
  shown_ = std::move(now);
}

}  // namespace ce
