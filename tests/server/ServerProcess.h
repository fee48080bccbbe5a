// The server process helper lives in tests/support; this header keeps its
// old name for the tests that still include it here.
#pragma once

#include "tests/support/ServerProcess.h"

namespace zolfa_server_test {
using test_support::ServerProcess;
}  // namespace zolfa_server_test
