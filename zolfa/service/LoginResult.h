// What one login or session-check answer tells the top-level dialog.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/base/Types.h"

namespace zolfa {

// Filled by the worker that made the exchange and passed by pointer in the
// wParam of MSG_LOGIN_DONE or MSG_CHECK_DONE. The worker owns the record and
// its strings and frees them after the send returns; the receiver reads it
// during the handling only.
struct LoginResult {
  ce::HWND window = nullptr;                    // the top-level dialog, set for logins
  int32_t majorVersion = 0;                     // major_version, 0 when absent
  int32_t minorVersion = 0;                     // minor_version, 0 when absent
  int32_t status = 0;                           // status; 200 when an answer lacks it
  int32_t serial = 0;                           // login serial the login started with; 0 for checks
  std::optional<std::u16string> updateMessage;  // update_msg
  std::optional<std::u16string> updateMessage2;  // update_msg2
  std::optional<std::u16string> loginMessage;    // login_msg
};

}  // namespace zolfa
