// Whole-file reads and crash-safe whole-file replacement of device files.
//
// A file is replaced by writing a temporary file beside it, flushing it to
// the disk and renaming it over the old one, so a crash, a killed process or
// a full disk leaves either the old file or the new one, never a part.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/base/Types.h"

namespace zolfa {

// Reads the whole file. OPEN_EXISTING fails on a missing file; OPEN_ALWAYS
// creates it empty. On failure returns false with *error (when given) set to
// the platform's last error.
bool ReadDeviceFile(std::u16string_view devicePath, ce::DWORD disposition, std::string& bytes,
                    ce::DWORD* error = nullptr);

// Replaces the file with exactly these bytes, creating the missing folders
// of the path. Returns false, leaving the old file as it was, when any step
// fails.
bool ReplaceFileAtomically(std::u16string_view devicePath, std::string_view bytes);

// The name of the temporary file that ReplaceFileAtomically writes first.
std::u16string TemporaryPathOf(std::u16string_view devicePath);

// Steps of one replacement, reported to the test hook.
enum class ReplaceStep { kOpened, kWrote, kFlushed, kClosed, kReplaced };

// A hook that sees every step of every replacement in this process, and the
// size of the pieces the content is written in (bytes). Tests use it to stop
// a writer process at each point; null removes it and restores 64 KiB pieces.
using ReplaceHook = void (*)(ReplaceStep step, size_t bytesWritten);
void SetReplaceHookForTesting(ReplaceHook hook, size_t pieceBytes);

}  // namespace zolfa
