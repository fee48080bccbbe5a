// The hardware device identifier: up to 16 bytes, made once for a device root
// and kept in its run area, so it stays stable across starts.
#pragma once

#include "platform/base/Types.h"

namespace ce {

constexpr DWORD IOCTL_HAL_GET_DEVICEID = 0x01010054;

// Kernel I/O control. Only IOCTL_HAL_GET_DEVICEID is known: it fills up to
// outSize bytes (at most 16) of the identifier and reports the count in
// *returned. It fails (FALSE, ERROR_NOT_SUPPORTED) when the device setting
// HKLM\System\Platform "NoDeviceId" is a non-zero DWORD.
BOOL KernelIoControl(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned);

}  // namespace ce
