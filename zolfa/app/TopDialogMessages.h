// Messages of the program to the top-level dialog. The numbers are fixed;
// wParam and lParam are 0.
#pragma once

#include "platform/base/Types.h"

namespace zolfa {

// The program ends (the dialog closes with result 2).
constexpr ce::UINT MSG_END_PROGRAM = 13320;  // 0x3408
// Log out and return to the login screen (sent by the core controller).
constexpr ce::UINT MSG_LOGOUT = 13321;  // 0x3409
// The network failure notice.
constexpr ce::UINT MSG_NETWORK_FAILURE_NOTICE = 13323;  // 0x340B

}  // namespace zolfa
