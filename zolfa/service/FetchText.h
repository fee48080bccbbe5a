// Reads a text document from an "http://" address or from a device file.
#pragma once

#include <string>

namespace zolfa {

// "http://host/path": a GET of path from host on port 80 (agent
// "ZOLFA (login)"), the body decoded from the device's ANSI code page.
// Anything else names a device file written as UTF-16LE text, as the
// program writes its files; its lines are returned joined without their
// line ends. Any failure, an empty answer or a non-200 answer gives "".
std::u16string FetchText(const std::u16string& address);

}  // namespace zolfa
