#include "platform/media/MediaStreamPlayer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/MediaPlayer.h"
#include "platform/net/WinInet.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "tests/media/MediaRecorder.h"
#include "tests/support/TestHttpServer.h"

namespace ce {
namespace {

using testing::MediaRecorder;
using testing::PumpUntil;
using test_support::TestHttpServer;

constexpr int kWaitMs = 15000;

class MediaStreamPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMediaAudioOutput(MediaAudioOutput::kClockedFake);
    std::ofstream(root_.Path() / "hosts")
        << "media.zolfa.test:80 127.0.0.1:" << server_.Port() << "\n"
        // Nothing listens on port 1 of loopback: the connection is refused.
        << "closed.zolfa.test:80 127.0.0.1:1\n";
    previousHttp_ = SetHttpObserver([this](const HttpEvent& event) {
      std::lock_guard<std::mutex> lock(mutex_);
      http_.push_back(event);
    });
    previousMedia_ = SetMediaObserver([this](const MediaEvent& event) { media_.push_back(event); });
    HRESULT error = S_OK;
    player_ = MediaStreamPlayer::Create(&error);
    ASSERT_TRUE(player_) << std::hex << error;
    ASSERT_EQ(player_->Advise(&recorder_, &cookie_), S_OK);
  }
  void TearDown() override {
    if (player_) player_->Unadvise(cookie_);
    player_.reset();
    SetHttpObserver(previousHttp_);
    SetMediaObserver(previousMedia_);
    SetMediaAudioOutput(MediaAudioOutput::kAuto);
  }

  void Serve(const std::string& path, const std::string& bytes, int status = 200) {
    server_.On(path, [bytes, status](const httplib::Request&, httplib::Response& response) {
      response.status = status;
      // The service names no audio type; the control must find it itself.
      response.set_content(bytes, "application/octet-stream");
    });
  }
  bool WaitForState(LONG state) {
    return PumpUntil([&] { return recorder_.Saw(state); }, kWaitMs);
  }
  std::vector<HttpEvent> Http() {
    std::lock_guard<std::mutex> lock(mutex_);
    return http_;
  }

  testing::TempDeviceRoot root_;
  TestHttpServer server_;
  std::unique_ptr<MediaPlayer> player_;
  MediaRecorder recorder_;
  DWORD cookie_ = 0;
  std::mutex mutex_;
  std::vector<HttpEvent> http_;
  std::vector<MediaEvent> media_;
  HttpObserver previousHttp_;
  MediaObserver previousMedia_;
};

TEST_F(MediaStreamPlayerTest, WavAtAWmaAddressPlaysThroughTheHostTableToItsEnd) {
  Serve("/ps2_01000013_sid_tk.wma", testing::MakeWav(1.5));
  const std::u16string url = u"http://media.zolfa.test/ps2_01000013_sid_tk.wma?77";
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(player_->SetUrl(url), S_OK);
  ASSERT_TRUE(WaitForState(kPlayStatePlaying));
  auto playing = std::chrono::steady_clock::now();
  std::printf("URL set to playing: %.1f ms\n",
              std::chrono::duration<double, std::milli>(playing - start).count());

  // One GET, sent to the mapped server under the name the program asked for.
  auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/ps2_01000013_sid_tk.wma?77");
  auto http = Http();
  ASSERT_EQ(http.size(), 1u);
  EXPECT_EQ(http[0].host, "media.zolfa.test");
  EXPECT_EQ(http[0].port, 80);
  EXPECT_EQ(http[0].status, 200u);

  std::u16string name, source;
  player_->GetName(&name);
  player_->GetSourceUrl(&source);
  EXPECT_EQ(name, u"ps2_01000013_sid_tk");
  EXPECT_EQ(source, url);
  double duration = 0;
  EXPECT_TRUE(PumpUntil([&] { return player_->GetDuration(&duration) == S_OK && duration > 0; },
                        kWaitMs));
  EXPECT_NEAR(duration, 1.5, 0.05);

  // The position follows the sound in real time.
  double position = 0;
  EXPECT_TRUE(PumpUntil([&] {
    player_->GetCurrentPosition(&position);
    return position >= 0.5;
  }, kWaitMs));
  EXPECT_LT(position, 1.5);

  ASSERT_TRUE(WaitForState(kPlayStateMediaEnded));
  auto ended = std::chrono::steady_clock::now();
  // A sink off the clock would end in a few milliseconds.
  EXPECT_GE(std::chrono::duration<double>(ended - playing).count(), 1.3);
  EXPECT_TRUE(PumpUntil([&] { return recorder_.playStates.back() == kPlayStateStopped; }, kWaitMs));
  EXPECT_EQ(recorder_.playStates, (std::vector<LONG>{9, 7, 6, 3, 8, 1}));
  EXPECT_EQ(recorder_.openStates, (std::vector<LONG>{8, 10, 11, 13}));
  EXPECT_TRUE(recorder_.errors.empty());
  player_->GetCurrentPosition(&position);
  EXPECT_EQ(position, 0);

  // The transcript's view: the URL, each state, the end.
  ASSERT_FALSE(media_.empty());
  EXPECT_EQ(media_.front().kind, MediaEvent::kOpen);
  EXPECT_EQ(media_.front().url, url);
  int ends = 0;
  for (const auto& event : media_) ends += event.kind == MediaEvent::kEnded;
  EXPECT_EQ(ends, 1);
}

