#include "platform/base/Clock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace ce {
namespace {

constexpr uint64_t kNoDeadline = UINT64_MAX;

class HostClock : public Clock {
 public:
  // Steady time: milliseconds since the host started, like the device's
  // tick count since boot.
  uint64_t NowMs() override {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  }

  SYSTEMTIME LocalTime() override {
    auto now = std::chrono::system_clock::now();
    auto sinceEpoch = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    std::time_t seconds = static_cast<std::time_t>(sinceEpoch.count() / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    SYSTEMTIME time;
    time.wYear = static_cast<WORD>(local.tm_year + 1900);
    time.wMonth = static_cast<WORD>(local.tm_mon + 1);
    time.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time.wDay = static_cast<WORD>(local.tm_mday);
    time.wHour = static_cast<WORD>(local.tm_hour);
    time.wMinute = static_cast<WORD>(local.tm_min);
    time.wSecond = static_cast<WORD>(local.tm_sec);
    time.wMilliseconds = static_cast<WORD>(sinceEpoch.count() % 1000);
    return time;
  }

  bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                 uint64_t deadlineMs) override {
    if (deadlineMs == kNoDeadline) {
      cv.wait(lock);
      return true;
    }
    std::chrono::steady_clock::time_point deadline{std::chrono::milliseconds(deadlineMs)};
    cv.wait_until(lock, deadline);
    return NowMs() < deadlineMs;
  }
};

std::atomic<Clock*> installedClock{nullptr};

}  // namespace

Clock& RealClock() {
  static HostClock* clock = new HostClock;  // never destroyed: detached threads may still sleep
  return *clock;
}

Clock& CurrentClock() {
  Clock* clock = installedClock.load(std::memory_order_acquire);
  return clock != nullptr ? *clock : RealClock();
}

void SetClock(Clock* clock) { installedClock.store(clock, std::memory_order_release); }

DWORD GetTickCount() { return static_cast<DWORD>(CurrentClock().NowMs()); }

void GetLocalTime(SYSTEMTIME* time) {
  if (time != nullptr) *time = CurrentClock().LocalTime();
}

void Sleep(DWORD ms) {
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  Clock& clock = CurrentClock();
  uint64_t deadline = ms == INFINITE ? kNoDeadline : clock.NowMs() + ms;
  std::mutex mutex;
  std::condition_variable cv;
  std::unique_lock lock(mutex);
  // Nobody notifies this cv, so a true return is spurious; a clock that was
  // swapped out meanwhile ends the sleep rather than waiting on a stale one.
  while (clock.WaitUntil(lock, cv, deadline)) {
    if (&CurrentClock() != &clock) return;
  }
}

}  // namespace ce
