#include "platform/base/VirtualClock.h"

#include <chrono>
#include <ctime>
#include <vector>

namespace ce {

// A thread blocked in WaitUntil. It lives on that thread's stack; the clock
// reaches it only while it is registered or while `notifying` holds it.
struct VirtualClock::Waiter {
  std::condition_variable* cv;
  std::mutex* mutex;
  uint64_t deadlineMs;
  int notifying = 0;
};

namespace {

SYSTEMTIME DefaultLocalTime() {
  SYSTEMTIME time;
  time.wYear = 2010;
  time.wMonth = 1;
  time.wDayOfWeek = 5;
  time.wDay = 1;
  return time;
}

}  // namespace

VirtualClock::VirtualClock(uint64_t startMs)
    : nowMs_(startMs), startMs_(startMs), startLocal_(DefaultLocalTime()) {}

VirtualClock::~VirtualClock() {
  if (&CurrentClock() == this) SetClock(nullptr);
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  WakeDue(true);
  std::unique_lock lock(mutex_);
  waitersChanged_.wait(lock, [this] { return active_ == 0; });
}

uint64_t VirtualClock::NowMs() {
  std::lock_guard lock(mutex_);
  return nowMs_;
}

SYSTEMTIME VirtualClock::LocalTime() {
  std::lock_guard lock(mutex_);
  // Calendar arithmetic in UTC, so that no daylight saving rule of the host
  // shifts the virtual local time.
  std::tm start{};
  start.tm_year = startLocal_.wYear - 1900;
  start.tm_mon = startLocal_.wMonth - 1;
  start.tm_mday = startLocal_.wDay;
  start.tm_hour = startLocal_.wHour;
  start.tm_min = startLocal_.wMinute;
  start.tm_sec = startLocal_.wSecond;
  int64_t totalMs = static_cast<int64_t>(timegm(&start)) * 1000 + startLocal_.wMilliseconds +
                    static_cast<int64_t>(nowMs_ - startMs_);
  std::time_t seconds = static_cast<std::time_t>(totalMs / 1000);
  std::tm now{};
  gmtime_r(&seconds, &now);
  SYSTEMTIME time;
  time.wYear = static_cast<WORD>(now.tm_year + 1900);
  time.wMonth = static_cast<WORD>(now.tm_mon + 1);
  time.wDayOfWeek = static_cast<WORD>(now.tm_wday);
  time.wDay = static_cast<WORD>(now.tm_mday);
  time.wHour = static_cast<WORD>(now.tm_hour);
  time.wMinute = static_cast<WORD>(now.tm_min);
  time.wSecond = static_cast<WORD>(now.tm_sec);
  time.wMilliseconds = static_cast<WORD>(totalMs % 1000);
  return time;
}

bool VirtualClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                             uint64_t deadlineMs) {
  Waiter waiter{&cv, lock.mutex(), deadlineMs};
  {
    std::lock_guard guard(mutex_);
    if (closing_ || nowMs_ >= deadlineMs) return false;
    ++active_;
    waiters_.insert(&waiter);
    waitersChanged_.notify_all();
  }
  // The caller's mutex stays held from the registration until wait()
  // releases it, and WakeDue notifies while holding that mutex: a wake-up
  // cannot fall between the two.
  cv.wait(lock);
  lock.unlock();
  bool beforeDeadline;
  {
    std::unique_lock guard(mutex_);
    waiters_.erase(&waiter);
    waitersChanged_.wait(guard, [&] { return waiter.notifying == 0; });
    beforeDeadline = !closing_ && nowMs_ < deadlineMs;
    --active_;
    waitersChanged_.notify_all();
  }
  lock.lock();
  return beforeDeadline;
}

int VirtualClock::WakeDue(bool all) {
  std::vector<Waiter*> due;
  {
    std::lock_guard lock(mutex_);
    for (Waiter* waiter : waiters_) {
      if (all || waiter->deadlineMs <= nowMs_) due.push_back(waiter);
    }
    for (Waiter* waiter : due) {
      ++waiter->notifying;
      waiters_.erase(waiter);
    }
    if (!due.empty()) waitersChanged_.notify_all();
  }
  // The clock's mutex is not held here: a waiter takes the caller's mutex
  // first and the clock's second, so taking them the other way round could
  // deadlock.
  for (Waiter* waiter : due) {
    {
      std::lock_guard lock(*waiter->mutex);
      waiter->cv->notify_all();
    }
    std::lock_guard lock(mutex_);
    --waiter->notifying;
    waitersChanged_.notify_all();
  }
  return static_cast<int>(due.size());
}

void VirtualClock::Advance(uint64_t ms) {
  {
    std::lock_guard lock(mutex_);
    nowMs_ = ms > UINT64_MAX - nowMs_ ? UINT64_MAX : nowMs_ + ms;
  }
  WakeDue(false);
}

void VirtualClock::AdvanceInSteps(uint64_t totalMs, uint64_t stepMs, int settleTimeoutMs) {
  if (stepMs == 0) stepMs = totalMs;
  for (uint64_t remaining = totalMs; remaining > 0;) {
    uint64_t step = remaining < stepMs ? remaining : stepMs;
    int before = Waiters();
    {
      std::lock_guard lock(mutex_);
      nowMs_ += step;
    }
    if (WakeDue(false) > 0) WaitForWaiters(before, settleTimeoutMs);
    remaining -= step;
  }
}

void VirtualClock::SetLocalTime(const SYSTEMTIME& time) {
  std::lock_guard lock(mutex_);
  startLocal_ = time;
}

int VirtualClock::Waiters() {
  std::lock_guard lock(mutex_);
  return static_cast<int>(waiters_.size());
}

bool VirtualClock::WaitForWaiters(int n, int timeoutMs) {
  std::unique_lock lock(mutex_);
  return waitersChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    return static_cast<int>(waiters_.size()) >= n;
  });
}

}  // namespace ce
