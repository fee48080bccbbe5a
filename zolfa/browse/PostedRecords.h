// Records that workers post to a window as heap objects, freed by the
// receiver. A window that goes away with such messages still queued frees
// them here, since the platform drops them with the window.
#pragma once

#include "platform/window/Message.h"

namespace zolfa {

// Removes every message of that number still queued for window and deletes
// the T its lParam carries. Returns how many it freed. Call it on the
// window's thread, once no worker posts to the window any more.
template <class T>
int FreePostedRecords(ce::HWND window, ce::UINT message) {
  int freed = 0;
  ce::MSG msg;
  while (ce::PeekMessage(&msg, window, message, message, ce::PM_REMOVE)) {
    delete reinterpret_cast<T*>(msg.lParam);
    ++freed;
  }
  return freed;
}

}  // namespace zolfa
