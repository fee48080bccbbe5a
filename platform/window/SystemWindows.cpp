#include "platform/window/SystemWindows.h"

#include <mutex>
#include <string>

#include "platform/window/Focus.h"
#include "platform/window/Message.h"
#include "platform/window/detail/DeviceWindowTable.h"
#include "platform/window/detail/PeerLink.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::DeviceWindowTable;
using detail::LockedWindowSystem;
using detail::PeerLink;
using detail::PublishedWindow;
using detail::WindowRecord;

namespace {

bool IsAtom(LPCWSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

std::vector<HWND> LocalTopLevel() {
  LockedWindowSystem system;
  std::vector<HWND> windows;
  for (HWND window : system.TopLevel()) {
    WindowRecord* record = system.Find(window);
    if (record != nullptr && !record->destroying) windows.push_back(window);
  }
  return windows;
}

}  // namespace

namespace detail {

void PublishTopLevelWindows() {
  // Held from the snapshot to the write, so that entries are written in the
  // order the changes happened.
  static std::mutex publishMutex;
  std::lock_guard publishLock(publishMutex);
  std::vector<PublishedWindow> windows;
  uint32_t key;
  {
    LockedWindowSystem system;
    key = detail::ProcessKey();
    for (HWND window : system.TopLevel()) {
      WindowRecord* record = system.Find(window);
      if (record == nullptr || record->destroying) continue;
      windows.push_back({static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)),
                         record->windowClass->name, record->text});
    }
  }
  // Others can reach the windows as soon as they are listed.
  if (!windows.empty()) PeerLink::Listen(key);
  DeviceWindowTable::Publish(key, windows);
}

void PostToLocalTopLevel(UINT message, WPARAM wParam, LPARAM lParam) {
  for (HWND window : LocalTopLevel()) PostMessage(window, message, wParam, lParam);
}

LRESULT BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam, bool send) {
  for (HWND window : LocalTopLevel()) {
    if (send) {
      SendMessage(window, message, wParam, lParam);
    } else {
      PostMessage(window, message, wParam, lParam);
    }
  }
  uint32_t key = detail::ProcessKey();
  for (const auto& process : DeviceWindowTable::OtherProcesses(key)) {
    PeerLink::Broadcast(process.key, message, wParam, lParam);
  }
  return send ? 0 : TRUE;
}

}  // namespace detail

HWND FindWindow(LPCWSTR className, LPCWSTR windowName) {
  const bool anyClass = className == nullptr || (!IsAtom(className) && className[0] == 0);
  uint32_t key;
  {
    LockedWindowSystem system;
    key = detail::ProcessKey();
    for (HWND window : system.TopLevel()) {
      WindowRecord* record = system.Find(window);
      if (record == nullptr || record->destroying) continue;
      if (!anyClass) {
        bool same = IsAtom(className)
                        ? record->windowClass->atom ==
                              static_cast<ATOM>(reinterpret_cast<uintptr_t>(className))
                        : detail::SameClassName(record->windowClass->name, className);
        if (!same) continue;
      }
      if (windowName != nullptr && record->text != windowName) continue;
      return window;
    }
  }
  if (!anyClass && IsAtom(className)) return nullptr;  // atoms are this process's own
  for (const auto& process : DeviceWindowTable::OtherProcesses(key)) {
    for (const auto& entry : process.windows) {
      if (!anyClass && !detail::SameClassName(entry.className, className)) continue;
      if (windowName != nullptr && entry.title != windowName) continue;
      return detail::MakeHandle(process.key, entry.serial);
    }
  }
  return nullptr;
}

BOOL SetForegroundWindow(HWND window) {
  if (detail::IsRemoteHandle(window)) {
    if (!PeerLink::Activate(window)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    // Recorded here as well, so that the caller sees the change at once.
    DeviceWindowTable::WriteForeground(detail::ProcessKey(), window);
    detail::DeactivateLocal(GetActiveWindow());
    return TRUE;
  }
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  detail::ActivateLocal(window, true);
  return TRUE;
}

HWND GetForegroundWindow() {
  HWND window = DeviceWindowTable::ReadForeground();
  if (window == nullptr) return nullptr;
  if (detail::IsRemoteHandle(window)) return IsWindow(window) ? window : nullptr;
  LockedWindowSystem system;
  WindowRecord* record = system.Find(window);
  return record != nullptr && !record->destroying ? window : nullptr;
}

}  // namespace ce
