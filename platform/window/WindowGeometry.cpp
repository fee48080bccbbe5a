#include <algorithm>
#include <mutex>

#include "platform/window/Message.h"
#include "platform/window/Window.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::LockedWindowSystem;
using detail::WindowRecord;
using detail::kNoDeadline;

namespace {

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool delivered = false;
  return detail::SendMessageInternal(window, message, wParam, lParam, kNoDeadline, true,
                                     &delivered);
}

// Screen position of the window's top-left corner.
POINT ScreenOrigin(LockedWindowSystem& system, const WindowRecord& record)
    REQUIRES(detail::windowSystemMutex) {
  POINT origin{record.rect.left, record.rect.top};
  for (WindowRecord* parent = system.Find(record.parent); parent != nullptr;
       parent = system.Find(parent->parent)) {
    origin.x += parent->rect.left;
    origin.y += parent->rect.top;
  }
  return origin;
}

// Marks the window and its descendants for painting.
void InvalidateSubtree(LockedWindowSystem& system, HWND window)
    REQUIRES(detail::windowSystemMutex) {
  std::vector<HWND> subtree;
  system.CollectSubtree(window, &subtree);
  for (HWND member : subtree) system.AddUpdate(*system.Find(member), nullptr, true);
}

// Moves a window within its sibling list; topmost top-level windows stay
// above the others.
void Restack(LockedWindowSystem& system, WindowRecord& record, HWND insertAfter)
    REQUIRES(detail::windowSystemMutex) {
  WindowRecord* parent = system.Find(record.parent);
  std::vector<HWND>& siblings = parent != nullptr ? parent->children : system.TopLevel();
  HWND window = record.handle;
  if (insertAfter == window) return;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
  if (parent == nullptr) {
    if (insertAfter == HWND_TOPMOST) record.exStyle |= WS_EX_TOPMOST;
    if (insertAfter == HWND_NOTOPMOST) record.exStyle &= ~WS_EX_TOPMOST;
  }
  auto firstNonTopmost = [&]() REQUIRES(detail::windowSystemMutex) {
    auto at = siblings.begin();
    if (parent == nullptr) {
      while (at != siblings.end() && (system.Find(*at)->exStyle & WS_EX_TOPMOST) != 0) ++at;
    }
    return at;
  };
  const bool topmost = parent == nullptr && (record.exStyle & WS_EX_TOPMOST) != 0;
  if (insertAfter == HWND_BOTTOM) {
    siblings.push_back(window);
  } else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST ||
             insertAfter == HWND_NOTOPMOST) {
    siblings.insert(topmost ? siblings.begin() : firstNonTopmost(), window);
  } else {
    auto at = std::find(siblings.begin(), siblings.end(), insertAfter);
    if (at == siblings.end()) {
      siblings.insert(topmost ? siblings.begin() : firstNonTopmost(), window);
    } else {
      siblings.insert(at + 1, window);
    }
  }
}

HWND Deepest(LockedWindowSystem& system, HWND window, POINT screen)
    REQUIRES(detail::windowSystemMutex) {
  WindowRecord* record = system.Find(window);
  POINT origin = ScreenOrigin(system, *record);
  POINT local{screen.x - origin.x, screen.y - origin.y};
  for (HWND child : record->children) {
    WindowRecord* childRecord = system.Find(child);
    if (childRecord == nullptr || (childRecord->style & WS_VISIBLE) == 0 ||
        (childRecord->style & WS_DISABLED) != 0) {
      continue;
    }
    if (PtInRect(&childRecord->rect, local)) return Deepest(system, child, screen);
  }
  return window;
}

}  // namespace

