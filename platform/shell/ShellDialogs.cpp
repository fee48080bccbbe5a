// The OK button flag, full-screen dialogs and the hidden title bar.
#include "platform/shell/ShellDialogs.h"

#include "platform/shell/MenuBar.h"
#include "platform/shell/detail/ShellWindows.h"

namespace ce {

namespace detail {

WindowShellState* WindowShellStateOf(HWND window, bool create) {
  if (!IsWindow(window)) return nullptr;
  auto* state = dynamic_cast<WindowShellState*>(GetWindowExtra(window, typeid(ShellState)));
  if (state != nullptr || !create) return state;
  // A window the shell does not draw itself has no shell extra yet.
  if (GetWindowExtra(window, typeid(ShellState)) != nullptr) return nullptr;
  auto fresh = std::make_unique<WindowShellState>();
  state = fresh.get();
  if (!SetWindowExtra(window, typeid(ShellState), std::move(fresh))) return nullptr;
  return state;
}

}  // namespace detail

namespace {

bool IsTopLevel(HWND window) { return (GetWindowLong(window, GWL_STYLE) & WS_CHILD) == 0; }

void SetOkButton(HWND topLevel, bool show) {
  auto exStyle = static_cast<DWORD>(GetWindowLong(topLevel, GWL_EXSTYLE));
  DWORD wanted = show ? (exStyle | WS_EX_CAPTIONOKBTN) : (exStyle & ~WS_EX_CAPTIONOKBTN);
  if (wanted != exStyle) SetWindowLong(topLevel, GWL_EXSTYLE, static_cast<LONG>(wanted));
}

}  // namespace

BOOL SHDoneButton(HWND window, DWORD state) {
  if (!IsWindow(window) || (state != SHDB_SHOW && state != SHDB_HIDE)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  SetOkButton(detail::TopLevelWindowOf(window), state == SHDB_SHOW);
  return TRUE;
}

BOOL SHInitDialog(SHINITDLGINFO* info) {
  if (info == nullptr || (info->dwMask & ~SHIDIM_FLAGS) != 0 || !IsWindow(info->hDlg)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if ((info->dwMask & SHIDIM_FLAGS) == 0) return TRUE;
  DWORD flags = info->dwFlags;
  HWND dialog = info->hDlg;
  constexpr DWORD kSizing = SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR;
  if ((flags & kSizing) != 0 && !IsTopLevel(dialog)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if ((flags & SHIDIF_DONEBUTTON) != 0) SetOkButton(detail::TopLevelWindowOf(dialog), true);
  if ((flags & kSizing) != 0) {
    auto* state = detail::WindowShellStateOf(dialog, true);
    if (state == nullptr) return FALSE;
    state->fullScreen = (flags & SHIDIF_FULLSCREENNOMENUBAR) != 0
                            ? detail::FullScreenKind::kToBottom
                            : detail::FullScreenKind::kAboveMenuBar;
    RECT rect = detail::FullScreenRect(state->fullScreen);
    MoveWindow(dialog, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
  }
  if ((flags & SHIDIF_EMPTYMENU) != 0) {
    SHMENUBARINFO bar;
    bar.hwndParent = dialog;
    bar.dwFlags = SHCMBF_EMPTYBAR;
    if (!SHCreateMenuBar(&bar)) return FALSE;
  }
  return TRUE;
}

BOOL SHFullScreen(HWND window, DWORD state) {
  constexpr DWORD kKnown = SHFS_SHOWTASKBAR | SHFS_HIDETASKBAR | SHFS_SHOWSIPBUTTON |
                           SHFS_HIDESIPBUTTON | SHFS_SHOWSTARTICON | SHFS_HIDESTARTICON;
  bool both = (state & SHFS_SHOWTASKBAR) != 0 && (state & SHFS_HIDETASKBAR) != 0;
  if (!IsWindow(window) || both || (state & ~kKnown) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if ((state & (SHFS_SHOWTASKBAR | SHFS_HIDETASKBAR)) == 0) return TRUE;
  auto* shell = detail::WindowShellStateOf(detail::TopLevelWindowOf(window), true);
  if (shell == nullptr) return FALSE;
  shell->hideTitleBar = (state & SHFS_HIDETASKBAR) != 0;
  return TRUE;
}

}  // namespace ce
