// The message the backup-import worker sends to the import dialog.
#pragma once

#include "platform/base/Types.h"

namespace zolfa {

// Sent synchronously: wParam the request id, lParam a const char16_t* to the
// zero-terminated import text (empty when the answer held no usable data).
// The text belongs to the worker and is valid only while the message is
// handled.
constexpr ce::UINT MSG_IMPORT_DONE = 13824;  // 0x3600

}  // namespace zolfa
