// Commands the window tests give the peer process.
#pragma once

#include "platform/window/Message.h"

namespace ce {

constexpr UINT kPeerAdd = WM_APP + 1;        // sent: returns wParam + lParam
constexpr UINT kPeerCrash = WM_APP + 2;      // sent: the peer ends at once
constexpr UINT kPeerBroadcast = WM_APP + 3;  // posted: broadcasts message wParam with lParam
constexpr UINT kPeerSendBack = WM_APP + 4;   // sent: sends kPeerAnswer(lParam) to window wParam
constexpr UINT kPeerAnswer = WM_APP + 5;

}  // namespace ce
