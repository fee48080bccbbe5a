// The one clock of the process: tick count, local time and sleeping.
//
// Everything that measures or waits for time goes through CurrentClock(), so
// that tests can swap in a VirtualClock and run minutes of timers and sleeps
// in microseconds, deterministically.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/base/Types.h"

namespace ce {

struct SYSTEMTIME {
  WORD wYear = 0;
  WORD wMonth = 0;
  WORD wDayOfWeek = 0;
  WORD wDay = 0;
  WORD wHour = 0;
  WORD wMinute = 0;
  WORD wSecond = 0;
  WORD wMilliseconds = 0;
};

constexpr DWORD INFINITE = 0xFFFFFFFFu;

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; never wraps, never goes back.
  virtual uint64_t NowMs() = 0;
  virtual SYSTEMTIME LocalTime() = 0;
  // Waits on cv (whose mutex the caller holds in lock) until it is notified
  // or the clock reaches deadlineMs. Returns false when the deadline passed.
  // Spurious returns are allowed; callers re-check their condition.
  virtual bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                         uint64_t deadlineMs) = 0;
};

// The real clock (steady time, local time from the host).
Clock& RealClock();
Clock& CurrentClock();
// Installs a clock for the whole process (null restores the real clock). The
// caller keeps ownership and keeps it alive while it is installed.
void SetClock(Clock* clock);

// 32-bit milliseconds of the current clock; wraps after about 49.7 days.
DWORD GetTickCount();
void GetLocalTime(SYSTEMTIME* time);
// Returns when the current clock has advanced by ms milliseconds.
void Sleep(DWORD ms);

}  // namespace ce
