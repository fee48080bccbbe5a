// Test helpers for the browse requests: a scripted data server in place of
// HttpGet, a poster that records what the workers hand over, and a service
// manager logged in through a scripted login with a top-level dialog window
// on its own thread.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/Thread.h"
#include "tests/e2e/ServiceReceiver.h"
#include "zolfa/browse/BrowseTransport.h"
#include "zolfa/browse/FeedItem.h"
#include "zolfa/browse/IBrowsePoster.h"
#include "zolfa/service/ServiceMessages.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace browse_test {

inline constexpr char16_t kDataHost[] = u"ds.test";
constexpr int32_t kDataPort = 8080;
inline constexpr char16_t kSid[] = u"SID42";

// Answers browse fetches by the path before its "?" ("/artist.php"): from a
// queue of replies per path (404 when empty). A held path makes its fetches
// wait until Release or until one of their cancel flags rises, which answers
// -1 as HttpGet does.
class ScriptedDataServer {
 public:
  struct Call {
    zolfa::BrowseFetch fetch;
    int32_t result = 0;  // what the fetch was answered, once it returned
    bool returned = false;
  };

  zolfa::BrowseTransport Transport() {
    return [this](const zolfa::BrowseFetch& fetch) { return Answer(fetch); };
  }

  void Reply(const std::u16string& path, int32_t result, std::u16string text = {}) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_[path].push_back(zolfa::ServiceReply{result, std::move(text)});
  }

  // With honourCancel false a held fetch waits for Release even when its
  // cancel flag rises (as a transfer blocked in connect does), and answers
  // -1 then.
  void Hold(const std::u16string& path, bool honourCancel = true) {
    std::lock_guard<std::mutex> lock(mutex_);
    held_[path] = true;
    honourCancel_[path] = honourCancel;
  }

  // Lets every waiting and every later fetch of path go.
  void Release(const std::u16string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    held_[path] = false;
    changed_.notify_all();
  }

  // Lets every fetch go; a failed test calls it so that no worker stays held.
  void ReleaseAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& [path, held] : held_) held = false;
    changed_.notify_all();
  }

  std::vector<Call> Calls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }

  bool WaitForCalls(size_t count, int timeoutMs = 20000) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return calls_.size() >= count; });
  }

  bool WaitForReturned(size_t count, int timeoutMs = 20000) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return returned_ >= count; });
  }

  static std::u16string PathOf(const std::u16string& target) {
    return target.substr(0, target.find(u'?'));
  }

 private:
  zolfa::ServiceReply Answer(const zolfa::BrowseFetch& fetch) {
    std::unique_lock<std::mutex> lock(mutex_);
    const std::u16string path = PathOf(fetch.path);
    const size_t index = calls_.size();
    calls_.push_back(Call{fetch});
    changed_.notify_all();
    auto cancelled = [&] {
      return (fetch.cancelA != nullptr && fetch.cancelA->load() != 0) ||
             (fetch.cancelB != nullptr && fetch.cancelB->load() != 0);
    };
    const bool honourCancel = honourCancel_.count(path) == 0 || honourCancel_[path];
    while (held_[path] && !(honourCancel && cancelled())) {
      changed_.wait_for(lock, std::chrono::milliseconds(2));
    }
    zolfa::ServiceReply reply{404, {}};
    if (cancelled()) {
      reply = zolfa::ServiceReply{-1, {}};
    } else if (!replies_[path].empty()) {
      reply = replies_[path].front();
      replies_[path].pop_front();
    }
    calls_[index].result = reply.result;
    calls_[index].returned = true;
    ++returned_;
    changed_.notify_all();
    return reply;
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::u16string, std::deque<zolfa::ServiceReply>> replies_;
  std::map<std::u16string, bool> held_;
  std::map<std::u16string, bool> honourCancel_;
  std::vector<Call> calls_;
  size_t returned_ = 0;
};

