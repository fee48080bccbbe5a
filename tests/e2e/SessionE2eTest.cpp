// The service manager against the real zolfa-server on loopback: the login
// hosts and the six servers of the login answer are mapped to it through the
// device's host table, and the outcomes reach a real window on its own
// thread, which acts on them as the top-level dialog does.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Registry.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/ServiceHosts.h"
#include "tests/support/ServiceReceiver.h"
#include "tests/support/Wait.h"
#include "zolfa/service/ClientId.h"
#include "zolfa/service/LoginRules.h"
#include "zolfa/service/PasswordDigest.h"
#include "zolfa/service/ServiceMessages.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace {

using namespace zolfa;

using test_support::ServiceReceiver;
using test_support::ServerProcess;

class SessionE2eTest : public ::testing::Test {
 protected:
  // Starts the server with extra options and maps every host name to it.
  void StartServer(std::vector<std::string> args = {}) {
    server_ = std::make_unique<ServerProcess>(std::move(args));
    ASSERT_TRUE(server_->Started());
    test_support::MapServiceHosts(server_->Port());
  }

  // The manager of one program start. The receiver acts on outcomes as the
  // top-level dialog does: the login rules decide SetOnline, and a failed
  // check or a cancel logs out.
  void StartProgram() {
    ZolfaNetMgrPPC::Options options;
    options.workerPriority = ce::THREAD_PRIORITY_NORMAL;  // a busy test machine cannot starve them
    // The real transport, which tells the test when a transfer has begun.
    options.transport = [this](const ServiceRequest& request) {
      transferBegun_.Raise();
      return HttpGetText(request);
    };
    manager_ = std::make_unique<ZolfaNetMgrPPC>(std::move(options));
    receiver_.SetHandler([this](const ServiceReceiver::Received& r) {
      switch (r.message) {
        case MSG_LOGIN_DONE:
        case MSG_CHECK_DONE:
          manager_->SetOnline(ApplyLoginRules(*r.result).outcome == LoginOutcome::kAccepted);
          break;
        case MSG_CHECK_FAILED:
        case MSG_LOGIN_CANCELLED:
        case MSG_CHECK_CANCELLED:
        case MSG_SESSION_ERROR:
          manager_->SetOnline(false);
          break;
        default:
          break;
      }
    });
  }

  void EndProgram() {
    manager_.reset();  // waits for every worker: nothing more can arrive
    receiver_.SetHandler(nullptr);
  }

  void Login(int32_t cancel = 0) {
    manager_->Login(receiver_.Window(), u"demo@zolfa.test", PasswordDigest(u"zolfa"), cancel);
  }

  void LogInAccepted() {
    size_t before = receiver_.Messages().size();
    Login();
    ASSERT_TRUE(receiver_.WaitForMessages(before + 1));
    ASSERT_EQ(receiver_.Numbers().back(), MSG_LOGIN_DONE);
    // The worker ends the logging-in state once its send has returned.
    ASSERT_TRUE(manager_->WaitForLoginSettled(test_support::kWaitLimitMs));
    ASSERT_EQ(manager_->LoggedInFlag().load(), 1);
  }

  // Runs one session check on a thread of the test. Whenever it waits in a
  // retry pause (then the keep-alive thread, the receiver's idle loop and
  // the check all wait on the clock, so no exchange is under way) the clock
  // moves past the longest pause.
  void RunCheck() {
    std::atomic<bool> done{false};
    std::thread check([&] {
      manager_->CheckSession();
      done = true;
    });
    while (!done) {
      if (clock_->WaitForWaiters(3, 20)) {
        clock_->Advance(ZolfaNetMgrPPC::kRetryBaseMs + ZolfaNetMgrPPC::kRetrySpreadMs);
      }
    }
    check.join();
  }

  // Log lines of requests to path (the server writes one per request).
  std::vector<std::string> Requests(const std::string& path) {
    std::vector<std::string> lines;
    for (const std::string& line : server_->LogLines()) {
      if (line.find(" " + path) != std::string::npos) {
        lines.push_back(line);
      }
    }
    return lines;
  }

