// Song tickets against the real zolfa-server on loopback: the service
// manager logs in through the device's host table, the ticket worker asks
// for the ticket, the lyrics and the album photo with the real HttpGet, and
// the stream address it builds answers audio.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/ServiceHosts.h"
#include "tests/support/ServiceReceiver.h"
#include "tests/support/TicketFixtures.h"
#include "tests/support/Wait.h"
#include "zolfa/playback/PlaySongRequests.h"
#include "zolfa/service/HttpGet.h"
#include "zolfa/service/LoginRules.h"
#include "zolfa/service/PasswordDigest.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace {

using namespace zolfa;
using test_support::RecordingCoverSink;
using test_support::TicketReceiver;
using test_support::ServiceReceiver;
using test_support::ServerProcess;

class PlaybackE2ETest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<ServerProcess>();
    ASSERT_TRUE(server_->Started());
    ASSERT_NO_FATAL_FAILURE(test_support::MapServiceHosts(server_->Port()));

    ZolfaNetMgrPPC::Options options;
    options.workerPriority = ce::THREAD_PRIORITY_NORMAL;  // a busy test machine cannot starve them
    manager_ = std::make_unique<ZolfaNetMgrPPC>(std::move(options));
    dialog_.SetHandler([this](const ServiceReceiver::Received& r) {
      if (r.message == MSG_LOGIN_DONE) {
        manager_->SetOnline(ApplyLoginRules(*r.result).outcome == LoginOutcome::kAccepted);
      }
    });
    manager_->Login(dialog_.Window(), u"demo@zolfa.test", PasswordDigest(u"zolfa"), 0);
    ASSERT_TRUE(dialog_.WaitForMessages(1));
    ASSERT_TRUE(manager_->WaitForLoginSettled(test_support::kWaitLimitMs));
    ASSERT_EQ(manager_->LoggedInFlag().load(), 1);
    requests_ = std::make_unique<PlaySongRequests>(*manager_, covers_);
  }

  void TearDown() override {
    requests_.reset();
    manager_.reset();
    dialog_.SetHandler(nullptr);
  }

  TicketReceiver::Received Play(const std::u16string& songId) {
    const size_t before = player_.Messages().size();
    requests_->PlaySong(player_.Window(), songId);
    requests_->WaitUntilIdle();
    std::vector<TicketReceiver::Received> got = player_.Messages();
    EXPECT_EQ(got.size(), before + 1);
    return got.empty() ? TicketReceiver::Received{} : got.back();
  }

  std::string LastLogLineWith(const std::string& text) {
    std::string found;
    for (const std::string& line : server_->LogLines()) {
      if (line.find(text) != std::string::npos) found = line;
    }
    return found;
  }

  ce::testing::TempDeviceRoot root_;
  ce::testing::ScopedVirtualClock clock_;
  std::unique_ptr<ServerProcess> server_;
  ServiceReceiver dialog_;
  TicketReceiver player_;
  RecordingCoverSink covers_;
  std::unique_ptr<ZolfaNetMgrPPC> manager_;
  std::unique_ptr<PlaySongRequests> requests_;
};

TEST_F(PlaybackE2ETest, TicketLyricsPhotoAndStreamOfASong) {
  const TicketReceiver::Received ready = Play(u"101011");
  ASSERT_EQ(ready.message, MSG_TICKET_READY);
  const std::u16string prefix = u"http://cs.zolfa.test:80/ps2_01000013_" + manager_->Sid() + u"_";
  ASSERT_EQ(ready.request.streamUrl.rfind(prefix, 0), 0u) << ce::ToUtf8(ready.request.streamUrl);
  EXPECT_NE(ready.request.lyrics.find(u"[00:00-00:01]<type=1>"), std::u16string::npos);
  EXPECT_NE(ready.request.lyrics.find(u"<sec_st>"), std::u16string::npos);
  EXPECT_EQ(ready.request.albumId, 10101);

  // The photo went to the temporary folder and became the cover.
  EXPECT_EQ(covers_.Sources(), std::vector<std::u16string>{u"\\Temp\\albumcover.dat"});
  EXPECT_EQ(root_.ReadDeviceBytes(u"\\Temp\\albumcover.dat").substr(0, 8), "\x89PNG\r\n\x1a\n");

  // The stream address answers audio (as the media player will fetch it).
  const std::u16string path = ready.request.streamUrl.substr(std::u16string(u"http://cs.zolfa.test:80").size());
  void* body = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(HttpGet(u"test", u"cs.zolfa.test", path, 80, nullptr, nullptr, false, 0, &body, &length),
            kHttpOk);
  EXPECT_EQ(std::string(static_cast<const char*>(body), 4), "RIFF");
  EXPECT_EQ(length, 44u + 3u * 22050u * 2u);
  HttpFreeBody(body);

  // Each request reached the server with its path and agent.
  const std::string sid = ce::ToUtf8(manager_->Sid());
  EXPECT_NE(LastLogLineWith(" cs.zolfa.test /ps1_01000013_" + sid + "_101011.wma?").find(" 200 Zolfa(PlaySong)"),
            std::string::npos);
  EXPECT_NE(LastLogLineWith(" cs.zolfa.test /ps3_01000013_" + sid + "_").find(" 200 Zolfa(PlaySong_GetLyrics)"),
            std::string::npos);
  EXPECT_NE(LastLogLineWith(" ds.zolfa.test /web_info_photo.php?album_id=10101&hw_vendor=")
                .find(" 200 Zolfa%20(get%20photo)"),
            std::string::npos);
}

TEST_F(PlaybackE2ETest, RefusedTicketsCarryTheServiceCodeAndText) {
  ASSERT_EQ(server_->Control("refuse=song:101012%3D4"), 200);
  TicketReceiver::Received refused = Play(u"101012");
  EXPECT_EQ(refused.message, MSG_TICKET_FAILED);
  EXPECT_EQ(refused.code, 4);
  EXPECT_EQ(refused.text.value_or(u""), u"這首歌是未授權歌曲");

  TicketReceiver::Received unknown = Play(u"nosuchsong");
  EXPECT_EQ(unknown.code, 2);

  ASSERT_EQ(server_->Control("expire=all"), 200);
  TicketReceiver::Received expired = Play(u"101011");
  EXPECT_EQ(expired.code, 3);
  EXPECT_EQ(expired.text.value_or(u""), u"連線已逾時,請重新登入");
}

TEST_F(PlaybackE2ETest, AlbumWithoutPhotoShowsTheDefaultCoverWithoutDownload) {
  ASSERT_EQ(Play(u"107011").message, MSG_TICKET_READY);
  EXPECT_EQ(covers_.Sources(), std::vector<std::u16string>{u"res://1"});
  EXPECT_EQ(LastLogLineWith("/web_info_photo.php"), "");
}

}  // namespace
