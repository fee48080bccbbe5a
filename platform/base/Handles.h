// Kernel object handles (files, find searches, threads, events) share one
// table; CloseHandle works on any of them.
#pragma once

#include "platform/base/Types.h"

namespace ce {

BOOL CloseHandle(HANDLE handle);

}  // namespace ce
