#include <gtest/gtest.h>

#include <mutex>

#include "platform/testing/TestSupport.h"
#include "tests/library/BackupAnswers.h"
#include "tests/support/ImportReceiver.h"
#include "zolfa/library/CBackupImport.h"
#include "zolfa/library/ImportText.h"

namespace zolfa {
namespace {

using testing::BackupAnswer;
using testing::Col;
using testing::Record;

// A transport that records each request and answers from a script. Like
// HttpGet it answers -1 when a cancel flag is set.
class ScriptedTransport {
 public:
  ServiceTransport Transport() {
    return [this](const ServiceRequest& request) {
      std::lock_guard<std::mutex> lock(mutex_);
      Seen seen{request, request.cancelA != nullptr ? request.cancelA->load() : -9,
                request.cancelB != nullptr ? request.cancelB->load() : -9};
      seen_.push_back(seen);
      ServiceReply reply;
      if (seen.cancelA != 0 || seen.cancelB != 0) return reply;
      reply.result = result;
      reply.text = answer;
      return reply;
    };
  }

  struct Seen {
    ServiceRequest request;
    int32_t cancelA;
    int32_t cancelB;
  };
  std::vector<Seen> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

  int32_t result = 200;
  std::u16string answer;

 private:
  std::mutex mutex_;
  std::vector<Seen> seen_;
};

const std::u16string kAnswer =
    BackupAnswer({Record({Col(0, u"5"), Col(1, u"five"), Col(11, u"X5")})},
                 {Record({Col(0, u"1"), Col(1, u"list")})}, {Record({Col(1, u"5"), Col(2, u"1")})});

class CBackupImportTest : public ::testing::Test {
 protected:
  CBackupImportTest() { transport.answer = kAnswer; }

  ce::testing::TempDeviceRoot root;
  ce::testing::ScopedVirtualClock clock{50000};
  ScriptedTransport transport;
  test_support::ImportReceiver receiver;
  // The manager's own exchanges fail; the workers run at normal priority so
  // that a busy machine cannot starve them.
  ZolfaNetMgrPPC manager{ZolfaNetMgrPPC::Options{
      [](const ServiceRequest&) { return ServiceReply{}; }, ce::THREAD_PRIORITY_NORMAL}};
  CBackupImport import{manager, transport.Transport()};
};

TEST_F(CBackupImportTest, DeliversTheImportTextOnceWithItsId) {
  uint32_t id = import.StartImport(receiver.Window());
  EXPECT_EQ(id, 50000u);  // the tick count at the start
  EXPECT_EQ(import.LatestImportId(), id);
  ASSERT_TRUE(receiver.WaitFor(1));
  manager.Shutdown();

  ASSERT_EQ(receiver.deliveries.size(), 1u);
  EXPECT_EQ(receiver.deliveries[0].id, id);
  EXPECT_EQ(receiver.deliveries[0].text, BuildImportText(kAnswer));
  EXPECT_NE(receiver.deliveries[0].text.find(u"zolfa://play_song_X5"), std::u16string::npos);
  EXPECT_EQ(import.LatestImportId(), 0u);

  std::vector<ScriptedTransport::Seen> requests = transport.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const ServiceRequest& request = requests[0].request;
  EXPECT_EQ(request.agent, u"Zolfa(RecieveWholeBackup)");
  EXPECT_EQ(request.host, manager.Servers().is);
  EXPECT_EQ(request.port, static_cast<uint32_t>(manager.Servers().isPort));
  EXPECT_EQ(request.path, u"/backup_load.php?ver=1.0&" + manager.CommonQuery());
  EXPECT_EQ(request.cancelA, &manager.AbortRequestsFlag());
  EXPECT_EQ(requests[0].cancelB, 0);
}

TEST_F(CBackupImportTest, OnlyTheNewestRequestIsDelivered) {
  uint32_t first = 0;
  uint32_t second = 0;
  {
    // Both start while an earlier import holds the lock.
    ce::CriticalSectionLock hold(manager.BackupLock());
    first = import.StartImport(receiver.Window());
    second = import.StartImport(receiver.Window());
  }
  EXPECT_EQ(second, first + 1);  // one millisecond, two ids
  ASSERT_TRUE(receiver.WaitFor(1));
  manager.Shutdown();
  receiver.WaitFor(2, 0);

  ASSERT_EQ(receiver.deliveries.size(), 1u);
  EXPECT_EQ(receiver.deliveries[0].id, second);
  std::vector<ScriptedTransport::Seen> requests = transport.Requests();
  ASSERT_EQ(requests.size(), 2u);
  // The replaced request cancels itself: its second cancel flag is set.
  int stale = 0;
  for (const auto& seen : requests) stale += seen.cancelB;
  EXPECT_EQ(stale, 1);
}

struct NoDeliveryCase {
  const char* name;
  int32_t result;
  bool destroyWindow;
  bool abort;
};

void PrintTo(const NoDeliveryCase& c, std::ostream* os) { *os << c.name; }

class NoDeliveryTest : public CBackupImportTest,
                       public ::testing::WithParamInterface<NoDeliveryCase> {};

TEST_P(NoDeliveryTest, DeliversNothing) {
  const NoDeliveryCase& c = GetParam();
  transport.result = c.result;
  uint32_t id = 0;
  {
    ce::CriticalSectionLock hold(manager.BackupLock());
    id = import.StartImport(receiver.Window());
    if (c.destroyWindow) receiver.Destroy();
    if (c.abort) manager.AbortRequestsFlag().store(1);
  }
  manager.Shutdown();  // waits for the worker
  receiver.WaitFor(1, 0);
  EXPECT_TRUE(receiver.deliveries.empty());
  EXPECT_EQ(transport.Requests().size(), 1u);
  EXPECT_EQ(import.LatestImportId(), id);  // only a delivery clears it
}

INSTANTIATE_TEST_SUITE_P(Failures, NoDeliveryTest,
                         ::testing::Values(NoDeliveryCase{"NotFound", 404, false, false},
                                           NoDeliveryCase{"TransportFailure", -12, false, false},
                                           NoDeliveryCase{"Aborted", 200, false, true},
                                           NoDeliveryCase{"DialogClosed", 200, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CBackupImportTest, AnswerWithoutDataDeliversEmptyText) {
  transport.answer = u"<backup_load><status>0</status><msg>none</msg></backup_load>";
  uint32_t id = import.StartImport(receiver.Window());
  ASSERT_TRUE(receiver.WaitFor(1));
  EXPECT_EQ(receiver.deliveries[0].id, id);
  EXPECT_EQ(receiver.deliveries[0].text, u"");
}

}  // namespace
}  // namespace zolfa
