// Test helpers for the browse requests: the scripted data server in place
// of HttpGet, a poster that records what the workers hand over, and a service
// manager logged in through a scripted login with a top-level dialog window
// on its own thread.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/Thread.h"
#include "tests/support/ScriptedTransport.h"
#include "tests/support/ServiceReceiver.h"
#include "tests/support/Wait.h"
#include "zolfa/browse/BrowseTransport.h"
#include "zolfa/browse/FeedItem.h"
#include "zolfa/browse/IBrowsePoster.h"
#include "zolfa/service/ServiceMessages.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace test_support {

inline constexpr char16_t kDataHost[] = u"ds.test";
constexpr int32_t kDataPort = 8080;
inline constexpr char16_t kSid[] = u"SID42";

// The data server of the browse requests: fetches keyed by the path before
// their "?" ("/artist.php").
class ScriptedDataServer : public ScriptedTransport<zolfa::BrowseFetch, zolfa::ServiceReply> {
 public:
  ScriptedDataServer()
      : ScriptedTransport([](const zolfa::BrowseFetch& fetch) { return PathOf(fetch.path); }) {}

  static std::u16string PathOf(const std::u16string& target) { return PathKey(target); }
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
  bool WaitForEnd(int32_t id, int limitMs = kWaitLimitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return WaitUntil(
        lock, changed_,
        [&] {
          for (const Event& e : events_) {
            if (e.end && e.id == id) return true;
          }
          return false;
        },
        limitMs);
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
    receiver_.SetHandler([this](const test_support::ServiceReceiver::Received& r) {
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
    // The receiver's handler has opened the session by the time the
    // worker's send returns.
    ASSERT_TRUE(manager_->WaitForLoginSettled(kWaitLimitMs));
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
  test_support::ServiceReceiver& Dialog() { return receiver_; }

 private:
  test_support::ServiceReceiver receiver_;
  std::unique_ptr<zolfa::ZolfaNetMgrPPC> manager_;
};

}  // namespace test_support
