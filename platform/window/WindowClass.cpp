#include <algorithm>
#include <mutex>

#include "platform/base/CodePage.h"
#include "platform/window/Window.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::LockedWindowSystem;
using detail::WindowClassRecord;

namespace detail {

bool SameClassName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace detail

namespace {

bool IsAtom(LPCWSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

std::shared_ptr<WindowClassRecord> FindClass(LockedWindowSystem& system, LPCWSTR name)
    REQUIRES(detail::windowSystemMutex) {
  if (name == nullptr) return nullptr;
  for (auto& record : system.Classes()) {
    if (IsAtom(name) ? record->atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))
                     : detail::SameClassName(record->name, name)) {
      return record;
    }
  }
  return nullptr;
}

}  // namespace

namespace detail {

std::shared_ptr<WindowClassRecord> FindClassLocked(LockedWindowSystem& system, LPCWSTR name) {
  return FindClass(system, name);
}

}  // namespace detail

ATOM RegisterClass(const WNDCLASS* wndClass) {
  if (wndClass == nullptr || wndClass->lpszClassName == nullptr || IsAtom(wndClass->lpszClassName) ||
      wndClass->lpszClassName[0] == 0 || wndClass->lpfnWndProc == nullptr ||
      wndClass->cbWndExtra < 0 || wndClass->cbWndExtra > 4096 || wndClass->cbClsExtra < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  LockedWindowSystem system;
  if (FindClass(system, wndClass->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  ATOM atom = system.TakeAtom();
  if (atom == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  auto record = std::make_shared<WindowClassRecord>();
  record->atom = atom;
  record->name = wndClass->lpszClassName;
  record->wndClass = *wndClass;
  record->wndClass.lpszClassName = record->name.c_str();
  record->wndClass.lpszMenuName = nullptr;
  system.Classes().push_back(record);
  return record->atom;
}

BOOL UnregisterClass(LPCWSTR className, HINSTANCE /*instance*/) {
  LockedWindowSystem system;
  auto record = FindClass(system, className);
  if (!record) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return FALSE;
  }
  if (record->windowCount > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  auto& classes = system.Classes();
  classes.erase(std::remove(classes.begin(), classes.end(), record), classes.end());
  return TRUE;
}

BOOL GetClassInfo(HINSTANCE /*instance*/, LPCWSTR className, WNDCLASS* wndClass) {
  LockedWindowSystem system;
  auto record = FindClass(system, className);
  if (!record || wndClass == nullptr) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return FALSE;
  }
  // The name points into the class record, which lives while the class is
  // registered.
  *wndClass = record->wndClass;
  return TRUE;
}

}  // namespace ce
