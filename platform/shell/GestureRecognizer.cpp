// Tap-and-hold recognition: watches the thread's queue for the release of
// the stylus or key while the hold period runs, handling everything else.
#include <cstdlib>
#include <mutex>

#include "platform/base/Clock.h"
#include "platform/shell/Gesture.h"
#include "platform/window/Message.h"
#include "platform/window/Timer.h"

namespace ce {

namespace {

// Bit 30 of a key message's lParam: the key was already down (a repeat).
constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;

enum class Outcome { kHeld, kReleased };
enum class Verdict { kEnds, kSwallow, kDispatch };

std::mutex& ObserverMutex() {
  static std::mutex mutex;
  return mutex;
}

GestureObserver& Observer() {
  static GestureObserver* observer = new GestureObserver;
  return *observer;
}

POINT ScreenPointOf(const MSG& msg) {
  POINT point{static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(msg.lParam))),
              static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(msg.lParam)))};
  if (msg.hwnd != nullptr) ClientToScreen(msg.hwnd, &point);
  return point;
}

// What a waiting message means for the hold.
Verdict Judge(const MSG& msg, POINT down) {
  switch (msg.message) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDOWN:
    case WM_KEYUP:
    case WM_CANCELMODE:
      return Verdict::kEnds;
    case WM_KEYDOWN:
      return (msg.lParam & kKeyWasDown) != 0 ? Verdict::kSwallow : Verdict::kEnds;
    case WM_MOUSEMOVE: {
      POINT at = ScreenPointOf(msg);
      bool near = std::abs(at.x - down.x) <= kGestureSlop && std::abs(at.y - down.y) <= kGestureSlop;
      return near ? Verdict::kSwallow : Verdict::kEnds;
    }
    default:
      return Verdict::kDispatch;
  }
}

Outcome Watch(POINT down, uint64_t deadlineMs, UINT_PTR timer) {
  for (;;) {
    if (CurrentClock().NowMs() >= deadlineMs) return Outcome::kHeld;
    MSG msg;
    bool removed = false;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      // Nothing waits: block until something comes (the timer at the latest).
      if (GetMessage(&msg, nullptr, 0, 0) == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return Outcome::kReleased;
      }
      removed = true;
    }
    if (msg.message == WM_QUIT) {
      if (!removed) PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
      PostQuitMessage(static_cast<int>(msg.wParam));
      return Outcome::kReleased;
    }
    switch (Judge(msg, down)) {
      case Verdict::kEnds:
        // The control handles the release itself; a message taken from the
        // queue goes back (it was the only one waiting).
        if (removed) PostMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        return Outcome::kReleased;
      case Verdict::kSwallow:
        if (!removed) PeekMessage(&msg, nullptr, msg.message, msg.message, PM_REMOVE);
        break;
      case Verdict::kDispatch:
        if (!removed && !PeekMessage(&msg, nullptr, msg.message, msg.message, PM_REMOVE)) break;
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer) break;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
        break;
    }
  }
}

}  // namespace

DWORD SHRecognizeGesture(SHRGINFO* info) {
  if (info == nullptr || info->cbSize != sizeof(SHRGINFO) || !IsWindow(info->hwndClient)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  HWND client = info->hwndClient;
  DWORD delay = (info->dwFlags & SHRG_LONGDELAY) != 0 ? kTapAndHoldLongMs : kTapAndHoldMs;
  POINT down = info->ptDown;
  ClientToScreen(client, &down);
  uint64_t deadline = CurrentClock().NowMs() + delay;
  UINT_PTR timer = SetTimer(nullptr, 0, delay, nullptr);
  Outcome outcome = Watch(down, deadline, timer);
  if (timer != 0) KillTimer(nullptr, timer);
  if (outcome != Outcome::kHeld || !IsWindow(client)) return 0;

  GestureObserver observer;
  {
    std::lock_guard lock(ObserverMutex());
    observer = Observer();
  }
  if (observer) observer(client, down);
  if ((info->dwFlags & SHRG_NOTIFYPARENT) != 0) {
    HWND parent = GetParent(client);
    if (parent != nullptr) {
      NMRGINFO notice;
      notice.hdr.hwndFrom = client;
      notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(client));
      notice.hdr.code = GN_CONTEXTMENU;
      notice.ptAction = down;
      SendMessage(parent, WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
    }
  }
  return GN_CONTEXTMENU;
}

GestureObserver SetGestureObserver(GestureObserver observer) {
  std::lock_guard lock(ObserverMutex());
  GestureObserver previous = std::move(Observer());
  Observer() = std::move(observer);
  return previous;
}

}  // namespace ce
