// Turning the screen and the work area.
#include <atomic>
#include <mutex>

#include "platform/controls/Metrics.h"
#include "platform/gdi/Surface.h"
#include "platform/shell/Display.h"
#include "platform/shell/Shell.h"
#include "platform/shell/detail/ShellWindows.h"

namespace ce {

namespace {

constexpr LONG DISP_CHANGE_FAILED = -1;

std::atomic<uint32_t>& Orientation() {
  static std::atomic<uint32_t> orientation{DMDO_0};
  return orientation;
}

bool IsLandscape(DWORD orientation) { return orientation == DMDO_90 || orientation == DMDO_270; }

bool KnownOrientation(DWORD orientation) {
  return orientation == DMDO_0 || orientation == DMDO_90 || orientation == DMDO_180 ||
         orientation == DMDO_270;
}

void ResizeFullScreenWindows(const std::vector<HWND>& windows) {
  for (HWND window : windows) {
    auto* state = detail::WindowShellStateOf(window, false);
    if (state == nullptr || state->fullScreen == detail::FullScreenKind::kNone) continue;
    RECT rect = detail::FullScreenRect(state->fullScreen);
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
  }
}

LONG Turn(DWORD orientation) {
  bool landscape = IsLandscape(orientation);
  int width = landscape ? kScreenLongSide : kScreenShortSide;
  int height = landscape ? kScreenShortSide : kScreenLongSide;
  if (GetSystemMetrics(SM_CXSCREEN) != width || GetSystemMetrics(SM_CYSCREEN) != height) {
    if (!SetScreenSize(width, height)) return DISP_CHANGE_FAILED;
  }
  Orientation().store(orientation, std::memory_order_relaxed);
  detail::PlaceShellWindows();
  std::vector<HWND> windows = TopLevelWindows();
  ResizeFullScreenWindows(windows);
  for (HWND window : windows) {
    if (IsWindow(window)) SendMessage(window, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
  }
  return DISP_CHANGE_SUCCESSFUL;
}

}  // namespace

LONG ChangeDisplaySettingsEx(LPCWSTR device, DEVMODE* mode, HWND /*window*/, DWORD flags,
                             void* /*param*/) {
  if (device != nullptr || mode == nullptr) return DISP_CHANGE_BADPARAM;
  if ((flags & ~(CDS_TEST | CDS_RESET)) != 0) return DISP_CHANGE_BADFLAGS;
  if ((mode->dmFields & DM_DISPLAYQUERYORIENTATION) != 0) {
    mode->dmDisplayOrientation = ScreenOrientation();
    mode->dmPelsWidth = static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN));
    mode->dmPelsHeight = static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN));
    return DISP_CHANGE_SUCCESSFUL;
  }
  if ((mode->dmFields & DM_DISPLAYORIENTATION) == 0) return DISP_CHANGE_SUCCESSFUL;
  if (!KnownOrientation(mode->dmDisplayOrientation)) return DISP_CHANGE_BADMODE;
  if ((flags & CDS_TEST) != 0) return DISP_CHANGE_SUCCESSFUL;
  // The same orientation again changes nothing unless a reset is asked for.
  if (mode->dmDisplayOrientation == ScreenOrientation() && (flags & CDS_RESET) == 0) {
    return DISP_CHANGE_SUCCESSFUL;
  }
  return Turn(mode->dmDisplayOrientation);
}

DWORD ScreenOrientation() { return Orientation().load(std::memory_order_relaxed); }

BOOL SystemParametersInfo(UINT action, UINT /*param*/, void* pv, UINT /*winIni*/) {
  if (action != SPI_GETWORKAREA || pv == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *static_cast<RECT*>(pv) =
      RECT{0, kTitleBarHeight, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return TRUE;
}

}  // namespace ce
