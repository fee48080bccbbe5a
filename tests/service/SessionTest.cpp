// The service manager against a scripted transport, a real window on a
// pumping thread and the virtual clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Random.h"
#include "platform/base/Registry.h"
#include "platform/base/Thread.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/ScriptedTransport.h"
#include "tests/support/ServiceReceiver.h"
#include "tests/support/Wait.h"
#include "zolfa/service/ClientId.h"
#include "zolfa/service/ServiceMessages.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace {

using namespace zolfa;

using test_support::kWaitLimitMs;
using test_support::ServiceReceiver;

constexpr char16_t kDigest[] = u"0123456789abcdef0123456789abcdef";
constexpr char16_t kSessionHost[] = u"ss.test";

std::u16string LoginAnswerText(const std::u16string& sid, int status = 0) {
  return u"<sid>" + sid + u"</sid><ds>ds.test</ds><ds_port>80</ds_port><cs>cs.test</cs>" +
         u"<cs_port>80</cs_port><status>" + std::u16string(1, u'0' + status) +
         u"</status><major_version>100</major_version><minor_version>13</minor_version>" + u"<ss>" +
         kSessionHost + u"</ss><ss_port>8080</ss_port>";
}

// The login and session servers: requests keyed by their host.
class ScriptedTransport
    : public test_support::ScriptedTransport<ServiceRequest, ServiceReply> {
 public:
  ScriptedTransport() : test_support::ScriptedTransport<ServiceRequest, ServiceReply>(
                            test_support::HostKey<ServiceRequest>) {}
};

constexpr char16_t kPrimaryHost[] = u"login1.zolfa.test";

// Threads that wait on the clock when nothing happens: the keep-alive
// thread and the receiver's message loop.
constexpr int kIdleWaiters = 2;

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(ce::THREAD_PRIORITY_NORMAL); }

  void Start(int priority) {
    ZolfaNetMgrPPC::Options options;
    auto transport = transport_;
    options.transport = [transport](const ServiceRequest& r) { return transport->Answer(r); };
    options.workerPriority = priority;
    manager_ = std::make_unique<ZolfaNetMgrPPC>(std::move(options));
  }

  // Logs in through the primary host and acts as the top-level dialog does
  // with an accepted answer.
  void LogIn(const std::u16string& sid = u"S1") {
    transport_->Reply(u"login1.zolfa.test", 200, LoginAnswerText(sid));
    size_t before = receiver_.Messages().size();
    manager_->Login(receiver_.Window(), u"demo@zolfa.test", kDigest, 0);
    ASSERT_TRUE(receiver_.WaitForMessages(before + 1));
    ASSERT_EQ(receiver_.Messages().back().message, MSG_LOGIN_DONE);
    manager_->SetOnline(true);
    // The worker ends the logging-in state once its send has returned.
    ASSERT_TRUE(manager_->WaitForLoginSettled(kWaitLimitMs));
  }

  // Runs CheckSession on a thread of the test, as the keep-alive thread would.
  void StartCheck() {
    checkDone_ = false;
    check_ = std::thread([this] {
      manager_->CheckSession();
      checkDone_ = true;
    });
  }

  // Moves the clock past a retry pause whenever the check waits in one (all
  // three threads wait on the clock then, so no exchange is under way),
  // until the check has ended.
  void RunPausesUntilCheckEnds() {
    while (!checkDone_) {
      if (clock_->WaitForWaiters(kIdleWaiters + 1, 20)) {
        clock_->Advance(ZolfaNetMgrPPC::kRetryBaseMs + ZolfaNetMgrPPC::kRetrySpreadMs);
      }
    }
    check_.join();
  }

  void TearDown() override {
    transport_->ReleaseAll();
    if (check_.joinable()) {
      manager_.reset();  // wakes the pauses of the check
      check_.join();
    }
  }

  ce::testing::TempDeviceRoot root_;
  ce::testing::ScopedVirtualClock clock_;
  std::shared_ptr<ScriptedTransport> transport_ = std::make_shared<ScriptedTransport>();
  ServiceReceiver receiver_;
  std::unique_ptr<ZolfaNetMgrPPC> manager_;
  std::thread check_;
  std::atomic<bool> checkDone_{false};
};

