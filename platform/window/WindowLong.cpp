#include <cstring>
#include <mutex>

#include "platform/window/Window.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::LockedWindowSystem;
using detail::WindowRecord;

namespace {

constexpr DWORD kErrorInvalidIndex = 1413;

}  // namespace

LONG_PTR GetWindowLongPtr(HWND window, int index) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return 0;
  switch (index) {
    case GWL_WNDPROC:
      return reinterpret_cast<LONG_PTR>(record->proc);
    case GWL_ID:
      return record->id;
    case GWL_STYLE:
      return static_cast<LONG_PTR>(record->style);
    case GWL_EXSTYLE:
      return static_cast<LONG_PTR>(record->exStyle);
    case GWL_USERDATA:
      return record->userData;
    default:
      break;
  }
  if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= record->extraBytes.size()) {
    LONG_PTR value;
    std::memcpy(&value, record->extraBytes.data() + index, sizeof value);
    return value;
  }
  SetLastError(kErrorInvalidIndex);
  return 0;
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return 0;
  LONG_PTR old;
  switch (index) {
    case GWL_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(record->proc);
      if (value == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      record->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWL_ID:
      old = record->id;
      record->id = value;
      return old;
    case GWL_STYLE:
      old = static_cast<LONG_PTR>(record->style);
      record->style = static_cast<DWORD>(value);
      return old;
    case GWL_EXSTYLE:
      old = static_cast<LONG_PTR>(record->exStyle);
      record->exStyle = static_cast<DWORD>(value);
      return old;
    case GWL_USERDATA:
      old = record->userData;
      record->userData = value;
      return old;
    default:
      break;
  }
  if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= record->extraBytes.size()) {
    std::memcpy(&old, record->extraBytes.data() + index, sizeof old);
    std::memcpy(record->extraBytes.data() + index, &value, sizeof value);
    return old;
  }
  SetLastError(kErrorInvalidIndex);
  return 0;
}

namespace {

// Reads the 32-bit value at a byte offset of the window's extra bytes and,
// when newValue is given, replaces it; returns the value read (0 on failure).
LONG ExchangeExtraLong(HWND window, int index, const LONG* newValue) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return 0;
  if (static_cast<size_t>(index) + sizeof(LONG) > record->extraBytes.size()) {
    SetLastError(kErrorInvalidIndex);
    return 0;
  }
  LONG old;
  std::memcpy(&old, record->extraBytes.data() + index, sizeof old);
  if (newValue != nullptr) std::memcpy(record->extraBytes.data() + index, newValue, sizeof *newValue);
  return old;
}

}  // namespace

LONG GetWindowLong(HWND window, int index) {
  // Extra bytes are read 4 at a time here.
  if (index >= 0) return ExchangeExtraLong(window, index, nullptr);
  return static_cast<LONG>(GetWindowLongPtr(window, index));
}

LONG SetWindowLong(HWND window, int index, LONG value) {
  if (index >= 0) return ExchangeExtraLong(window, index, &value);
  // Styles are unsigned 32-bit values; keep them from being sign-extended.
  LONG_PTR wide = index == GWL_STYLE || index == GWL_EXSTYLE
                      ? static_cast<LONG_PTR>(static_cast<DWORD>(value))
                      : static_cast<LONG_PTR>(value);
  return static_cast<LONG>(SetWindowLongPtr(window, index, wide));
}

LONG_PTR GetClassLongPtr(HWND window, int index) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return 0;
  const WNDCLASS& wndClass = record->windowClass->wndClass;
  switch (index) {
    case GCL_STYLE:
      return static_cast<LONG_PTR>(wndClass.style);
    case GCLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(wndClass.lpfnWndProc);
    case GCLP_HBRBACKGROUND:
      return reinterpret_cast<LONG_PTR>(wndClass.hbrBackground);
    default:
      SetLastError(kErrorInvalidIndex);
      return 0;
  }
}

}  // namespace ce
