#include "platform/window/Window.h"

#include <unistd.h>

#include <algorithm>
#include <mutex>

#include "platform/window/Focus.h"
#include "platform/window/Message.h"
#include "platform/window/detail/DeviceWindowTable.h"
#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::LockedWindowSystem;
using detail::WindowRecord;
using detail::kNoDeadline;

namespace {

constexpr DWORD kErrorChildWithoutParent = 1406;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool delivered = false;
  return detail::SendMessageInternal(window, message, wParam, lParam, kNoDeadline, true,
                                     &delivered);
}

// The published entry of a window of another process.
std::optional<detail::PublishedWindow> RemoteWindow(HWND window, pid_t* pid = nullptr) {
  auto key = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window) >> 32);
  auto serial = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window) & 0xFFFFFFFFu);
  auto process = detail::DeviceWindowTable::FindProcess(key);
  if (!process) return std::nullopt;
  for (auto& entry : process->windows) {
    if (entry.serial == serial) {
      if (pid != nullptr) *pid = process->pid;
      return entry;
    }
  }
  return std::nullopt;
}

bool IsRemote(HWND window) {
  return detail::IsRemoteHandle(window);
}

int CopyText(const std::u16string& text, LPWSTR buffer, int bufferLen) {
  if (buffer == nullptr || bufferLen <= 0) return 0;
  int count = std::min(static_cast<int>(text.size()), bufferLen - 1);
  std::copy_n(text.data(), count, buffer);
  buffer[count] = 0;
  return count;
}

// Sends WM_DESTROY to the window, then to its children.
void SendDestroy(HWND window) {
  Send(window, WM_DESTROY, 0, 0);
  std::vector<HWND> children;
  {
    LockedWindowSystem system;
    if (WindowRecord* record = system.Find(window)) children = record->children;
  }
  for (HWND child : children) SendDestroy(child);
}

// Sends WM_NCDESTROY to the children, then to the window, and frees each.
void SendNcDestroy(HWND window) {
  std::vector<HWND> children;
  {
    LockedWindowSystem system;
    if (WindowRecord* record = system.Find(window)) children = record->children;
  }
  for (HWND child : children) SendNcDestroy(child);
  Send(window, WM_NCDESTROY, 0, 0);
  std::unique_ptr<WindowRecord> removed;
  {
    LockedWindowSystem system;
    removed = system.RemoveRecord(window);
  }
  // Extras of other layers are deleted without the lock.
}

}  // namespace

HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    void* param) {
  const bool child = (style & WS_CHILD) != 0;
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) width = height = 0;
  width = std::max(width, 0);
  height = std::max(height, 0);
  HWND window;
  {
    LockedWindowSystem system;
    auto windowClass = detail::FindClassLocked(system, className);
    if (!windowClass) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    WindowRecord* parentRecord = nullptr;
    if (parent != nullptr) {
      parentRecord = system.Find(parent);
      if (parentRecord == nullptr || parentRecord->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
    } else if (child) {
      SetLastError(kErrorChildWithoutParent);
      return nullptr;
    }
    auto record = std::make_unique<WindowRecord>();
    window = system.NewHandle();
    record->handle = window;
    record->windowClass = windowClass;
    record->queue = system.CurrentQueue();
    record->proc = windowClass->wndClass.lpfnWndProc;
    record->instance = instance;
    record->style = style & ~WS_VISIBLE;  // shown after WM_CREATE
    record->exStyle = exStyle;
    record->rect = RECT{x, y, x + width, y + height};
    record->text = windowName != nullptr ? windowName : u"";
    record->extraBytes.resize(static_cast<size_t>(windowClass->wndClass.cbWndExtra));
    if (child) {
      record->id = reinterpret_cast<LONG_PTR>(menu);
      record->parent = parent;
      parentRecord->children.push_back(window);
    } else {
      record->owner = parent != nullptr ? system.RootOf(parent) : nullptr;
      // Below the topmost windows unless it is one of them.
      auto& list = system.TopLevel();
      auto at = list.begin();
      if ((exStyle & WS_EX_TOPMOST) == 0) {
        while (at != list.end() && (system.Find(*at)->exStyle & WS_EX_TOPMOST) != 0) ++at;
      }
      list.insert(at, window);
    }
    ++windowClass->windowCount;
    system.InsertRecord(std::move(record));
  }
  CREATESTRUCT create;
  create.lpCreateParams = param;
  create.hInstance = instance;
  create.hMenu = menu;
  create.hwndParent = parent;
  create.cy = height;
  create.cx = width;
  create.y = y;
  create.x = x;
  create.style = static_cast<LONG>(style);
  create.lpszName = windowName;
  create.lpszClass = className;
  create.dwExStyle = exStyle;
  auto createParam = reinterpret_cast<LPARAM>(&create);
  if (Send(window, WM_NCCREATE, 0, createParam) == 0) {
    SendNcDestroy(window);
    if (!child) detail::PublishTopLevelWindows();
    return nullptr;
  }
  if (Send(window, WM_CREATE, 0, createParam) == -1) {
    DestroyWindow(window);
    return nullptr;
  }
  if (!IsWindow(window)) return nullptr;
  Send(window, WM_SIZE, SIZE_RESTORED,
       MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)));
  Send(window, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  if (!child) detail::PublishTopLevelWindows();
  if ((style & WS_VISIBLE) != 0) ShowWindow(window, SW_SHOW);
  return IsWindow(window) ? window : nullptr;
}

