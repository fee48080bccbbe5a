// Waits of delayed and dripping answers. Stopping the server opens the gate,
// so that no answer thread keeps the server from ending.
#pragma once

#include <condition_variable>
#include <mutex>

namespace zolfa_server {

class DelayGate {
 public:
  // Waits milliseconds; returns false at once when the gate is open (the
  // server stops).
  bool Wait(int milliseconds);
  void Open();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
};

}  // namespace zolfa_server