  static std::string Value(const std::string& line, const std::string& key) {
    size_t at = line.find(key + "=");
    if (at == std::string::npos) {
      return "<none>";
    }
    at += key.size() + 1;
    size_t end = line.find_first_of("& ", at);
    return line.substr(at, end - at);
  }

  ce::testing::TempDeviceRoot root_;
  ce::testing::ScopedVirtualClock clock_;
  std::unique_ptr<ServerProcess> server_;
  ServiceReceiver receiver_;
  test_support::Flag transferBegun_;  // raised at the start of every transfer
  std::unique_ptr<ZolfaNetMgrPPC> manager_;
};

TEST_F(SessionE2eTest, FirstStartCreatesTheClientIdAndLaterStartsReuseIt) {
  ASSERT_NO_FATAL_FAILURE(StartServer());
  ce::HKEY key = nullptr;
  ASSERT_NE(ce::RegOpenKeyEx(ce::HKEY_CURRENT_USER, kZolfaKey, 0, ce::KEY_READ, &key),
            ce::ERROR_SUCCESS);
  for (int start = 0; start < 2; ++start) {
    StartProgram();
    ASSERT_NO_FATAL_FAILURE(LogInAccepted());
    EndProgram();
  }
  std::vector<std::string> logins = Requests("/ce_login.php");
  ASSERT_EQ(logins.size(), 2u);
  std::string id = Value(logins[0], "zolfaid");
  EXPECT_EQ(id.size(), 48u);
  EXPECT_EQ(id.substr(0, 6), "ZOLFA-");
  EXPECT_EQ(Value(logins[1], "zolfaid"), id);
  EXPECT_EQ(ce::ToUtf8(ReadOrCreateClientId()), id);
}

TEST_F(SessionE2eTest, AtSignIsEscapedAndTheDigestGoesUnchanged) {
  ASSERT_NO_FATAL_FAILURE(StartServer());
  StartProgram();
  ASSERT_NO_FATAL_FAILURE(LogInAccepted());
  EndProgram();
  std::vector<std::string> logins = Requests("/ce_login.php");
  ASSERT_EQ(logins.size(), 1u);
  std::string digest = ce::ToUtf8(PasswordDigest(u"zolfa"));
  ASSERT_EQ(digest.size(), 32u);
  EXPECT_NE(logins[0].find(" login1.zolfa.test /ce_login.php?act=login&uid=demo%40zolfa.test"
                           "&passwd=" +
                           digest + "&hw_vendor=ULDA&hw_model=WINCE&hw_id="),
            std::string::npos)
      << logins[0];
  EXPECT_TRUE(logins[0].ends_with(" 200 ZOLFA%20(login)")) << logins[0];
}

TEST_F(SessionE2eTest, PrimaryNotFoundAndSecondaryAnsweredIsDeliveredOnce) {
  ASSERT_NO_FATAL_FAILURE(StartServer({"--fail-host", "login1.zolfa.test=404"}));
  StartProgram();
  ASSERT_NO_FATAL_FAILURE(LogInAccepted());
  EndProgram();
  EXPECT_EQ(receiver_.Numbers(), std::vector<ce::UINT>{MSG_LOGIN_DONE});
  std::vector<std::string> logins = Requests("/ce_login.php");
  ASSERT_EQ(logins.size(), 2u);
  EXPECT_NE(logins[0].find(" login1.zolfa.test "), std::string::npos);
  EXPECT_TRUE(logins[0].ends_with(" 404 ZOLFA%20(login)")) << logins[0];
  EXPECT_NE(logins[1].find(" login2.zolfa.test "), std::string::npos);
  EXPECT_TRUE(logins[1].ends_with(" 200 ZOLFA%20(login)")) << logins[1];
}

