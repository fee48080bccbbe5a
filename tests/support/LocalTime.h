// Setting the virtual clock's local time from its calendar fields.
#pragma once

#include "platform/base/VirtualClock.h"

namespace test_support {

// Sets the clock's local time to the date and time given; milliseconds 0.
inline void SetLocalTime(ce::VirtualClock& clock, int year, int month, int day, int hour,
                         int minute, int second) {
  ce::SYSTEMTIME time;
  time.wYear = static_cast<ce::WORD>(year);
  time.wMonth = static_cast<ce::WORD>(month);
  time.wDay = static_cast<ce::WORD>(day);
  time.wHour = static_cast<ce::WORD>(hour);
  time.wMinute = static_cast<ce::WORD>(minute);
  time.wSecond = static_cast<ce::WORD>(second);
  clock.SetLocalTime(time);
}

}  // namespace test_support