TEST_F(MediaStreamPlayerTest, OggVorbisIsFoundFromItsBytes) {
  std::string ogg = testing::MakeOggVorbis(0.5);
  ASSERT_FALSE(ogg.empty());
  Serve("/ps2_ogg.wma", ogg);
  ASSERT_EQ(player_->SetUrl(u"http://media.zolfa.test/ps2_ogg.wma?1"), S_OK);
  ASSERT_TRUE(WaitForState(kPlayStatePlaying));
  ASSERT_TRUE(WaitForState(kPlayStateMediaEnded));
  EXPECT_TRUE(recorder_.errors.empty());
}

TEST_F(MediaStreamPlayerTest, PauseStopAndPlayAgainFetchTheStreamAnew) {
  Serve("/song.wma", testing::MakeWav(30));
  ASSERT_EQ(player_->SetUrl(u"http://media.zolfa.test/song.wma"), S_OK);
  ASSERT_TRUE(WaitForState(kPlayStatePlaying));
  ASSERT_EQ(player_->Pause(), S_OK);
  ASSERT_TRUE(WaitForState(kPlayStatePaused));
  recorder_.playStates.clear();
  ASSERT_EQ(player_->Play(), S_OK);
  ASSERT_TRUE(WaitForState(kPlayStatePlaying));
  EXPECT_EQ(server_.Requests().size(), 1u);  // a resume reads on from the same answer

  ASSERT_EQ(player_->Stop(), S_OK);
  ASSERT_TRUE(WaitForState(kPlayStateStopped));
  double position = -1;
  player_->GetCurrentPosition(&position);
  EXPECT_EQ(position, 0);
  recorder_.playStates.clear();
  ASSERT_EQ(player_->Play(), S_OK);
  ASSERT_TRUE(WaitForState(kPlayStatePlaying));
  EXPECT_EQ(server_.Requests().size(), 2u);

  // Volume and mute are the control's settings, kept across them.
  EXPECT_EQ(player_->SetVolume(40), S_OK);
  EXPECT_EQ(player_->SetVolume(101), E_INVALIDARG);
  EXPECT_EQ(player_->SetMute(true), S_OK);
  LONG volume = 0;
  bool mute = false;
  player_->GetVolume(&volume);
  player_->GetMute(&mute);
  EXPECT_EQ(volume, 40);
  EXPECT_TRUE(mute);

  ASSERT_EQ(player_->Close(), S_OK);
  ASSERT_TRUE(WaitForState(kPlayStateReady));
  EXPECT_EQ(player_->Url(), u"");
}

TEST_F(MediaStreamPlayerTest, StreamsThatCannotPlayReportAnErrorAndLeaveTheControlReady) {
  Serve("/missing.wma", "no such song", 404);
  Serve("/noise.wma", std::string(64 * 1024, '\x5A'));
  struct Case {
    std::u16string url;
    size_t httpLines;
  };
  const Case cases[] = {
      {u"http://media.zolfa.test/missing.wma", 1},
      {u"http://media.zolfa.test/noise.wma", 1},
      {u"http://closed.zolfa.test/x.wma", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.url.begin(), c.url.end()));
    recorder_ = MediaRecorder();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      http_.clear();
    }
    ASSERT_EQ(player_->SetUrl(c.url), S_OK);
    ASSERT_TRUE(WaitForState(kPlayStateReady));
    EXPECT_EQ(recorder_.errors.size(), 1u);
    EXPECT_FALSE(recorder_.Saw(kPlayStatePlaying));
    EXPECT_EQ(Http().size(), c.httpLines);
  }
}

TEST_F(MediaStreamPlayerTest, AddressesItCannotOpenAreRefusedAndChangeNothing) {
  Serve("/song.wma", testing::MakeWav(30));
  ASSERT_EQ(player_->SetUrl(u"http://media.zolfa.test/song.wma"), S_OK);
  ASSERT_TRUE(WaitForState(kPlayStatePlaying));
  for (const std::u16string bad : {u"ftp://media.zolfa.test/a.wma", u"http://", u"song.wma",
                                   u"http://media.zolfa.test:0/a", u"http://a:99999/"}) {
    EXPECT_EQ(player_->SetUrl(bad), E_INVALIDARG);
  }
  EXPECT_EQ(player_->Url(), u"http://media.zolfa.test/song.wma");
  EXPECT_EQ(player_->PlayState(), kPlayStatePlaying);
  // The empty address closes the media.
  EXPECT_EQ(player_->SetUrl(u""), S_OK);
  EXPECT_TRUE(WaitForState(kPlayStateReady));
}

TEST_F(MediaStreamPlayerTest, GoesAwayWhileTheServerHoldsTheStream) {
  std::string wav = testing::MakeWav(30);
  server_.On("/held.wma", [&](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(
        wav.size(), "application/octet-stream",
        [&](size_t offset, size_t, httplib::DataSink& sink) {
          if (offset == 0) return sink.write(wav.data(), 8192);
          server_.WaitGate("rest");
          return false;
        });
  });
  ASSERT_EQ(player_->SetUrl(u"http://media.zolfa.test/held.wma"), S_OK);
  ASSERT_TRUE(WaitForState(kPlayStateBuffering));
  ASSERT_TRUE(server_.WaitForRequests(1));
  player_->Unadvise(cookie_);
  player_.reset();  // must not wait for the server
  server_.OpenGate("rest");
  EXPECT_FALSE(server_.GateTimedOut("rest"));
}

}  // namespace
}  // namespace ce
