// A clock that moves only when a test moves it.
//
// Sleep and every clock wait block until Advance brings the time to their
// deadline; WaitForWaiters lets a test wait (in real time) until the threads
// it expects are blocked on the clock, so each step is deterministic.
#pragma once

#include <condition_variable>
#include <mutex>
#include <set>

#include "platform/base/Clock.h"

namespace ce {

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(uint64_t startMs = 1000);
  ~VirtualClock() override;

  uint64_t NowMs() override;
  SYSTEMTIME LocalTime() override;
  bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                 uint64_t deadlineMs) override;

  // Moves the time forward and wakes every waiter whose deadline is due.
  void Advance(uint64_t ms);
  // Moves the time forward in steps, after each step waiting until the
  // waiting threads have settled again, so that sleep loops follow. A step
  // that woke threads waits (real time, up to settleTimeoutMs) until as many
  // threads wait on the clock as before it; a thread that ends instead of
  // waiting again costs that time once.
  void AdvanceInSteps(uint64_t totalMs, uint64_t stepMs, int settleTimeoutMs = 2000);
  // Local time shown at NowMs() == startMs; it moves with the clock.
  void SetLocalTime(const SYSTEMTIME& time);
  // Number of threads now blocked in WaitUntil or Sleep on this clock.
  int Waiters();
  // Blocks (real time, up to timeoutMs) until at least n threads wait on the
  // clock. Returns false on time-out.
  bool WaitForWaiters(int n, int timeoutMs = 5000);

 private:
  struct Waiter;
  // Wakes the waiters whose deadline is due (all of them when closing);
  // returns how many it woke.
  int WakeDue(bool all);

  std::mutex mutex_;
  uint64_t nowMs_;
  uint64_t startMs_;
  SYSTEMTIME startLocal_;
  std::set<Waiter*> waiters_;
  std::condition_variable waitersChanged_;
  int active_ = 0;       // threads inside WaitUntil, registered or not
  bool closing_ = false;  // the clock is being destroyed: waits return at once
};

}  // namespace ce
