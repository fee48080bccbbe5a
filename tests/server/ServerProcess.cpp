// The server process helper lives in tests/support; the test programs that
// still name this file compile it from there.
#include "tests/support/ServerProcess.cpp"
