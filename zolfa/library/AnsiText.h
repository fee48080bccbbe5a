// Conversions between UTF-16 and the device's ANSI code page (950) for the
// library file, with the code page's own results but without handing plain
// ASCII to the converter: a file of many short names is mostly tags.
#pragma once

#include <string>
#include <string_view>

namespace zolfa {

// The same text as ce::MultiToWide(bytes, CP_ACP).
std::u16string AnsiToWide(std::string_view bytes);
// Appends the same bytes as ce::WideToMulti(text, CP_ACP).
void AppendAnsi(std::string& out, std::u16string_view text);

}  // namespace zolfa
