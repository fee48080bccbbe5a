// A scripted server in place of HttpGet for the service's request workers
// (login and session checks, browse lists, song tickets): it answers each
// request from a queue of replies per key (404 when the queue is empty) and
// records every request.
//
// A held key is the hold gate of a test: its requests wait until Release,
// or, when the hold honours cancel, until one of the request's cancel flags
// rises, which answers -1 as HttpGet does. A request answered while one of
// its flags is up answers -1 too. The reply is taken from the queue only
// when the request returns, so a cancelled request takes none.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Thread.h"
#include "tests/support/Wait.h"

namespace test_support {

// RequestT has host, path and the cancel flags cancelA and cancelB; ReplyT
// has result and text.
template <class RequestT, class ReplyT>
class ScriptedTransport {
 public:
  using KeyOf = std::function<std::u16string(const RequestT&)>;

  struct Call {
    RequestT request;
    int32_t result = 0;  // what the request was answered, once it returned
    bool returned = false;
    bool sawCancel = false;  // a cancel flag rose while the request was held
    uint64_t atMs = 0;       // process clock at its arrival
    int priority = 0;        // of the calling thread
  };

  explicit ScriptedTransport(KeyOf keyOf) : keyOf_(std::move(keyOf)) {}
  ScriptedTransport(const ScriptedTransport&) = delete;
  ScriptedTransport& operator=(const ScriptedTransport&) = delete;

  // The transport to hand to the code under test; it must not outlive this.
  std::function<ReplyT(const RequestT&)> Transport() {
    return [this](const RequestT& request) { return Answer(request); };
  }

  void Queue(const std::u16string& key, ReplyT reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_[key].push_back(std::move(reply));
  }

  void Reply(const std::u16string& key, int32_t result, std::u16string text = {}) {
    ReplyT reply{};
    reply.result = result;
    reply.text = std::move(text);
    Queue(key, std::move(reply));
  }

  // With honourCancel false a held request waits for Release even when its
  // cancel flag rises (as a transfer blocked in connect does).
  void Hold(const std::u16string& key, bool honourCancel = true) {
    std::lock_guard<std::mutex> lock(mutex_);
    held_[key] = honourCancel ? kHeld : kHeldPastCancel;
  }

  // Lets every waiting and every later request of key go.
  void Release(const std::u16string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    held_.erase(key);
    changed_.notify_all();
  }

  // Lets every request go; a fixture calls it so that no worker stays held.
  void ReleaseAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    held_.clear();
    changed_.notify_all();
  }

  std::vector<Call> Calls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }

  // The requests, in the order they arrived; with a key, only those of it.
  std::vector<RequestT> Requests() {
    std::vector<RequestT> requests;
    for (const Call& call : Calls()) requests.push_back(call.request);
    return requests;
  }
  std::vector<RequestT> RequestsTo(const std::u16string& key) {
    std::vector<RequestT> requests;
    for (const Call& call : Calls()) {
      if (keyOf_(call.request) == key) requests.push_back(call.request);
    }
    return requests;
  }

  size_t Returned() {
    std::lock_guard<std::mutex> lock(mutex_);
    return returned_;
  }

  // Waits until count requests have arrived.
  bool WaitForCalls(size_t count, int limitMs = kWaitLimitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return WaitUntil(lock, changed_, [&] { return calls_.size() >= count; }, limitMs);
  }

  // Waits until count requests have returned.
  bool WaitForReturned(size_t count, int limitMs = kWaitLimitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return WaitUntil(lock, changed_, [&] { return returned_ >= count; }, limitMs);
  }

  // Waits until the held request number index (from 0) has seen one of its
  // cancel flags rise.
  bool WaitForCancelSeen(size_t index, int limitMs = kWaitLimitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return WaitUntil(
        lock, changed_, [&] { return index < calls_.size() && calls_[index].sawCancel; }, limitMs);
  }

  // Answers one request as the transport does.
  ReplyT Answer(const RequestT& request) {
    std::unique_lock<std::mutex> lock(mutex_);
    const std::u16string key = keyOf_(request);
    const size_t index = calls_.size();
    calls_.push_back(Call{request, 0, false, false, ce::CurrentClock().NowMs(),
                          ce::GetThreadPriority(ce::GetCurrentThread())});
    changed_.notify_all();
    auto cancelled = [&] {
      return (request.cancelA != nullptr && request.cancelA->load() != 0) ||
             (request.cancelB != nullptr && request.cancelB->load() != 0);
    };
    for (;;) {
      auto hold = held_.find(key);
      if (hold == held_.end()) break;
      if (cancelled() && !calls_[index].sawCancel) {
        calls_[index].sawCancel = true;
        changed_.notify_all();
      }
      if (hold->second == kHeld && cancelled()) break;
      changed_.wait_for(lock, kCancelCheck);
    }
    ReplyT reply{};
    reply.result = 404;
    if (cancelled()) {
      reply.result = -1;
    } else if (!replies_[key].empty()) {
      reply = replies_[key].front();
      replies_[key].pop_front();
    }
    calls_[index].result = reply.result;
    calls_[index].returned = true;
    ++returned_;
    changed_.notify_all();
    return reply;
  }

 private:
  enum HoldKind { kHeld, kHeldPastCancel };
  // The cancel flags are plain atomics that nobody notifies, so a held
  // request looks at them this often, as HttpGet's own transfer does.
  static constexpr std::chrono::milliseconds kCancelCheck{2};

  KeyOf keyOf_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::u16string, std::deque<ReplyT>> replies_;
  std::map<std::u16string, HoldKind> held_;
  std::vector<Call> calls_;
  size_t returned_ = 0;
};

// Keys: the host of a request, or its path before the "?".
template <class RequestT>
std::u16string HostKey(const RequestT& request) {
  return request.host;
}
inline std::u16string PathKey(const std::u16string& target) {
  return target.substr(0, target.find(u'?'));
}

}  // namespace test_support
