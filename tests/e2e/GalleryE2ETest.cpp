// The gallery program on a headless device screen, driven by a script: its
// menu bar, a message box answered by the script, a panel shown and hidden,
// the screen's texts, and a failing script's exit.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/testing/TestSupport.h"
#include "tests/support/ProgramRun.h"

namespace ce::testing {
namespace {

using test_support::ShellQuote;

class GalleryE2ETest : public ::testing::Test {
 protected:
  // Runs the gallery with the script; returns its exit code. The device
  // root is the test's own, given by CE_DEVICE unless device names another.
  int Run(const std::string& script, const std::filesystem::path& device = {}) {
    std::filesystem::path folder = root_.Path() / "e2e";
    std::filesystem::create_directories(folder);
    std::filesystem::path scriptFile = folder / "script.txt";
    std::ofstream(scriptFile, std::ios::binary) << script;
    transcriptFile_ = folder / "transcript.txt";
    std::filesystem::path errors = folder / "stderr.txt";
    std::string deviceArgument = device.empty() ? "" : " --device " + ShellQuote(device);
    std::string command = "CE_DEVICE=" + ShellQuote(root_.Path()) + " timeout 60 " + ShellQuote(GALLERY_BINARY) +
                          deviceArgument + " --headless --script " + ShellQuote(scriptFile) + " --transcript " +
                          ShellQuote(transcriptFile_) + " 2> " + ShellQuote(errors);
    int status = std::system(command.c_str());
    lines_ = test_support::SplitLines(test_support::ReadWholeFile(transcriptFile_));
    stderr_ = test_support::ReadWholeFile(errors);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  int IndexOf(const std::string& line) const {
    auto at = std::find(lines_.begin(), lines_.end(), line);
    return at == lines_.end() ? -1 : static_cast<int>(at - lines_.begin());
  }
  bool ShowsText(const std::string& quoted) const { return test_support::ShowsText(lines_, quoted); }
  std::string Transcript() const { return test_support::ReadWholeFile(transcriptFile_); }

  TempDeviceRoot root_;
  std::filesystem::path transcriptFile_;
  std::vector<std::string> lines_;
  std::string stderr_;
};

TEST_F(GalleryE2ETest, AScriptUsesTheMenuBarAMessageBoxAndAPanel) {
  int code = Run(
      "until \"show 1\"\n"
      "answer NO\n"
      "menu 32801          # 動作 / 訊息方塊\n"
      "until msgbox\n"
      "menu 32804          # the panel\n"
      "until \"show 4\"\n"
      "dump\n"
      "menu 32804\n"
      "until \"hide 4\"\n"
      "key soft2\n"
      "menu 32846          # 結束, from the popup the soft key opened\n");
  ASSERT_EQ(code, 0) << stderr_ << Transcript();
  ASSERT_GE(lines_.size(), 5u) << Transcript();
  EXPECT_EQ(lines_[0], "show 1");
  EXPECT_EQ(lines_[1], "menubar 3");
  EXPECT_EQ(lines_[2], "msgbox caption=\"ZOLFA\" text=\"確定要清除所有歌曲嗎?\" answer=NO");
  EXPECT_EQ(lines_[3], "show 4");
  for (const char* text : {"\"Gallery\"", "\"ok\"", "\"確定\"", "\"第二頁面板\"", "\"user@example.com\"",
                           "\"動作\"", "\"功能表\""}) {
    EXPECT_TRUE(ShowsText(text)) << text << "\n" << Transcript();
  }
  int hidePanel = IndexOf("hide 4");
  EXPECT_GT(hidePanel, 3) << Transcript();
  EXPECT_EQ(lines_.back(), "hide 1") << Transcript();
}

TEST_F(GalleryE2ETest, AFailingScriptEndsTheGalleryAndNamesTheLine) {
  EXPECT_EQ(Run("until \"show 1\"\ntap 1041\ntap 4242\nmenu 32846\n"), 1);
  EXPECT_NE(stderr_.find("line 3 (tap 4242): no visible control has id 4242"), std::string::npos)
      << stderr_;
  EXPECT_EQ(lines_.back(), "hide 1") << Transcript();
}

TEST_F(GalleryE2ETest, TheDeviceOfTheCommandLineIsTheOneOpened) {
  std::filesystem::path device = root_.Path() / "other device";
  ASSERT_EQ(Run("until \"show 1\"\nmenu 32846\n", device), 0) << stderr_;
  EXPECT_TRUE(std::filesystem::is_directory(device / "run"));
  EXPECT_TRUE(std::filesystem::is_directory(device / "windows"));
}

TEST_F(GalleryE2ETest, ADeviceRootThatCannotBeMadeStopsTheProgramBeforeItStarts) {
  std::filesystem::path file = root_.Path() / "a file";
  std::ofstream(file) << "not a folder";
  EXPECT_EQ(Run("quit\n", file), 2);
  EXPECT_TRUE(lines_.empty()) << Transcript();
}

}  // namespace
}  // namespace ce::testing
