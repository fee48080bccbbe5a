#include "platform/window/Focus.h"

#include <algorithm>
#include <mutex>

#include "platform/window/Message.h"
#include "platform/window/detail/DeviceWindowTable.h"
#include "platform/window/detail/PeerLink.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::kNoDeadline;
using detail::WindowRecord;
using detail::WindowSystem;

namespace {

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool delivered = false;
  return detail::SendMessageInternal(window, message, wParam, lParam, kNoDeadline, false,
                                     &delivered);
}

WPARAM AsWParam(HWND window) { return reinterpret_cast<WPARAM>(window); }
LPARAM AsLParam(HWND window) { return reinterpret_cast<LPARAM>(window); }

// Puts a top-level window on top of the others (below topmost ones unless
// it is topmost itself). Requires the lock.
void RaiseTopLevel(WindowSystem& system, WindowRecord& record) {
  auto& list = system.topLevel_;
  list.erase(std::remove(list.begin(), list.end(), record.handle), list.end());
  auto at = list.begin();
  if ((record.exStyle & WS_EX_TOPMOST) == 0) {
    while (at != list.end() && (system.Find(*at)->exStyle & WS_EX_TOPMOST) != 0) ++at;
  }
  list.insert(at, record.handle);
}

}  // namespace

namespace detail {

HWND ActivateLocal(HWND window, bool announce) {
  WindowSystem& system = WindowSystem::Get();
  HWND old;
  uint32_t key;
  {
    std::lock_guard lock(system.mutex_);
    window = system.RootOf(window);
    WindowRecord* record = system.Find(window);
    if (record == nullptr || record->destroying) return nullptr;
    RaiseTopLevel(system, *record);
    old = system.active_;
    system.active_ = window;
    key = system.processKey_;
  }
  if (old != window) {
    if (old != nullptr && IsWindow(old)) {
      Send(old, WM_ACTIVATE, WA_INACTIVE, AsLParam(window));
    }
    Send(window, WM_ACTIVATE, WA_ACTIVE, AsLParam(old));
  }
  if (announce) {
    HWND previous = DeviceWindowTable::ReadForeground();
    DeviceWindowTable::WriteForeground(key, window);
    if (previous != nullptr && previous != window && system.IsRemoteHandle(previous)) {
      PeerLink::Deactivate(previous);
    }
  }
  return old;
}

void DeactivateLocal(HWND window) {
  WindowSystem& system = WindowSystem::Get();
  HWND focus = nullptr;
  {
    std::lock_guard lock(system.mutex_);
    if (system.active_ != window || window == nullptr) return;
    system.active_ = nullptr;
    HWND current = system.focus_;
    if (current != nullptr && (current == window || system.IsAncestor(window, current))) {
      focus = current;
      system.focus_ = nullptr;
    }
  }
  Send(window, WM_ACTIVATE, WA_INACTIVE, 0);
  if (focus != nullptr) Send(focus, WM_KILLFOCUS, 0, 0);
}

void ForgetForeground(HWND window) {
  WindowSystem& system = WindowSystem::Get();
  if (DeviceWindowTable::ReadForeground() == window) {
    DeviceWindowTable::WriteForeground(system.processKey_, nullptr);
  }
}

}  // namespace detail

HWND SetFocus(HWND window) {
  WindowSystem& system = WindowSystem::Get();
  if (window != nullptr) {
    HWND root;
    {
      std::lock_guard lock(system.mutex_);
      WindowRecord* record = system.Find(window);
      if (record == nullptr || record->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
      root = system.RootOf(window);
      if (system.active_ == root) root = nullptr;
    }
    // Activation gives the top-level window the focus first (DefWindowProc).
    if (root != nullptr) detail::ActivateLocal(root, true);
  }
  HWND old;
  {
    std::lock_guard lock(system.mutex_);
    old = system.focus_;
    if (old == window) return old;
    system.focus_ = window;
  }
  if (old != nullptr && IsWindow(old)) Send(old, WM_KILLFOCUS, AsWParam(window), 0);
  if (window != nullptr) {
    {
      std::lock_guard lock(system.mutex_);
      // A WM_KILLFOCUS handler may have moved the focus elsewhere.
      if (system.focus_ != window) return old;
    }
    Send(window, WM_SETFOCUS, AsWParam(old), 0);
  }
  return old;
}

HWND GetFocus() {
  WindowSystem& system = WindowSystem::Get();
  std::lock_guard lock(system.mutex_);
  return system.focus_;
}

HWND SetActiveWindow(HWND window) {
  if (!IsWindow(window) || WindowSystem::Get().IsRemoteHandle(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return detail::ActivateLocal(window, true);
}

HWND GetActiveWindow() {
  WindowSystem& system = WindowSystem::Get();
  std::lock_guard lock(system.mutex_);
  return system.active_;
}

HWND SetCapture(HWND window) {
  WindowSystem& system = WindowSystem::Get();
  HWND old;
  {
    std::lock_guard lock(system.mutex_);
    if (window != nullptr && system.Find(window) == nullptr) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    old = system.capture_;
    system.capture_ = window;
  }
  if (old != nullptr && old != window) Send(old, WM_CAPTURECHANGED, 0, AsLParam(window));
  return old;
}

BOOL ReleaseCapture() {
  WindowSystem& system = WindowSystem::Get();
  HWND old;
  {
    std::lock_guard lock(system.mutex_);
    old = system.capture_;
    system.capture_ = nullptr;
  }
  if (old != nullptr) Send(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  WindowSystem& system = WindowSystem::Get();
  std::lock_guard lock(system.mutex_);
  return system.capture_;
}

}  // namespace ce
