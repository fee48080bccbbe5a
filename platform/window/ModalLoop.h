// A nested message loop that runs until it is ended with a result; dialogs
// run their modal life in it.
#pragma once

#include <functional>

#include "platform/window/Message.h"

namespace ce {

// Runs on the calling thread (which must own the window) until
// EndModalLoop(window, result) is called, the window is destroyed (result 0)
// or WM_QUIT arrives (result 0; WM_QUIT is posted again so the outer loop
// ends too). An EndModalLoop that came before the loop started ends it at
// once. filter, when given, sees every message first and returns true when
// it has handled it. Returns -1 for an invalid window or a window already in
// a modal loop.
INT_PTR RunModalLoop(HWND window, const std::function<bool(MSG&)>& filter = {});
// May be called from any thread.
BOOL EndModalLoop(HWND window, INT_PTR result);

}  // namespace ce
