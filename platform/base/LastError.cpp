#include "platform/base/Types.h"

namespace ce {

namespace {
thread_local DWORD lastError = 0;
}

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD error) { lastError = error; }

}  // namespace ce
