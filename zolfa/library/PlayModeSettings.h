// The two play-mode settings "shuffle" and "repeat" under HKCU
// Software\Quendal\zolfa.
//
// Each is a DWORD-typed value whose data is only the mode's low-order byte
// (1 data byte), the form that earlier versions stored; it is read back with
// a 1-byte limit into the low-order byte of the mode.
#pragma once

#include <cstdint>

namespace zolfa {

constexpr int32_t kRepeatOn = 1;
constexpr int32_t kRepeatOff = 2;
constexpr int32_t kShuffleOn = 3;
constexpr int32_t kShuffleOff = 4;

// Replaces the low-order byte of each mode by its stored byte; a missing or
// unreadable value leaves the mode as it was. The key is created when it
// cannot be opened.
void ReadPlayModes(int32_t& shuffleMode, int32_t& repeatMode);
// Stores the low-order byte of each mode. A failed write is ignored.
void WritePlayModes(int32_t shuffleMode, int32_t repeatMode);

}  // namespace zolfa
