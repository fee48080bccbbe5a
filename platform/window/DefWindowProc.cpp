#include <algorithm>
#include <unordered_map>

#include "platform/base/ThreadAnnotations.h"
#include "platform/window/Focus.h"
#include "platform/window/Message.h"
#include "platform/window/Paint.h"
#include "platform/window/Window.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::LockedWindowSystem;
using detail::WindowRecord;

namespace {

LRESULT OnSetText(HWND window, LPCWSTR text) {
  bool topLevel;
  {
    LockedWindowSystem system;
    WindowRecord* record = system.Find(window);
    if (record == nullptr) return FALSE;
    record->text = text != nullptr ? text : u"";
    topLevel = record->parent == nullptr;
  }
  // Other processes find top-level windows by their title.
  if (topLevel) detail::PublishTopLevelWindows();
  return TRUE;
}

LRESULT OnGetText(HWND window, WPARAM bufferLen, LPWSTR buffer) {
  if (buffer == nullptr || bufferLen == 0) return 0;
  LockedWindowSystem system;
  WindowRecord* record = system.Find(window);
  if (record == nullptr) {
    buffer[0] = 0;
    return 0;
  }
  size_t count = std::min(record->text.size(), static_cast<size_t>(bufferLen - 1));
  std::copy_n(record->text.data(), count, buffer);
  buffer[count] = 0;
  return static_cast<LRESULT>(count);
}

LRESULT OnGetTextLength(HWND window) {
  LockedWindowSystem system;
  WindowRecord* record = system.Find(window);
  return record != nullptr ? static_cast<LRESULT>(record->text.size()) : 0;
}

// An activated window takes the focus unless one of its own windows has it.
LRESULT OnActivate(HWND window, WPARAM state) {
  if (LOWORD(state) == WA_INACTIVE) return 0;
  {
    LockedWindowSystem system;
    HWND focus = system.Focus();
    if (focus != nullptr && (focus == window || system.IsAncestor(window, focus))) return 0;
  }
  SetFocus(window);
  return 0;
}

// What DefWindowProc does with the messages a higher layer answers. The
// table is apart from the window system's state: the layers fill it in while
// they are loaded, before anything of the window system exists.
class DefaultHandlers {
 public:
  static DefaultHandlers& Get() {
    static DefaultHandlers* handlers = new DefaultHandlers;  // never destroyed
    return *handlers;
  }

  void Set(UINT message, WNDPROC handler) {
    MutexLock lock(mutex_);
    if (handler == nullptr) {
      handlers_.erase(message);
    } else {
      handlers_[message] = handler;
    }
  }

  WNDPROC Find(UINT message) {
    MutexLock lock(mutex_);
    auto it = handlers_.find(message);
    return it != handlers_.end() ? it->second : nullptr;
  }

 private:
  Mutex mutex_;
  std::unordered_map<UINT, WNDPROC> handlers_ GUARDED_BY(mutex_);
};

}  // namespace

void SetDefaultMessageHandler(UINT message, WNDPROC handler) {
  DefaultHandlers::Get().Set(message, handler);
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC handler = DefaultHandlers::Get().Find(message);
  if (handler != nullptr) return handler(window, message, wParam, lParam);
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_SETTEXT:
      return OnSetText(window, reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT:
      return OnGetText(window, wParam, reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH:
      return OnGetTextLength(window);
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_PAINT:
      ValidateRect(window, nullptr);
      return 0;
    case WM_ACTIVATE:
      return OnActivate(window, wParam);
    default:
      return 0;
  }
}

}  // namespace ce
