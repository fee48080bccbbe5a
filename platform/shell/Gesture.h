// Tap-and-hold recognition. A control calls SHRecognizeGesture when the
// stylus goes down on it (WM_LBUTTONDOWN) or the action key is pressed
// (WM_KEYDOWN); the call keeps handling the thread's other messages and
// returns once it knows: GN_CONTEXTMENU when the stylus (or key) stayed
// down, within kGestureSlop pixels, for the hold period, 0 when it was
// released or moved before. The release stays in the queue for the control.
#pragma once

#include <functional>

#include "platform/base/Types.h"
#include "platform/controls/ControlMessages.h"
#include "platform/window/Geometry.h"

namespace ce {

// Hold periods in milliseconds of the process clock, and how far the
// stylus may wander in pixels while it is held.
constexpr DWORD kTapAndHoldMs = 500;
constexpr DWORD kTapAndHoldLongMs = 1000;
constexpr int kGestureSlop = 5;

constexpr DWORD SHRG_RETURNCMD = 0x0001;
constexpr DWORD SHRG_NOTIFYPARENT = 0x0002;
constexpr DWORD SHRG_LONGDELAY = 0x0008;
constexpr DWORD SHRG_NOANIMATION = 0x0010;

// The gesture reported (the result, and the code of the parent's
// notification).
constexpr UINT GN_CONTEXTMENU = 1000;

struct SHRGINFO {
  DWORD cbSize = sizeof(SHRGINFO);
  HWND hwndClient = nullptr;
  POINT ptDown;       // where the stylus went down, client coordinates
  DWORD dwFlags = 0;  // SHRG_ flags
};

// WM_NOTIFY record of SHRG_NOTIFYPARENT (code GN_CONTEXTMENU), sent to the
// parent of hwndClient; valid during the message.
struct NMRGINFO {
  NMHDR hdr;
  POINT ptAction;  // screen coordinates
  DWORD dwItemSpec = 0;
};

// Returns GN_CONTEXTMENU for a recognised hold (after notifying the parent
// with SHRG_NOTIFYPARENT), else 0; 0 also for a wrong record.
DWORD SHRecognizeGesture(SHRGINFO* info);

// Hears of every recognised hold (client window, screen point) on the
// thread that recognised it; the device host releases a scripted hold when
// it hears of it. Returns the previous observer; empty removes it.
using GestureObserver = std::function<void(HWND client, POINT screenPoint)>;
GestureObserver SetGestureObserver(GestureObserver observer);

}  // namespace ce
