#include "zolfa/app/AppendLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/base/DeviceFile.h"
#include "platform/base/Handles.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/LocalTime.h"
#include "zolfa/app/ZolfaPaths.h"

namespace zolfa {
namespace {

class AppendLogTest : public ::testing::Test {
 protected:
  AppendLogTest() {
    test_support::SetLocalTime(*clock_, 2024, 6, 1, 9, 5, 3);
  }

  std::string HostFile(std::u16string_view name) {
    std::ifstream in(root_.HostPath(ProgramFilePath(name)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  ce::testing::TempDeviceRoot root_;
  ce::testing::ScopedVirtualClock clock_;
  ce::testing::ScriptedUser user_;
};

TEST_F(AppendLogTest, LinesOfOneSecondKeepTheirStampAndOrder) {
  EXPECT_FALSE(std::filesystem::exists(root_.HostPath(kProgramFolder)));  // made on demand
  AppendLog(kCoreLogFileName, u"合輯", true);
  clock_->Advance(999);
  AppendLog(u"file:\\ZolfaCE.log", u"second", true);
  clock_->Advance(1);
  AppendLog(kCoreLogFileName, u"plain", false);
  AppendLog(kCoreLogFileName, u"third", true);
  // ANSI (code page 950) bytes, no byte-order mark, CR LF after each line.
  EXPECT_EQ(HostFile(kCoreLogFileName),
            "09h05m03s: \xA6\x58\xBF\xE8\r\n09h05m03s: second\r\nplain\r\n09h05m04s: third\r\n");
  EXPECT_TRUE(user_.Boxes().empty());
}

TEST_F(AppendLogTest, AppendsToWhatIsThereAndNeverTruncates) {
  ASSERT_TRUE(EnsureProgramFolder());
  std::ofstream(root_.HostPath(ProgramFilePath(kPlaylistLogFileName)), std::ios::binary)
      << "earlier line\r\nno newline";
  AppendLog(kPlaylistLogFileName, u"in PlayNextSong", true);
  EXPECT_EQ(HostFile(kPlaylistLogFileName), "earlier line\r\nno newline09h05m03s: in PlayNextSong\r\n");
}

TEST_F(AppendLogTest, SharingViolationShowsItsBoxAndLosesOnlyTheLine) {
  AppendLog(kCoreLogFileName, u"first", true);
  std::u16string path = ProgramFilePath(kCoreLogFileName);
  ce::HANDLE held = ce::CreateFile(path.c_str(), ce::GENERIC_READ, 0, nullptr, ce::OPEN_EXISTING,
                                   ce::FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, ce::INVALID_HANDLE_VALUE);
  AppendLog(kCoreLogFileName, u"lost", true);
  ce::CloseHandle(held);

  auto boxes = user_.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"檔案共享錯誤: \\Program Files\\Zolfa\\ZolfaCE.log\n");
  AppendLog(kCoreLogFileName, u"after", true);
  EXPECT_EQ(HostFile(kCoreLogFileName), "09h05m03s: first\r\n09h05m03s: after\r\n");
  EXPECT_EQ(user_.Boxes().size(), 1u);
}

TEST_F(AppendLogTest, OtherFailuresShowAnEmptyBox) {
  // A folder where the log should be cannot be opened as a file.
  ASSERT_TRUE(EnsureProgramFolder());
  std::filesystem::create_directory(root_.HostPath(ProgramFilePath(u"folder.log")));
  AppendLog(u"folder.log", u"x", true);
  auto boxes = user_.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"");
}

TEST(LogTextTest, FailureTextsAndStamps) {
  const std::u16string path = u"\\Program Files\\Zolfa\\ZolfaCE.log";
  EXPECT_EQ(LogFailureText(ce::ERROR_FILE_NOT_FOUND, path), u"檔案找不到: " + path + u"\n");
  EXPECT_EQ(LogFailureText(ce::ERROR_SHARING_VIOLATION, path), u"檔案共享錯誤: " + path + u"\n");
  EXPECT_EQ(LogFailureText(ce::ERROR_ACCESS_DENIED, path), u"");
  EXPECT_EQ(LogFailureText(ce::ERROR_PATH_NOT_FOUND, path), u"");
  ce::SYSTEMTIME time;
  time.wHour = 23;
  time.wMinute = 0;
  time.wSecond = 59;
  EXPECT_EQ(LogTimeStamp(time), u"23h00m59s");
}

}  // namespace
}  // namespace zolfa