BOOL DestroyWindow(HWND window) {
  std::vector<HWND> owned;
  {
    LockedWindowSystem system;
    WindowRecord* record = system.FindOrFail(window);
    if (record == nullptr) return FALSE;
    if (record->queue != system.CurrentQueue()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (record->destroying) return TRUE;  // already on its way
    for (WindowRecord* other : system.Records()) {
      if (other->owner == window && !other->destroying && other->queue == record->queue) {
        owned.push_back(other->handle);
      }
    }
  }
  for (HWND ownedWindow : owned) DestroyWindow(ownedWindow);

  bool topLevel = false;
  bool wasActive = false;
  {
    LockedWindowSystem system;
    WindowRecord* record = system.Find(window);
    if (record == nullptr || record->destroying) return TRUE;
    topLevel = record->parent == nullptr;
    std::vector<HWND> subtree;
    system.CollectSubtree(window, &subtree);
    for (HWND member : subtree) {
      WindowRecord* memberRecord = system.Find(member);
      memberRecord->destroying = true;
      system.CancelSendsTo(*memberRecord->queue, {member});
      auto& timers = memberRecord->queue->timers_;
      timers.erase(std::remove_if(timers.begin(), timers.end(),
                                  [member](const detail::TimerEntry& t) { return t.hwnd == member; }),
                   timers.end());
      if (system.Focus() == member) system.SetFocus(nullptr);
      if (system.Capture() == member) system.SetCapture(nullptr);
      if (system.Active() == member) {
        system.SetActive(nullptr);
        wasActive = true;
      }
      // A modal loop on the window ends with it.
      memberRecord->queue->wake_.notify_all();
    }
    if ((record->style & WS_VISIBLE) != 0) {
      record->style &= ~WS_VISIBLE;
      if (WindowRecord* parent = system.Find(record->parent)) {
        system.AddUpdate(*parent, &record->rect, true);
      }
    }
  }
  if (wasActive || topLevel) detail::ForgetForeground(window);
  SendDestroy(window);
  SendNcDestroy(window);
  if (topLevel) detail::PublishTopLevelWindows();
  return TRUE;
}

BOOL IsWindow(HWND window) {
  if (IsRemote(window)) return RemoteWindow(window) ? TRUE : FALSE;
  LockedWindowSystem system;
  return system.Find(window) != nullptr ? TRUE : FALSE;
}

HWND GetParent(HWND window) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return nullptr;
  return record->parent != nullptr ? record->parent : record->owner;
}

HWND SetParent(HWND window, HWND newParent) {
  HWND oldParent;
  bool topLevelChanged;
  {
    LockedWindowSystem system;
    WindowRecord* record = system.Find(window);
    WindowRecord* parentRecord = newParent != nullptr ? system.Find(newParent) : nullptr;
    if (record == nullptr || record->destroying ||
        (newParent != nullptr && (parentRecord == nullptr || parentRecord->destroying ||
                                  newParent == window || system.IsAncestor(window, newParent)))) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    oldParent = record->parent;
    auto unlink = [window](std::vector<HWND>& list) {
      list.erase(std::remove(list.begin(), list.end(), window), list.end());
    };
    if (WindowRecord* old = system.Find(oldParent)) {
      unlink(old->children);
    } else {
      unlink(system.TopLevel());
    }
    record->parent = newParent;
    if (parentRecord != nullptr) {
      parentRecord->children.push_back(window);
      record->owner = nullptr;
    } else {
      system.TopLevel().insert(system.TopLevel().begin(), window);
    }
    topLevelChanged = (oldParent == nullptr) != (newParent == nullptr);
  }
  if (topLevelChanged) detail::PublishTopLevelWindows();
  return oldParent;
}

BOOL IsChild(HWND parent, HWND window) {
  LockedWindowSystem system;
  return parent != nullptr && system.IsAncestor(parent, window) ? TRUE : FALSE;
}

