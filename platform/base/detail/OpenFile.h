// Internal: opening a device file, shared by CreateFile and the stdio form.
#pragma once

#include <string_view>

#include "platform/base/Types.h"
#include "platform/base/detail/ShareLock.h"

namespace ce::detail {

struct OpenedFile {
  int fd = -1;          // owned by the caller once the open succeeded
  ShareLock shareLock;  // keeps the open registered while it lives
  bool existed = false;
};

// Opens devicePath with CreateFile's access, share mode and disposition.
// Returns ERROR_SUCCESS or the platform's error code.
DWORD OpenDeviceFile(std::u16string_view devicePath, DWORD access, DWORD shareMode,
                     DWORD disposition, OpenedFile* opened);

}  // namespace ce::detail
