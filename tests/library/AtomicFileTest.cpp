#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "platform/base/DeviceFile.h"
#include "platform/base/Handles.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/RecordingOwner.h"
#include "zolfa/app/ZolfaPaths.h"
#include "zolfa/library/AtomicFile.h"
#include "zolfa/library/CCoreCurPlaylist.h"
#include "zolfa/library/CPersonalLibrary.h"
#include "zolfa/library/CurPlaylistFile.h"

namespace zolfa {
namespace {

using test_support::Song;

std::string Read(std::u16string_view path) {
  std::string bytes;
  ReadDeviceFile(path, ce::OPEN_EXISTING, bytes);
  return bytes;
}

TEST(AtomicFileTest, ReplacesWithExactlyTheBytesAndLeavesNoTemporaryFile) {
  ce::testing::TempDeviceRoot root;
  const std::u16string path = u"\\Program Files\\Zolfa\\a.bin";
  std::string bytes("a\0b\r\n", 5);
  ASSERT_TRUE(ReplaceFileAtomically(path, bytes));  // the folder is made
  EXPECT_EQ(Read(path), bytes);
  ASSERT_TRUE(ReplaceFileAtomically(path, ""));
  EXPECT_EQ(Read(path), "");
  EXPECT_EQ(ce::GetFileAttributes(TemporaryPathOf(path).c_str()), ce::INVALID_FILE_ATTRIBUTES);
}

TEST(AtomicFileTest, FailedReplacementKeepsTheOldFile) {
  ce::testing::TempDeviceRoot root;
  const std::u16string path = u"\\Program Files\\Zolfa\\a.bin";
  ASSERT_TRUE(ReplaceFileAtomically(path, "old"));
  // A folder in the temporary file's place: it cannot be written.
  ASSERT_TRUE(ce::CreateDirectory(TemporaryPathOf(path).c_str(), nullptr));
  EXPECT_FALSE(ReplaceFileAtomically(path, "new"));
  EXPECT_EQ(Read(path), "old");
  ASSERT_TRUE(ce::RemoveDirectory(TemporaryPathOf(path).c_str()));
  // An open handle that shares nothing keeps the file from being replaced.
  ce::HANDLE holder =
      ce::CreateFile(path.c_str(), ce::GENERIC_READ, 0, nullptr, ce::OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, ce::INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ReplaceFileAtomically(path, "new"));
  ce::CloseHandle(holder);
  EXPECT_EQ(Read(path), "old");
  EXPECT_EQ(ce::GetFileAttributes(TemporaryPathOf(path).c_str()), ce::INVALID_FILE_ATTRIBUTES);
}

// The writer in the child process dies at the hook's call number gKillAt.
int gCalls = 0;
int gKillAt = 0;
void KillAtCall(ReplaceStep, size_t) {
  if (++gCalls == gKillAt) kill(getpid(), SIGKILL);
}

struct CrashCase {
  const char* name;
  std::u16string path;
  // Writes the old state in this process and returns a change that writes
  // the new state (run in the child).
  std::function<std::function<void()>()> prepare;
};

void PrintTo(const CrashCase& c, std::ostream* os) { *os << c.name; }

class CrashDuringSaveTest : public ::testing::TestWithParam<CrashCase> {};

TEST_P(CrashDuringSaveTest, KilledWriterLeavesTheOldOrTheNewFileWhole) {
  ce::testing::TempDeviceRoot root;
  const CrashCase& c = GetParam();
  std::function<void()> change = c.prepare();
  const std::string oldBytes = Read(c.path);
  ASSERT_FALSE(oldBytes.empty());

  // What the file held after each killed writer, and after the one that
  // ran to its end.
  std::vector<std::string> afterKill;
  std::string newBytes;
  for (int killAt = 1;; ++killAt) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      gKillAt = killAt;
      SetReplaceHookForTesting(&KillAtCall, 199);
      change();
      _exit(3);  // the write went through before the kill point
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status)) {
      ASSERT_EQ(WEXITSTATUS(status), 3);
      newBytes = Read(c.path);
      break;
    }
    ASSERT_TRUE(WIFSIGNALED(status));
    afterKill.push_back(Read(c.path));
  }
  EXPECT_NE(newBytes, oldBytes);
  EXPECT_GT(afterKill.size(), 10u);
  int sawNew = 0;
  for (size_t k = 0; k < afterKill.size(); ++k) {
    EXPECT_TRUE(afterKill[k] == oldBytes || afterKill[k] == newBytes) << "kill point " << k + 1;
    sawNew += afterKill[k] == newBytes;
  }
  // Only a kill after the rename finds the new file.
  EXPECT_EQ(sawNew, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Writers, CrashDuringSaveTest,
    ::testing::Values(CrashCase{"CurPlayList", CCoreCurPlaylist::FilePath(),
                                [] {
                                  auto owner = std::make_shared<test_support::RecordingOwner>();
                                  auto core = std::make_shared<test_support::RecordingCore>(owner->log);
                                  auto playlist = std::make_shared<CCoreCurPlaylist>(*owner, *core);
                                  std::vector<FeedItem> songs(8, Song(u"歌曲", u"1"));
                                  playlist->AddItems(songs, false, false);
                                  return std::function<void()>([owner, core, playlist] {
                                    playlist->AddItem(Song(u"new song", u"99"), false);
                                  });
                                }},
                      CrashCase{"PersonalDb", CPersonalLibrary::FilePath(),
                                [] {
                                  auto owner = std::make_shared<test_support::RecordingLibraryOwner>();
                                  auto library = std::make_shared<CPersonalLibrary>(*owner);
                                  library->LoadLibrary();
                                  library->AddPlaylist(
                                      u"old", std::vector<FeedItem>(20, Song(u"歌曲", u"1")));
                                  return std::function<void()>(
                                      [owner, library] { library->RenamePlaylist(1, u"new"); });
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zolfa