TEST_F(SessionTest, LoginRequestCarriesEscapedAccountDigestAndDeviceQuery) {
  ASSERT_NO_FATAL_FAILURE(LogIn(u"S1"));
  std::vector<ScriptedTransport::Call> calls = transport_->Calls();
  ASSERT_EQ(calls.size(), 1u);
  const ServiceRequest& r = calls[0].request;
  EXPECT_EQ(r.agent, u"ZOLFA (login)");
  EXPECT_EQ(r.host, u"login1.zolfa.test");
  EXPECT_EQ(r.port, 80u);
  EXPECT_EQ(r.cancelA, &manager_->LoginCancelFlag());

  std::u16string clientId = manager_->ClientId();
  std::u16string deviceId = ZolfaNetMgrPPC::DeviceIdText();
  EXPECT_EQ(deviceId.size(), 32u);
  EXPECT_EQ(r.path, std::u16string(u"/ce_login.php?act=login&uid=demo%40zolfa.test&passwd=") +
                        kDigest + u"&hw_vendor=ULDA&hw_model=WINCE&hw_id=" + deviceId +
                        u"&zolfaid=" + clientId + u"&hw_version=01000013&sid=");
  EXPECT_EQ(manager_->RequestPath(), r.path);

  // The accepted answer fills the session, and the common query carries sid.
  EXPECT_EQ(manager_->Sid(), u"S1");
  EXPECT_EQ(manager_->Servers().ss, kSessionHost);
  EXPECT_EQ(manager_->Servers().ssPort, 8080);
  EXPECT_EQ(manager_->CommonQuery(), u"hw_vendor=ULDA&hw_model=WINCE&hw_id=" + deviceId +
                                         u"&zolfaid=" + clientId + u"&hw_version=01000013&sid=S1");
  const ServiceReceiver::Received done = receiver_.Messages().back();
  ASSERT_TRUE(done.result);
  EXPECT_EQ(done.result->serial, 1);
  EXPECT_EQ(done.result->window, receiver_.Window());
  EXPECT_EQ(done.result->status, 0);
  EXPECT_EQ(done.result->majorVersion, 100);
  manager_->Shutdown();  // the worker has ended
  EXPECT_EQ(manager_->LoginSerial().load(), 0);
}

TEST_F(SessionTest, ClientIdIsCreatedOnceAndReused) {
  ASSERT_NO_FATAL_FAILURE(LogIn());
  std::u16string first = manager_->ClientId();
  ASSERT_EQ(first.size(), 48u);
  EXPECT_EQ(first.substr(0, 6), u"ZOLFA-");
  for (char16_t c : first.substr(6)) {
    EXPECT_TRUE(c >= u'A' && c <= u'Z');
  }
  EXPECT_EQ(ReadOrCreateClientId(), first);
  // A later start of the program reads the stored one.
  manager_.reset();
  Start(ce::THREAD_PRIORITY_NORMAL);
  ASSERT_NO_FATAL_FAILURE(LogIn());
  EXPECT_EQ(manager_->ClientId(), first);
}

TEST_F(SessionTest, StoredClientIdLongerThanItsFieldIsCut) {
  ce::HKEY key = nullptr;
  ASSERT_EQ(ce::RegCreateKeyEx(ce::HKEY_CURRENT_USER, kZolfaKey, 0, nullptr, 0, ce::KEY_ALL_ACCESS,
                               nullptr, &key, nullptr),
            ce::ERROR_SUCCESS);
  std::u16string stored = u"ZOLFA-" + std::u16string(60, u'Q');
  ASSERT_EQ(ce::RegSetValueEx(key, kClientIdValue, 0, ce::REG_SZ,
                              reinterpret_cast<const ce::BYTE*>(stored.c_str()),
                              static_cast<ce::DWORD>((stored.size() + 1) * 2)),
            ce::ERROR_SUCCESS);
  ce::RegCloseKey(key);
  EXPECT_EQ(ReadOrCreateClientId(), stored.substr(0, 48));
  EXPECT_EQ(ReadOrCreateClientId(), stored.substr(0, 48));  // left as stored
}

