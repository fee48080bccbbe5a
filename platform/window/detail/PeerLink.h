// Messages between the processes of one device. Every process that lists
// top-level windows in the device's table listens on a local socket named by
// its process key; a request names a window by its serial and is answered
// by the listener thread, which hands it to the window's thread.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

namespace ce::detail {

class PeerLink {
 public:
  // Starts this process's listener once; later calls return the first result.
  static bool Listen(uint32_t ownKey);
  // Each returns false when the other process is gone or refused (the window
  // does not exist there).
  static bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Waits up to timeoutMs of real time, handling messages sent to the calling
  // thread meanwhile. *result is 0 unless the procedure ran.
  static bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs,
                   LRESULT* result);
  static bool Activate(HWND window);
  static bool Deactivate(HWND window);
  // Posts to every top-level window of the process with this key.
  static bool Broadcast(uint32_t key, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace ce::detail
