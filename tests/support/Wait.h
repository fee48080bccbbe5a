// Waiting in tests: always on a condition variable that the awaited change
// notifies, never by polling with sleeps. Every limit is real time and only
// keeps a broken build from hanging; a passing test never reaches it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace test_support {

// Real-time limit of a wait, in milliseconds.
inline constexpr int kWaitLimitMs = 20000;

// Waits on changed, with lock held, until done() holds; false when the limit
// passed first. Whoever changes what done() reads notifies changed under the
// same mutex.
template <class Done>
bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& changed, Done done,
               int limitMs = kWaitLimitMs) {
  return changed.wait_for(lock, std::chrono::milliseconds(limitMs), std::move(done));
}

// A flag that one thread raises and others wait for.
class Flag {
 public:
  void Raise() {
    std::lock_guard<std::mutex> lock(mutex_);
    raised_ = true;
    changed_.notify_all();
  }

  bool Raised() {
    std::lock_guard<std::mutex> lock(mutex_);
    return raised_;
  }

  bool Wait(int limitMs = kWaitLimitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return WaitUntil(lock, changed_, [this] { return raised_; }, limitMs);
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool raised_ = false;
};

}  // namespace test_support
