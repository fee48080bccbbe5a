// The media player's streaming settings that ZolfaCE relies on: a slow
// connection and short buffers, so that streaming starts soon.
#pragma once

#include "platform/base/Types.h"

namespace zolfa {

constexpr ce::DWORD kMediaConnectionSpeed = 9600;  // bits per second
constexpr ce::DWORD kMediaStreamingBufferSeconds = 20;
constexpr ce::DWORD kMediaLocalBufferSeconds = 20;

// Sets the three streaming values under HKEY_LOCAL_MACHINE; each is written
// only when the value stored differs (an absent value counts as different).
void SetMediaPlayerStreamingValues();

}  // namespace zolfa
