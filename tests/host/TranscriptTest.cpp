// The transcript's lines and the file they go to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/host/Host.h"
#include "platform/host/Transcript.h"
#include "platform/host/TranscriptLines.h"
#include "platform/media/ScriptedMediaPlayer.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"

namespace ce {
namespace {

TEST(TranscriptTest, LinesHaveTheirExactForms) {
  MessageBoxRequest box;
  box.caption = u"ZOLFA";
  box.text = u"無法連線\n請檢查網路連線設定 \"\\\"";
  EXPECT_EQ(MessageBoxLine(box, IDYES),
            "msgbox caption=\"ZOLFA\" text=\"無法連線\\n請檢查網路連線設定 \\\"\\\\\\\"\" answer=YES");
  HttpEvent ok{"GET", "login.example", 80, "/ce_login.php?u=a%40b", 200, 0};
  EXPECT_EQ(HttpLine(ok), "http GET login.example:80 /ce_login.php?u=a%40b -> 200");
  HttpEvent failed{"GET", "data.example", 8080, "/genre.php", 0, 12029};
  EXPECT_EQ(HttpLine(failed), "http GET data.example:8080 /genre.php -> failed 12029");
  EXPECT_EQ(TextLine(RECT{10, 40, 70, 61}, u"登入\t"), "text 10 40 60 21 \"登入\\t\"");
  EXPECT_EQ(AnswerName(IDCANCEL), "CANCEL");
  EXPECT_EQ(AnswerName(42), "42");
  MediaEvent open{MediaEvent::kOpen, u"http://ss.zolfa.test:80/ps2_a.wma?5", 0, 0};
  EXPECT_EQ(MediaLine(open), "media open http://ss.zolfa.test:80/ps2_a.wma?5");
  EXPECT_EQ(MediaLine({MediaEvent::kPlayState, u"", 6, 0}), "media state 6 buffering");
  EXPECT_EQ(MediaLine({MediaEvent::kPlayState, u"", 12, 0}), "media state 12 state 12");
  EXPECT_EQ(MediaLine({MediaEvent::kEnded, u"", 8, 0}), "media ended");
  EXPECT_EQ(MediaLine({MediaEvent::kError, u"", 0, E_FAIL}), "media error 80004005");
}

TEST(TranscriptTest, AHeadlessHostWritesWhatTheMediaControlDoes) {
  testing::TempDeviceRoot root;
  testing::ScopedVirtualClock clock;
  HostOptions options;
  options.headless = true;
  std::string error;
  auto host = Host::Start(options, &error);
  ASSERT_TRUE(host) << error;
  EXPECT_EQ(GetMediaAudioOutput(), MediaAudioOutput::kClockedFake);
  {
    ScriptedMediaPlayer player;
    player.SetDuration(1);
    player.SetUrl(u"http://ss.zolfa.test/ps2_b.wma?9");
    testing::AdvanceClockAndPump(*clock, 1000);
  }
  std::vector<std::string> media;
  for (const auto& line : host->GetTranscript().Lines())
    if (line.rfind("media ", 0) == 0) media.push_back(line);
  EXPECT_EQ(media, (std::vector<std::string>{
                       "media open http://ss.zolfa.test/ps2_b.wma?9",
                       "media state 9 transitioning", "media state 6 buffering",
                       "media state 3 playing", "media ended", "media state 1 stopped"}));
  host.reset();
  EXPECT_EQ(GetMediaAudioOutput(), MediaAudioOutput::kAuto);
}

TEST(TranscriptTest, WritesEveryLineToItsFileAndFindsFromAnIndex) {
  testing::TempDeviceRoot root;
  auto path = root.Path() / "transcript.txt";
  Transcript transcript;
  std::string error;
  ASSERT_TRUE(transcript.OpenFile(path, &error)) << error;
  transcript.Write("show 135");
  transcript.Write("menubar 166");
  transcript.Write("a line\nwith a break");
  transcript.Write("show 136");
  EXPECT_EQ(transcript.Count(), 4u);
  EXPECT_EQ(transcript.Find("show", 0), 0);
  EXPECT_EQ(transcript.Find("show", 1), 3);
  EXPECT_EQ(transcript.Find("hide", 0), -1);
  EXPECT_EQ(transcript.LinesFrom(2), (std::vector<std::string>{"a line\\nwith a break", "show 136"}));

  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), "show 135\nmenubar 166\na line\\nwith a break\nshow 136\n");

  Transcript unwritable;
  EXPECT_FALSE(unwritable.OpenFile("/nonexistent-folder/t.txt", &error));
  EXPECT_NE(error.find("/nonexistent-folder/t.txt"), std::string::npos);
}

TEST(HostOptionsTest, TakesItsFlagsAndLeavesTheProgramsOwn) {
  char program[] = "ZolfaCE";
  char device[] = "--device";
  char dir[] = "dev";
  char script[] = "--script";
  char file[] = "login.txt";
  char transcript[] = "--transcript=out.txt";
  char headless[] = "--headless";
  char* argv[] = {program, device, dir, script, file, transcript, headless, nullptr};
  int argc = 7;
  HostOptions options;
  std::string error;
  ASSERT_TRUE(TakeHostOptions(argc, argv, &options, &error)) << error;
  EXPECT_EQ(argc, 3);
  EXPECT_STREQ(argv[1], "--device");
  EXPECT_STREQ(argv[2], "dev");
  EXPECT_EQ(argv[3], nullptr);
  EXPECT_EQ(options.script, "login.txt");
  EXPECT_EQ(options.transcript, "out.txt");
  EXPECT_TRUE(options.headless);

  for (const char* wrong : {"--script", "--transcript="}) {
    std::string flag = wrong;
    char* bad[] = {program, flag.data(), nullptr};
    int count = 2;
    HostOptions none;
    EXPECT_FALSE(TakeHostOptions(count, bad, &none, &error)) << wrong;
    EXPECT_NE(error.find("needs a file"), std::string::npos);
  }
}

}  // namespace
}  // namespace ce
