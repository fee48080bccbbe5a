// Debug output: lines appended to "debug.log" in the device root's run area,
// and to stderr when CE_DEBUG_STDERR is set or SetDebugToStderr(true).
#pragma once

#include <functional>
#include <string>

#include "platform/base/Types.h"

namespace ce {

void OutputDebugString(LPCWSTR text);
void SetDebugToStderr(bool on);
// Tests capture debug output with a sink (null removes it); the sink receives
// the text as given, in UTF-8.
void SetDebugSink(std::function<void(const std::string&)> sink);

}  // namespace ce
