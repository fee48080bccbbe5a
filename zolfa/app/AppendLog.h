// Diagnostics logs: text files of time-stamped lines in the program folder.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Clock.h"
#include "platform/base/Types.h"

namespace zolfa {

// A log name may be given with this prefix; it names the same file.
inline constexpr std::u16string_view kLogFilePrefix = u"file:\\";

// Appends one line to the log fileName in the program folder: with
// timeStamp, the local time as "09h05m03s", ": " and text, then CR LF, in
// the device's ANSI code page. The file is created when absent and never
// truncated. A failure never reaches the caller; it shows one message box
// and the line is lost.
void AppendLog(std::u16string_view fileName, std::u16string_view text, bool timeStamp);

// "%02dh%02dm%02ds" of the time's hours, minutes and seconds.
std::u16string LogTimeStamp(const ce::SYSTEMTIME& time);

// The message box text for a log file that could not be opened or written
// because of error: file not found, sharing violation, or empty text for any
// other reason.
std::u16string LogFailureText(ce::DWORD error, std::u16string_view path);

}  // namespace zolfa
