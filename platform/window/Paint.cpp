#include "platform/window/Paint.h"

#include <mutex>
#include <vector>

#include "platform/window/Message.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::LockedWindowSystem;
using detail::WindowRecord;

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
  LockedWindowSystem system;
  if (window == nullptr) {
    for (WindowRecord* record : system.Records()) {
      if (!record->destroying) system.AddUpdate(*record, nullptr, erase != FALSE);
    }
    return TRUE;
  }
  WindowRecord* record = system.Find(window);
  if (record == nullptr || record->destroying) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  system.AddUpdate(*record, rect, erase != FALSE);
  return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return FALSE;
  if (!record->paintPending) return TRUE;
  RECT covered;
  // The region is one rectangle, so only a rectangle that covers all of it
  // validates; a partial one leaves it (painting a little more is harmless).
  if (rect == nullptr ||
      (IntersectRect(&covered, rect, &record->update) && covered == record->update)) {
    system.ClearUpdate(*record);
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL /*erase*/) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return FALSE;
  if (rect != nullptr) *rect = record->paintPending ? record->update : RECT{};
  return record->paintPending ? TRUE : FALSE;
}

bool TakeUpdateRegion(HWND window, RECT* update, bool* erase) {
  LockedWindowSystem system;
  WindowRecord* record = system.Find(window);
  if (record == nullptr || !record->paintPending) {
    if (update != nullptr) *update = RECT{};
    if (erase != nullptr) *erase = false;
    return false;
  }
  if (update != nullptr) *update = record->update;
  if (erase != nullptr) *erase = record->erasePending;
  system.ClearUpdate(*record);
  return true;
}

BOOL UpdateWindow(HWND window) {
  std::vector<HWND> pending;
  {
    LockedWindowSystem system;
    if (system.Find(window) == nullptr) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    std::vector<HWND> subtree;
    system.CollectSubtree(window, &subtree);
    for (HWND member : subtree) {
      WindowRecord* record = system.Find(member);
      if (record->paintPending && system.IsVisible(member)) pending.push_back(member);
    }
  }
  for (HWND member : pending) {
    uint64_t generation;
    {
      LockedWindowSystem system;
      WindowRecord* record = system.Find(member);
      if (record == nullptr || !record->paintPending) continue;
      generation = record->paintGeneration;
    }
    SendMessage(member, WM_PAINT, 0, 0);
    LockedWindowSystem system;
    WindowRecord* record = system.Find(member);
    if (record != nullptr && record->paintGeneration == generation) system.ClearUpdate(*record);
  }
  return TRUE;
}

}  // namespace ce