HWND GetWindow(HWND window, UINT relation) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return nullptr;
  if (relation == GW_OWNER) return record->owner;
  if (relation == GW_CHILD) return record->children.empty() ? nullptr : record->children.front();
  WindowRecord* parent = system.Find(record->parent);
  const std::vector<HWND>& siblings = parent != nullptr ? parent->children : system.TopLevel();
  auto at = std::find(siblings.begin(), siblings.end(), window);
  switch (relation) {
    case GW_HWNDFIRST:
      return siblings.empty() ? nullptr : siblings.front();
    case GW_HWNDLAST:
      return siblings.empty() ? nullptr : siblings.back();
    case GW_HWNDNEXT:
      return at == siblings.end() || at + 1 == siblings.end() ? nullptr : *(at + 1);
    case GW_HWNDPREV:
      return at == siblings.begin() || at == siblings.end() ? nullptr : *(at - 1);
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

HWND GetDlgItem(HWND dialog, int id) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(dialog);
  if (record == nullptr) return nullptr;
  for (HWND child : record->children) {
    WindowRecord* childRecord = system.Find(child);
    if (childRecord != nullptr && static_cast<int>(childRecord->id) == id) return child;
  }
  return nullptr;
}

int GetDlgCtrlID(HWND window) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return 0;
  return static_cast<int>(record->id);
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  if (IsRemote(window)) {
    pid_t pid = 0;
    if (!RemoteWindow(window, &pid)) return 0;
    if (processId != nullptr) *processId = static_cast<DWORD>(pid);
    return 0;  // threads of other processes are not visible here
  }
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return 0;
  if (processId != nullptr) *processId = static_cast<DWORD>(getpid());
  return record->queue->threadId_;
}

BOOL SetWindowText(HWND window, LPCWSTR text) {
  if (IsRemote(window) || !IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
}

int GetWindowText(HWND window, LPWSTR buffer, int bufferLen) {
  if (buffer == nullptr || bufferLen <= 0) return 0;
  buffer[0] = 0;
  if (IsRemote(window)) {
    auto remote = RemoteWindow(window);
    return remote ? CopyText(remote->title, buffer, bufferLen) : 0;
  }
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(Send(window, WM_GETTEXT, static_cast<WPARAM>(bufferLen),
                               reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND window) {
  if (IsRemote(window)) {
    auto remote = RemoteWindow(window);
    return remote ? static_cast<int>(remote->title.size()) : 0;
  }
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(Send(window, WM_GETTEXTLENGTH, 0, 0));
}

std::u16string GetWindowTextString(HWND window) {
  int length = GetWindowTextLength(window);
  if (length <= 0) return {};
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  int copied = GetWindowText(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

int GetClassName(HWND window, LPWSTR buffer, int bufferLen) {
  if (buffer == nullptr || bufferLen <= 0) return 0;
  buffer[0] = 0;
  if (IsRemote(window)) {
    auto remote = RemoteWindow(window);
    return remote ? CopyText(remote->className, buffer, bufferLen) : 0;
  }
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return 0;
  return CopyText(record->windowClass->name, buffer, bufferLen);
}

BOOL EnableWindow(HWND window, BOOL enable) {
  bool wasDisabled;
  bool loseFocus = false;
  {
    LockedWindowSystem system;
    WindowRecord* record = system.FindOrFail(window);
    if (record == nullptr) return FALSE;
    wasDisabled = (record->style & WS_DISABLED) != 0;
    if (wasDisabled == (enable == FALSE)) return wasDisabled ? TRUE : FALSE;
    if (enable != FALSE) {
      record->style &= ~WS_DISABLED;
    } else {
      record->style |= WS_DISABLED;
      HWND focus = system.Focus();
      loseFocus = focus != nullptr && (focus == window || system.IsAncestor(window, focus));
    }
  }
  if (loseFocus) SetFocus(nullptr);
  Send(window, WM_ENABLE, enable != FALSE ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
  LockedWindowSystem system;
  WindowRecord* record = system.Find(window);
  return record != nullptr && (record->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL SetWindowExtra(HWND window, std::type_index owner, std::unique_ptr<WindowExtra> extra) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return FALSE;
  auto& extras = record->extras;
  auto it = std::find_if(extras.begin(), extras.end(),
                         [owner](const auto& entry) { return entry.first == owner; });
  if (it != extras.end()) {
    std::swap(it->second, extra);
    if (it->second == nullptr) extras.erase(it);
  } else if (extra != nullptr) {
    extras.emplace_back(owner, std::move(extra));
  }
  system.Unlock();
  extra.reset();  // the replaced one, deleted without the lock
  return TRUE;
}

WindowExtra* GetWindowExtra(HWND window, std::type_index owner) {
  LockedWindowSystem system;
  WindowRecord* record = system.Find(window);
  if (record == nullptr) return nullptr;
  for (const auto& [key, extra] : record->extras) {
    if (key == owner) return extra.get();
  }
  return nullptr;
}

LRESULT CallWindowProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
}

}  // namespace ce