TEST_F(SessionE2eTest, BothHostsFailingDeliversLoginFailedOnce) {
  ASSERT_NO_FATAL_FAILURE(StartServer(
      {"--fail-host", "login1.zolfa.test=500", "--fault", "host=login2.zolfa.test,body=empty"}));
  StartProgram();
  Login();
  ASSERT_TRUE(receiver_.WaitForMessages(1));
  EndProgram();
  EXPECT_EQ(receiver_.Numbers(), std::vector<ce::UINT>{MSG_LOGIN_FAILED});
  EXPECT_EQ(Requests("/ce_login.php").size(), 2u);
}

TEST_F(SessionE2eTest, TwoPressesDeliverOnlyTheCancel) {
  // The primary host holds its answer back far longer than the test runs.
  ASSERT_NO_FATAL_FAILURE(StartServer({"--delay-host", "login1.zolfa.test=20000"}));
  StartProgram();
  Login();
  ASSERT_TRUE(transferBegun_.Wait());  // the first transfer waits for the held answer
  manager_->SetOnline(false);
  Login(1);
  ASSERT_TRUE(receiver_.WaitForMessages(1));
  auto start = std::chrono::steady_clock::now();
  EndProgram();
  // The first worker stopped at its cancel flag instead of waiting for the
  // answer or trying the secondary host.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
  EXPECT_EQ(receiver_.Numbers(), std::vector<ce::UINT>{MSG_LOGIN_CANCELLED});
  for (const std::string& line : Requests("/ce_login.php")) {
    EXPECT_EQ(line.find(" login2.zolfa.test "), std::string::npos) << line;
  }
}

TEST_F(SessionE2eTest, CheckAnsweredDuringANewLoginIsNotDelivered) {
  ASSERT_NO_FATAL_FAILURE(StartServer());
  StartProgram();
  ASSERT_NO_FATAL_FAILURE(LogInAccepted());
  std::u16string firstSid = manager_->Sid();
  // The new login's answer is held back far longer than the test runs.
  ASSERT_EQ(server_->Control("delay-host=login1.zolfa.test%3D20000"), 200);
  Login();  // a new login is in progress from here on
  RunCheck();
  std::vector<std::string> checks = Requests("/ce_check.php");
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_NE(checks[0].find(" ss.zolfa.test /ce_check.php?hw_vendor=ULDA&"), std::string::npos);
  EXPECT_EQ(Value(checks[0], "sid"), ce::ToUtf8(firstSid));
  EXPECT_TRUE(checks[0].ends_with(" 200 ZOLFA%20(check)")) << checks[0];
  // End the held login by pressing again.
  manager_->SetOnline(false);
  Login(1);
  ASSERT_TRUE(receiver_.WaitForMessages(2));
  EndProgram();
  EXPECT_EQ(receiver_.Numbers(), (std::vector<ce::UINT>{MSG_LOGIN_DONE, MSG_LOGIN_CANCELLED}));
}

TEST_F(SessionE2eTest, AnsweredCheckIsDeliveredAndKeepsTheSession) {
  ASSERT_NO_FATAL_FAILURE(StartServer());
  StartProgram();
  ASSERT_NO_FATAL_FAILURE(LogInAccepted());
  std::u16string sid = manager_->Sid();
  RunCheck();
  ASSERT_TRUE(receiver_.WaitForMessages(2));
  EXPECT_EQ(receiver_.Numbers().back(), MSG_CHECK_DONE);
  EXPECT_EQ(manager_->Sid(), sid);
  EXPECT_EQ(manager_->LoggedInFlag().load(), 1);
  EndProgram();
}

TEST_F(SessionE2eTest, FailedCheckIsDeliveredOnceAndThenNothing) {
  ASSERT_NO_FATAL_FAILURE(StartServer());
  StartProgram();
  ASSERT_NO_FATAL_FAILURE(LogInAccepted());
  ASSERT_EQ(server_->Control("fail-host=ss.zolfa.test%3D500"), 200);
  RunCheck();
  EndProgram();
  EXPECT_EQ(receiver_.Numbers(), (std::vector<ce::UINT>{MSG_LOGIN_DONE, MSG_CHECK_FAILED}));
  // The later runs still ask, then find the session dropped by the logout.
  EXPECT_EQ(Requests("/ce_check.php").size(), 3u);
}

}  // namespace
