#include "platform/window/ModalLoop.h"

#include "platform/window/detail/WindowSystem.h"

namespace ce {

using detail::LockedWindowSystem;
using detail::WindowRecord;

INT_PTR RunModalLoop(HWND window, const std::function<bool(MSG&)>& filter) {
  {
    LockedWindowSystem system;
    WindowRecord* record = system.Find(window);
    if (record == nullptr || record->destroying || record->queue != system.CurrentQueue() ||
        record->inModalLoop) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return -1;
    }
    record->inModalLoop = true;
  }
  // Checked with the lock held whenever the queue has been looked at, so an
  // end that arrives inside a sent message stops the loop too.
  const std::function<bool(LockedWindowSystem&)> ended =
      [window](LockedWindowSystem& system) REQUIRES(detail::windowSystemMutex) {
    WindowRecord* record = system.Find(window);
    return record == nullptr || record->destroying || record->modalEnded;
  };
  bool quit = false;
  int quitCode = 0;
  for (;;) {
    MSG msg;
    int got = detail::RetrieveMessage(&msg, nullptr, 0, 0, PM_REMOVE, true, &ended);
    if (got != 1) break;
    if (msg.message == WM_QUIT) {
      quit = true;
      quitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (filter && filter(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  INT_PTR result = 0;
  {
    LockedWindowSystem system;
    if (WindowRecord* record = system.Find(window)) {
      if (record->modalEnded) result = record->modalResult;
      record->inModalLoop = false;
      record->modalEnded = false;
      record->modalResult = 0;
    }
  }
  // The outer loop must see the quit request as well.
  if (quit) PostQuitMessage(quitCode);
  return result;
}

BOOL EndModalLoop(HWND window, INT_PTR result) {
  LockedWindowSystem system;
  WindowRecord* record = system.FindOrFail(window);
  if (record == nullptr) return FALSE;
  record->modalEnded = true;
  record->modalResult = result;
  record->queue->wake_.notify_all();
  return TRUE;
}

}  // namespace ce