// Records items and completions as the workers hand them over.
class RecordingPoster : public zolfa::IBrowsePoster {
 public:
  struct Event {
    bool end = false;
    int32_t id = 0;
    zolfa::FeedItem item;
  };

  void PostBrowseItem(int32_t requestId, std::u16string_view title, std::u16string_view link,
                      std::u16string_view category) override {
    Add(Event{false, requestId,
              zolfa::FeedItem{std::u16string(title), std::u16string(link),
                              std::u16string(category)}});
  }
  void PostBrowseEnd(int32_t requestId) override { Add(Event{true, requestId, {}}); }

  std::vector<Event> Events() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
  }
  // The events of one request.
  std::vector<Event> EventsOf(int32_t id) {
    std::vector<Event> of;
    for (const Event& e : Events()) {
      if (e.id == id) of.push_back(e);
    }
    return of;
  }
  bool WaitForEnd(int32_t id, int timeoutMs = 20000) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
      for (const Event& e : events_) {
        if (e.end && e.id == id) return true;
      }
      return false;
    });
  }

 private:
  void Add(Event event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Event> events_;
};

// A login answer that opens a session on the scripted data server.
inline std::u16string LoginAnswer() {
  return std::u16string(u"<sid>") + kSid + u"</sid><ds>" + kDataHost +
         u"</ds><ds_port>8080</ds_port><cs>cs.test</cs><cs_port>80</cs_port>"
         u"<status>0</status><major_version>100</major_version>"
         u"<minor_version>13</minor_version><ss>ss.test</ss><ss_port>80</ss_port>";
}

// A service manager whose login is answered by a script, with the top-level
// dialog played by a receiver window that accepts the login as the dialog
// does. Construct it inside a device root.
class LoggedInSession {
 public:
  LoggedInSession() {
    zolfa::ZolfaNetMgrPPC::Options options;
    options.transport = [](const zolfa::ServiceRequest& request) {
      if (request.path.rfind(u"/ce_login.php", 0) == 0) {
        return zolfa::ServiceReply{200, LoginAnswer()};
      }
      return zolfa::ServiceReply{404, {}};
    };
    // A busy test machine cannot starve the workers.
    options.workerPriority = ce::THREAD_PRIORITY_NORMAL;
    manager_ = std::make_unique<zolfa::ZolfaNetMgrPPC>(std::move(options));
    receiver_.SetHandler([this](const service_test::ServiceReceiver::Received& r) {
      if (r.message == zolfa::MSG_LOGIN_DONE) manager_->SetOnline(true);
    });
  }

  ~LoggedInSession() {
    manager_.reset();
    receiver_.SetHandler(nullptr);
  }

  // Logs in and waits until the session is open.
  void LogIn() {
    manager_->Login(receiver_.Window(), u"demo", u"0123456789abcdef0123456789abcdef", 0);
    ASSERT_TRUE(receiver_.WaitForMessages(1));
    for (int i = 0; i < 20000 && (manager_->LoginSerial().load() != 0 ||
                                  manager_->LoggedInFlag().load() == 0);
         ++i) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    ASSERT_EQ(manager_->LoggedInFlag().load(), 1);
    ASSERT_EQ(manager_->Sid(), kSid);
  }

  // The service messages the dialog got, without the login's.
  std::vector<ce::UINT> DialogMessages() {
    std::vector<ce::UINT> numbers = receiver_.Numbers();
    if (!numbers.empty() && numbers.front() == zolfa::MSG_LOGIN_DONE) {
      numbers.erase(numbers.begin());
    }
    return numbers;
  }

  zolfa::ZolfaNetMgrPPC& Manager() { return *manager_; }
  service_test::ServiceReceiver& Dialog() { return receiver_; }

 private:
  service_test::ServiceReceiver receiver_;
  std::unique_ptr<zolfa::ZolfaNetMgrPPC> manager_;
};

}  // namespace browse_test
