// The device's power manager: the system power state and the requests to
// change it, per device root. It never touches the machine it runs on.
//
// The state is a device setting in the registry, so that a test or a person
// (`cedev power set`) can make the device "unattended" or "resuming":
//
//   HKEY_LOCAL_MACHINE\System\Platform\Power
//     "State"        REG_SZ     the state's name (default "on")
//     "Flags"        REG_DWORD  its POWER_STATE_* flag word (default: the
//                               flag of the named state, else POWER_STATE_ON)
//     "RefuseReset"  REG_DWORD  when not zero, a reset request fails with
//                               this error code
//
// A reset ends every program of the device root (every process with a
// window on the device, the caller last) and counts one restart in the run
// area ("<root>/run/power/restarts", shown by `cedev power`).
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/Types.h"

namespace ce {

constexpr DWORD POWER_STATE_ON = 0x00010000u;
constexpr DWORD POWER_STATE_OFF = 0x00020000u;
constexpr DWORD POWER_STATE_CRITICAL = 0x00040000u;
constexpr DWORD POWER_STATE_BOOT = 0x00080000u;
constexpr DWORD POWER_STATE_IDLE = 0x00100000u;
constexpr DWORD POWER_STATE_SUSPEND = 0x00200000u;
constexpr DWORD POWER_STATE_UNATTENDED = 0x00400000u;
constexpr DWORD POWER_STATE_RESET = 0x00800000u;
constexpr DWORD POWER_STATE_USERIDLE = 0x01000000u;
constexpr DWORD POWER_STATE_BACKLIGHTON = 0x02000000u;
constexpr DWORD POWER_STATE_PASSWORD = 0x10000000u;

// Options of SetSystemPowerState.
constexpr DWORD POWER_FORCE = 0x00001000u;

// The state's name (when buffer is not null; length in characters, with
// room for the terminator, else ERROR_INSUFFICIENT_BUFFER) and its flag word
// (when flags is not null). ERROR_SUCCESS.
DWORD GetSystemPowerState(LPWSTR buffer, DWORD length, DWORD* flags);

// Asks for a state by name or, with a null name, by flag word. A reset
// (the name "reset" or POWER_STATE_RESET): when the device refuses it, its
// error code; otherwise the restart is counted and the device's programs end
// (killed at once with POWER_FORCE, asked to end otherwise), the caller last,
// so the call does not return. The states "on", "idle", "useridle",
// "backlighton", "unattended" and "password" become the device's state;
// "off", "suspend", "critical" and "boot" give ERROR_NOT_SUPPORTED, anything
// else ERROR_INVALID_PARAMETER.
DWORD SetSystemPowerState(LPCWSTR state, DWORD flags, DWORD options);

// The restarts counted on the device root so far.
uint32_t DeviceRestartCount();

// The device setting itself, for the device tool and tests: the name and
// flag word reported from now on, and the refusal of resets (0: allowed).
// ERROR_SUCCESS, or the registry's error.
LONG SetDevicePowerState(const std::u16string& name, DWORD flags);
LONG SetDeviceResetRefusal(DWORD error);

// The flag word of a known state name (case-insensitive), 0 for others;
// the name of a flag word, empty for others.
DWORD PowerStateFlagsOfName(const std::u16string& name);
std::u16string PowerStateNameOfFlags(DWORD flags);

}  // namespace ce
