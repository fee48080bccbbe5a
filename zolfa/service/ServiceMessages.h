// Messages the service manager and the request workers send to the
// top-level dialog. The numbers are fixed. They are sent synchronously, so
// what wParam points to stays valid only while the message is handled; lParam
// is always 0.
#pragma once

#include "platform/base/Types.h"

namespace zolfa {

// A session check got no usable answer. wParam 0.
constexpr ce::UINT MSG_CHECK_FAILED = 9217;
// Neither login host gave a usable answer. wParam 0.
constexpr ce::UINT MSG_LOGIN_FAILED = 9218;
// A session check was answered. wParam: const LoginResult*.
constexpr ce::UINT MSG_CHECK_DONE = 9219;
// A login was answered. wParam: const LoginResult*.
constexpr ce::UINT MSG_LOGIN_DONE = 9220;
// A check ended with the login cancel flag set. wParam 0.
constexpr ce::UINT MSG_CHECK_CANCELLED = 9221;
// A login was cancelled. wParam 0.
constexpr ce::UINT MSG_LOGIN_CANCELLED = 9222;
// An answer carried a session error. wParam: const char16_t*, the server's
// zero-terminated error text.
constexpr ce::UINT MSG_SESSION_ERROR = 9223;
// A browse list request failed. wParam 0.
constexpr ce::UINT MSG_REQUEST_FAILED = 9224;

}  // namespace zolfa
