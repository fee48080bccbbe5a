// The request target as it goes out on the request line.
#pragma once

#include <string>
#include <string_view>

namespace ce {

// Converts a request path to the device's ANSI code page and percent-encodes
// (upper-case hexadecimal) exactly the bytes a request line cannot carry raw:
// control characters (below 0x20 and 0x7F), the space and bytes >= 0x80.
// Everything else, existing "%xx" escapes included, is left as it is, so an
// already escaped path goes out unchanged. An empty path becomes "/".
std::string EscapeRequestTarget(std::u16string_view path);

}  // namespace ce
