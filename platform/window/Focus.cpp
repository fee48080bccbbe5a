#include "platform/window/Focus.h"

#include <algorithm>
#include <mutex>

#include "platform/window/Message.h"
#include "platform/window/detail/DeviceWindowTable.h"
#include "platform/window/detail/PeerLink.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::LockedWindowSystem;
using detail::WindowRecord;
using detail::kNoDeadline;

namespace {

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool delivered = false;
  return detail::SendMessageInternal(window, message, wParam, lParam, kNoDeadline, false,
                                     &delivered);
}

WPARAM AsWParam(HWND window) { return reinterpret_cast<WPARAM>(window); }
LPARAM AsLParam(HWND window) { return reinterpret_cast<LPARAM>(window); }

// Puts a top-level window on top of the others (below topmost ones unless
// it is topmost itself).
void RaiseTopLevel(LockedWindowSystem& system, WindowRecord& record)
    REQUIRES(detail::windowSystemMutex) {
  auto& list = system.TopLevel();
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
  HWND old;
  uint32_t key;
  {
    LockedWindowSystem system;
    window = system.RootOf(window);
    WindowRecord* record = system.Find(window);
    if (record == nullptr || record->destroying) return nullptr;
    RaiseTopLevel(system, *record);
    old = system.Active();
    system.SetActive(window);
    key = detail::ProcessKey();
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
    if (previous != nullptr && previous != window && detail::IsRemoteHandle(previous)) {
      PeerLink::Deactivate(previous);
    }
  }
  return old;
}

void DeactivateLocal(HWND window) {
  HWND focus = nullptr;
  {
    LockedWindowSystem system;
    if (system.Active() != window || window == nullptr) return;
    system.SetActive(nullptr);
    HWND current = system.Focus();
    if (current != nullptr && (current == window || system.IsAncestor(window, current))) {
      focus = current;
      system.SetFocus(nullptr);
    }
  }
  Send(window, WM_ACTIVATE, WA_INACTIVE, 0);
  if (focus != nullptr) Send(focus, WM_KILLFOCUS, 0, 0);
}

void ForgetForeground(HWND window) {
  if (DeviceWindowTable::ReadForeground() == window) {
    DeviceWindowTable::WriteForeground(detail::ProcessKey(), nullptr);
  }
}

}  // namespace detail

HWND SetFocus(HWND window) {
  if (window != nullptr) {
    HWND root;
    {
      LockedWindowSystem system;
      WindowRecord* record = system.Find(window);
      if (record == nullptr || record->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
      root = system.RootOf(window);
      if (system.Active() == root) root = nullptr;
    }
    // Activation gives the top-level window the focus first (DefWindowProc).
    if (root != nullptr) detail::ActivateLocal(root, true);
  }
  HWND old;
  {
    LockedWindowSystem system;
    old = system.Focus();
    if (old == window) return old;
    system.SetFocus(window);
  }
  if (old != nullptr && IsWindow(old)) Send(old, WM_KILLFOCUS, AsWParam(window), 0);
  if (window != nullptr) {
    {
      LockedWindowSystem system;
      // A WM_KILLFOCUS handler may have moved the focus elsewhere.
      if (system.Focus() != window) return old;
    }
    Send(window, WM_SETFOCUS, AsWParam(old), 0);
  }
  return old;
}

HWND GetFocus() {
  LockedWindowSystem system;
  return system.Focus();
}

HWND SetActiveWindow(HWND window) {
  if (!IsWindow(window) || detail::IsRemoteHandle(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return detail::ActivateLocal(window, true);
}

HWND GetActiveWindow() {
  LockedWindowSystem system;
  return system.Active();
}

HWND SetCapture(HWND window) {
  HWND old;
  {
    LockedWindowSystem system;
    if (window != nullptr && system.Find(window) == nullptr) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    old = system.Capture();
    system.SetCapture(window);
  }
  if (old != nullptr && old != window) Send(old, WM_CAPTURECHANGED, 0, AsLParam(window));
  return old;
}

BOOL ReleaseCapture() {
  HWND old;
  {
    LockedWindowSystem system;
    old = system.Capture();
    system.SetCapture(nullptr);
  }
  if (old != nullptr) Send(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  LockedWindowSystem system;
  return system.Capture();
}

}  // namespace ce