TEST_F(SessionTest, DeviceIdIsZerosWithoutAPlatformIdentifier) {
  ce::HKEY key = nullptr;
  ASSERT_EQ(ce::RegCreateKeyEx(ce::HKEY_LOCAL_MACHINE, u"System\\Platform", 0, nullptr, 0,
                               ce::KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ce::ERROR_SUCCESS);
  ce::DWORD one = 1;
  ce::RegSetValueEx(key, u"NoDeviceId", 0, ce::REG_DWORD, reinterpret_cast<ce::BYTE*>(&one), 4);
  ce::RegCloseKey(key);
  EXPECT_EQ(ZolfaNetMgrPPC::DeviceIdText(), u"000000");
  EXPECT_NE(manager_->BuildCommonQuery().find(u"&hw_id=000000&"), std::u16string::npos);
}

TEST_F(SessionTest, LoginHostsInTurn) {
  struct Case {
    int32_t primary;
    int32_t secondary;
    bool emptyBody;
    ce::UINT outcome;
    size_t calls;
  };
  const Case cases[] = {
      {404, 200, false, MSG_LOGIN_DONE, 2},
      {200, 0, false, MSG_LOGIN_DONE, 1},
      {500, -12, false, MSG_LOGIN_FAILED, 2},
      {200, 200, true, MSG_LOGIN_FAILED, 2},  // empty bodies count as failures
  };
  for (const Case& c : cases) {
    size_t messages = receiver_.Messages().size();
    size_t calls = transport_->Calls().size();
    std::u16string body = c.emptyBody ? u"" : LoginAnswerText(u"S");
    transport_->Reply(u"login1.zolfa.test", c.primary, body);
    // Only a case that reaches the secondary host queues its answer: one
    // left over would be taken by the next case.
    if (c.calls == 2) transport_->Reply(u"login2.zolfa.test", c.secondary, body);
    manager_->Login(receiver_.Window(), u"a", kDigest, 0);
    ASSERT_TRUE(receiver_.WaitForMessages(messages + 1));
    ASSERT_TRUE(transport_->WaitForCalls(calls + c.calls));
    manager_.reset();  // every worker has ended: nothing more can arrive
    EXPECT_EQ(receiver_.Numbers().size(), messages + 1) << c.primary << " " << c.secondary;
    EXPECT_EQ(receiver_.Numbers().back(), c.outcome) << c.primary << " " << c.secondary;
    std::vector<ScriptedTransport::Call> all = transport_->Calls();
    ASSERT_EQ(all.size(), calls + c.calls);
    EXPECT_EQ(all[calls].request.host, u"login1.zolfa.test");
    if (c.calls == 2) {
      EXPECT_EQ(all[calls + 1].request.host, u"login2.zolfa.test");
      EXPECT_EQ(all[calls + 1].request.path, all[calls].request.path);
    }
    Start(ce::THREAD_PRIORITY_NORMAL);
  }
}

TEST_F(SessionTest, SecondPressDeliversOnlyTheCancel) {
  // honourCancel true: the first transfer stops at the raised flag.
  // false: the first answer comes back anyway and must be dropped.
  for (bool honourCancel : {true, false}) {
    size_t messages = receiver_.Messages().size();
    size_t calls = transport_->Calls().size();
    transport_->Reply(u"login1.zolfa.test", 200, LoginAnswerText(u"S"));
    transport_->Hold(u"login1.zolfa.test", honourCancel);
    manager_->Login(receiver_.Window(), u"a", kDigest, 0);
    ASSERT_TRUE(transport_->WaitForCalls(calls + 1));
    manager_->SetOnline(false);
    manager_->Login(receiver_.Window(), u"a", kDigest, 1);
    if (!honourCancel) {
      transport_->Release(kPrimaryHost);
    }
    ASSERT_TRUE(receiver_.WaitForMessages(messages + 1));
    manager_.reset();
    std::vector<ce::UINT> numbers = receiver_.Numbers();
    ASSERT_EQ(numbers.size(), messages + 1) << honourCancel;
    EXPECT_EQ(numbers.back(), MSG_LOGIN_CANCELLED) << honourCancel;
    EXPECT_EQ(transport_->Calls().size(), calls + 1);  // the cancelling login sends nothing
    Start(ce::THREAD_PRIORITY_NORMAL);
  }
}

TEST_F(SessionTest, CheckAnsweredDuringANewLoginIsNotDelivered) {
  ASSERT_NO_FATAL_FAILURE(LogIn(u"S1"));
  transport_->Reply(u"login1.zolfa.test", 200, LoginAnswerText(u"S3"));
  transport_->Hold(u"login1.zolfa.test", false);
  manager_->Login(receiver_.Window(), u"a", kDigest, 0);
  ASSERT_TRUE(transport_->WaitForCalls(2));

  transport_->Reply(kSessionHost, 200, LoginAnswerText(u"S2"));
  StartCheck();
  ASSERT_TRUE(transport_->WaitForCalls(3));
  check_.join();  // answered: no retry pause
  EXPECT_EQ(transport_->Calls()[2].request.agent, u"ZOLFA (check)");
  EXPECT_EQ(transport_->Calls()[2].request.port, 8080u);
  EXPECT_EQ(manager_->Sid(), u"S2");  // the answer still refreshes the session

  transport_->Release(kPrimaryHost);
  ASSERT_TRUE(receiver_.WaitForMessages(2));
  manager_.reset();
  EXPECT_EQ(receiver_.Numbers(), (std::vector<ce::UINT>{MSG_LOGIN_DONE, MSG_LOGIN_DONE}));
}

TEST_F(SessionTest, FailedCheckIsDeliveredOnceAndLaterRunsFindTheSessionGone) {
  ASSERT_NO_FATAL_FAILURE(LogIn());
  receiver_.SetHandler([this](const ServiceReceiver::Received& r) {
    if (r.message == MSG_CHECK_FAILED) {
      manager_->SetOnline(false);  // the top-level dialog logs out
    }
  });
  for (int i = 0; i < 3; ++i) {
    transport_->Reply(kSessionHost, 500);
  }
  StartCheck();
  RunPausesUntilCheckEnds();
  EXPECT_EQ(transport_->Calls().size(), 4u);  // the login and three runs
  EXPECT_EQ(receiver_.Numbers(), (std::vector<ce::UINT>{MSG_LOGIN_DONE, MSG_CHECK_FAILED}));
  EXPECT_EQ(manager_->Sid(), u"");
  EXPECT_EQ(manager_->AbortRequestsFlag().load(), 1);
}

// The timing tests run without a window: nothing is sent, so the only
// threads that wait on the clock are the keep-alive thread, the check and
// the receiver's idle message loop, and a count of waiters tells exactly
// when the manager's thread is back in its pause.

TEST_F(SessionTest, FailedRunsPauseByTheGeneratorThreeTimes) {
  manager_->SetOnline(true);
  ASSERT_TRUE(clock_->WaitForWaiters(kIdleWaiters));
  const unsigned kSeed = 4242;
  ce::srand(kSeed);
  uint64_t pauses[3];
  for (uint64_t& pause : pauses) {
    pause = 1000 + static_cast<uint64_t>(ce::rand() % 10000);
  }
  ce::srand(kSeed);
  for (int i = 0; i < 3; ++i) {
    transport_->Reply(u"", 503);  // no login: the session server is still unknown
  }
  uint64_t expectedAt = clock_->NowMs();
  StartCheck();
  for (size_t run = 0; run < 3; ++run) {
    ASSERT_TRUE(transport_->WaitForCalls(1 + run));
    EXPECT_EQ(transport_->Calls()[run].atMs, expectedAt) << "run " << run;
    ASSERT_TRUE(clock_->WaitForWaiters(kIdleWaiters + 1));
    clock_->Advance(pauses[run] - 1);
    ASSERT_TRUE(clock_->WaitForWaiters(kIdleWaiters + 1));
    EXPECT_EQ(transport_->Calls().size(), 1 + run) << "woke early in pause " << run;
    EXPECT_FALSE(checkDone_.load());
    clock_->Advance(1);
    expectedAt += pauses[run];
  }
  check_.join();  // the third failed run is followed by its pause too
  EXPECT_EQ(clock_->NowMs(), expectedAt);
  EXPECT_EQ(transport_->Calls().size(), 3u);
}

TEST_F(SessionTest, KeepAliveChecksAfter599OneSecondPauses) {
  uint64_t start = clock_->NowMs();
  manager_->SetOnline(true);
  ASSERT_TRUE(clock_->WaitForWaiters(kIdleWaiters));
  // Before any answer the session server is unknown (empty host, port 0).
  transport_->Reply(u"", 200, LoginAnswerText(u"S2"));
  transport_->Reply(kSessionHost, 200, LoginAnswerText(u"S3"));
  for (size_t round = 1; round <= 2; ++round) {
    clock_->AdvanceInSteps(598 * 1000, 1000);
    EXPECT_EQ(transport_->Calls().size(), round - 1) << "round " << round;
    clock_->AdvanceInSteps(1000, 1000);
    ASSERT_TRUE(transport_->WaitForCalls(round));
    ScriptedTransport::Call call = transport_->Calls().back();
    EXPECT_EQ(call.atMs, start + 599 * 1000 * round);
    EXPECT_EQ(call.request.agent, u"ZOLFA (check)");
    EXPECT_EQ(call.request.path.substr(0, 14), u"/ce_check.php?");
    EXPECT_EQ(manager_->Sid(), round == 1 ? u"S2" : u"S3");
    // Back in the first pause of the next round.
    ASSERT_TRUE(transport_->WaitForReturned(round));
    ASSERT_TRUE(clock_->WaitForWaiters(kIdleWaiters));
  }
  // The second check sends the common query rebuilt with the first one's sid.
  std::u16string second = transport_->Calls()[1].request.path;
  EXPECT_EQ(second.substr(second.size() - 7), u"&sid=S2");
  EXPECT_EQ(transport_->Calls()[1].request.host, kSessionHost);
  EXPECT_EQ(transport_->Calls()[1].request.port, 8080u);
}

TEST_F(SessionTest, NoCheckWhileLoggedOut) {
  manager_->CheckSession();
  clock_->AdvanceInSteps(600 * 1000, 1000);
  EXPECT_TRUE(transport_->Calls().empty());
}

TEST_F(SessionTest, WorkersRunAtIdlePriorityByDefault) {
  manager_.reset();
  Start(ce::THREAD_PRIORITY_IDLE);
  ASSERT_NO_FATAL_FAILURE(LogIn());
  EXPECT_EQ(transport_->Calls()[0].priority, ce::THREAD_PRIORITY_IDLE);
}

TEST_F(SessionTest, DestructionWaitsForARunningWorkerAlsoWhileLoggedIn) {
  ASSERT_NO_FATAL_FAILURE(LogIn());
  // A transfer that does not stop at the cancel flags (a connect that has to
  // finish first).
  transport_->Hold(u"login1.zolfa.test", false);
  manager_->Login(receiver_.Window(), u"a", kDigest, 0);
  ASSERT_TRUE(transport_->WaitForCalls(2));
  ASSERT_EQ(manager_->LoggedInFlag().load(), 1);

  std::atomic<bool> destroyed{false};
  size_t returnedWhenDestroyed = 0;
  std::thread destroyer([&] {
    manager_.reset();
    returnedWhenDestroyed = transport_->Returned();
    destroyed = true;
  });
  // The destruction has raised the stop flag, which the held transfer sees
  // and does not stop at.
  ASSERT_TRUE(transport_->WaitForCancelSeen(1));
  EXPECT_FALSE(destroyed.load());
  EXPECT_EQ(transport_->Returned(), 1u);
  transport_->Release(kPrimaryHost);
  destroyer.join();
  EXPECT_EQ(returnedWhenDestroyed, 2u);  // it returned only after the worker
  // The stopping manager delivered nothing of the late answer.
  EXPECT_EQ(receiver_.Numbers(), std::vector<ce::UINT>{MSG_LOGIN_DONE});
}

TEST_F(SessionTest, DestructionWakesTheKeepAliveThreadWithoutTheClockMoving) {
  uint64_t start = clock_->NowMs();
  manager_.reset();  // would hang if the thread had to sleep its second out
  EXPECT_EQ(clock_->NowMs(), start);
}

TEST_F(SessionTest, SendToAWindowDestroyedWhileTheWorkerWaitsReturns) {
  transport_->Reply(u"login1.zolfa.test", 200, LoginAnswerText(u"S1"));
  receiver_.Hold();
  manager_->Login(receiver_.Window(), u"a", kDigest, 0);
  // The worker waits in its send to the held window.
  ASSERT_TRUE(receiver_.WaitForPendingSend());
  receiver_.DestroyWhileHeld();
  manager_.reset();  // returns only when the worker's send has returned
  EXPECT_TRUE(receiver_.Numbers().empty());
}

TEST_F(SessionTest, SessionErrorNeedsLoginAndAMessage) {
  const std::u16string error = u"<sid_errno>3</sid_errno><sid_errmsg>請重新登入</sid_errmsg>";
  EXPECT_FALSE(manager_->CheckSessionError(error));  // not logged in
  ASSERT_NO_FATAL_FAILURE(LogIn());
  EXPECT_FALSE(manager_->CheckSessionError(u"<sid_errno>3</sid_errno><sid_errmsg></sid_errmsg>"));
  EXPECT_FALSE(manager_->CheckSessionError(u"<sid_errmsg>x</sid_errmsg><sid_errno>3</sid_errno>"));
  EXPECT_EQ(manager_->SessionErrorFlag().load(), 0);
  EXPECT_TRUE(manager_->CheckSessionError(error));
  EXPECT_EQ(manager_->SessionErrorFlag().load(), 1);
  ASSERT_TRUE(receiver_.WaitForMessages(2));
  EXPECT_EQ(receiver_.Messages().back().message, MSG_SESSION_ERROR);
  EXPECT_EQ(receiver_.Messages().back().text, u"請重新登入");
  EXPECT_FALSE(manager_->CheckSessionError(u"<item>ok</item>"));
  EXPECT_EQ(manager_->SessionErrorFlag().load(), 0);
}

TEST_F(SessionTest, SetOnlineAndShutdownFlags) {
  ASSERT_NO_FATAL_FAILURE(LogIn(u"S1"));
  EXPECT_EQ(manager_->LoggedInFlag().load(), 1);
  manager_->SetOnline(false);
  EXPECT_EQ(manager_->Sid(), u"");
  EXPECT_EQ(manager_->AbortRequestsFlag().load(), 1);
  EXPECT_EQ(manager_->LoggingOutFlag().load(), 1);
  EXPECT_EQ(manager_->LoggedInFlag().load(), 0);
  manager_->SetOnline(true);
  EXPECT_EQ(manager_->AbortRequestsFlag().load(), 0);
  EXPECT_EQ(manager_->LoggingOutFlag().load(), 0);
  manager_->Shutdown();
  EXPECT_EQ(manager_->StopKeepAliveFlag().load(), 1);
  EXPECT_EQ(manager_->AbortRequestsFlag().load(), 0);
  EXPECT_EQ(manager_->LoggedInFlag().load(), 0);
  // Every lock is free again.
  for (ce::CriticalSection* lock :
       {&manager_->LoginLock(), &manager_->BrowseLock(), &manager_->TicketLock(),
        &manager_->PhotoLock(), &manager_->BackupLock(), &manager_->KeepAliveLock()}) {
    EXPECT_TRUE(lock->TryEnter());
    lock->Leave();
  }
}

}  // namespace
