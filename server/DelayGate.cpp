#include "server/DelayGate.h"

#include <chrono>

namespace zolfa_server {

bool DelayGate::Wait(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (milliseconds <= 0) return !open_;
  changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return open_; });
  return !open_;
}

void DelayGate::Open() {
  std::lock_guard<std::mutex> lock(mutex_);
  open_ = true;
  changed_.notify_all();
}

}  // namespace zolfa_server