BOOL ShowWindow(HWND window, int command) {
  const bool show = command != SW_HIDE && command != SW_MINIMIZE;
  bool wasVisible;
  bool activate;
  {
    LockedWindowSystem system;
    WindowRecord* record = system.Find(window);
    if (record == nullptr || record->destroying) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    wasVisible = (record->style & WS_VISIBLE) != 0;
    activate = show && record->parent == nullptr && (record->exStyle & WS_EX_NOACTIVATE) == 0 &&
               (command == SW_SHOW || command == SW_SHOWNORMAL || command == SW_RESTORE);
  }
  if (show != wasVisible) {
    Send(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    LockedWindowSystem system;
    WindowRecord* record = system.Find(window);
    if (record == nullptr) return wasVisible ? TRUE : FALSE;
    if (show) {
      record->style |= WS_VISIBLE;
      InvalidateSubtree(system, window);
    } else {
      record->style &= ~WS_VISIBLE;
      if (WindowRecord* parent = system.Find(record->parent)) {
        system.AddUpdate(*parent, &record->rect, true);
      }
    }
  }
  if (activate) detail::ActivateLocal(window, true);
  return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
  LockedWindowSystem system;
  return system.IsVisible(window) ? TRUE : FALSE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  LockedWindowSystem system;
  WindowRecord* record = system.Find(window);
  if (record == nullptr || rect == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  POINT origin = ScreenOrigin(system, *record);
  *rect = RECT{origin.x, origin.y, origin.x + record->rect.right - record->rect.left,
               origin.y + record->rect.bottom - record->rect.top};
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  LockedWindowSystem system;
  WindowRecord* record = system.Find(window);
  if (record == nullptr || rect == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *rect = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
  return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(window, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint != FALSE ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                  UINT flags) {
  bool moved = false;
  bool sized = false;
  bool topLevel;
  RECT now;
  {
    LockedWindowSystem system;
    WindowRecord* record = system.Find(window);
    if (record == nullptr || record->destroying) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    topLevel = record->parent == nullptr;
    RECT old = record->rect;
    RECT next = old;
    if ((flags & SWP_NOMOVE) == 0) {
      OffsetRect(&next, x - old.left, y - old.top);
    }
    if ((flags & SWP_NOSIZE) == 0) {
      next.right = next.left + std::max(width, 0);
      next.bottom = next.top + std::max(height, 0);
    }
    moved = next.left != old.left || next.top != old.top;
    sized = next.right - next.left != old.right - old.left ||
            next.bottom - next.top != old.bottom - old.top;
    record->rect = next;
    now = next;
    if ((flags & SWP_NOZORDER) == 0) Restack(system, *record, insertAfter);
    if ((flags & SWP_NOREDRAW) == 0 && (moved || sized) && (record->style & WS_VISIBLE) != 0) {
      InvalidateSubtree(system, window);
      if (WindowRecord* parent = system.Find(record->parent)) {
        system.AddUpdate(*parent, &old, true);
      }
    }
  }
  if (moved) {
    Send(window, WM_MOVE, 0,
         MAKELPARAM(static_cast<WORD>(now.left), static_cast<WORD>(now.top)));
  }
  if (sized) {
    Send(window, WM_SIZE, SIZE_RESTORED,
         MAKELPARAM(static_cast<WORD>(now.right - now.left),
                    static_cast<WORD>(now.bottom - now.top)));
  }
  if ((flags & SWP_SHOWWINDOW) != 0) ShowWindow(window, SW_SHOWNA);
  if ((flags & SWP_HIDEWINDOW) != 0) ShowWindow(window, SW_HIDE);
  if ((flags & SWP_NOACTIVATE) == 0 && topLevel && IsWindowVisible(window)) {
    detail::ActivateLocal(window, true);
  }
  return TRUE;
}

BOOL BringWindowToTop(HWND window) {
  return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ClientToScreen(HWND window, POINT* point) {
  LockedWindowSystem system;
  WindowRecord* record = system.Find(window);
  if (record == nullptr || point == nullptr) return FALSE;
  POINT origin = ScreenOrigin(system, *record);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
  LockedWindowSystem system;
  WindowRecord* record = system.Find(window);
  if (record == nullptr || point == nullptr) return FALSE;
  POINT origin = ScreenOrigin(system, *record);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

HWND WindowFromPoint(POINT point) {
  LockedWindowSystem system;
  for (HWND top : system.TopLevel()) {
    WindowRecord* record = system.Find(top);
    if (record == nullptr || record->destroying || (record->style & WS_VISIBLE) == 0 ||
        (record->style & WS_DISABLED) != 0) {
      continue;
    }
    if (PtInRect(&record->rect, point)) return Deepest(system, top, point);
  }
  return nullptr;
}

}  // namespace ce
