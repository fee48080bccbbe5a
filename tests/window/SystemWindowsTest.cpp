// What the processes of one device share: registered messages, the window
// table, the foreground window and broadcasts, tested with real processes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/SystemWindows.h"
#include "platform/window/detail/DeviceWindowTable.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/peer/PeerMessages.h"

namespace ce {
namespace {

using detail::DeviceWindowTable;
using test_support::PeerProcess;
using testing::TestWindow;

LRESULT Default(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class SystemWindowsTest : public ::testing::Test {
 protected:
  std::filesystem::path RunFile(const std::string& name) {
    return device_.Path() / "run" / name;
  }

  testing::TempDeviceRoot device_;
};

TEST_F(SystemWindowsTest, RegisteredMessagesAreStableAndIgnoreCase) {
  UINT update = RegisterWindowMessage(u"UldaLexoUpdate");
  EXPECT_GE(update, 0xC000u);
  EXPECT_LE(update, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessage(u"uldalexoupdate"), update);
  UINT other = RegisterWindowMessage(u"CeOther");
  EXPECT_NE(other, update);
  EXPECT_NE(other, 0u);

  std::u16string longest(255, u'x');
  std::u16string tooLong(256, u'x');
  EXPECT_NE(RegisterWindowMessage(longest.c_str()), 0u);
  for (LPCWSTR bad : {static_cast<LPCWSTR>(nullptr), u"", static_cast<LPCWSTR>(tooLong.c_str())}) {
    EXPECT_EQ(RegisterWindowMessage(bad), 0u);
  }
}

TEST_F(SystemWindowsTest, ADamagedMessageTableKeepsEveryNumber) {
  std::filesystem::create_directories(device_.Path() / "run");
  // A damaged line, and a last line cut short by a crash of its writer.
  std::ofstream(RunFile("window-messages.txt")) << "=UldaLexoUpdate\ngarbage%z\n=Part";
  EXPECT_EQ(RegisterWindowMessage(u"ULDALEXOUPDATE"), 0xC000u);
  EXPECT_EQ(RegisterWindowMessage(u"Part"), 0xC002u);
  EXPECT_EQ(RegisterWindowMessage(u"New name"), 0xC003u);
  EXPECT_EQ(ReadFile(RunFile("window-messages.txt")),
            "=UldaLexoUpdate\ngarbage%z\n=Part\n=New%20name\n");
}

TEST_F(SystemWindowsTest, TableEntriesSurviveAnyTextAndDamageIsContained) {
  std::vector<detail::PublishedWindow> windows = {
      {0x10001, u"RESETKIT", u"two words\nand a line %20 細明體"}, {0x10002, u"Empty", u""}};
  auto parsed = DeviceWindowTable::Parse(7, DeviceWindowTable::Format(1234, 99, windows));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->pid, 1234);
  EXPECT_EQ(parsed->startTime, 99u);
  ASSERT_EQ(parsed->windows.size(), 2u);
  EXPECT_TRUE(parsed->windows[0].title == windows[0].title);
  EXPECT_TRUE(parsed->windows[1].title.empty());

  std::string text = DeviceWindowTable::Format(1234, 99, windows);
  text.insert(text.find("\nwindow") + 1, "window zz =A =B\nwindow 1 =bad%G =x\nnonsense\n");
  parsed = DeviceWindowTable::Parse(7, text);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->windows.size(), 2u);  // only the damaged lines are lost
  for (const char* bad : {"", "ce-window-table 2\nprocess 1 1\n", "ce-window-table 1\nprocess x 1\n"}) {
    EXPECT_FALSE(DeviceWindowTable::Parse(7, bad)) << bad;
  }
}

TEST_F(SystemWindowsTest, EntriesOfEndedProcessesAreIgnoredAndRemoved) {
  auto startTime = detail::ProcessStartTime(getpid());
  ASSERT_TRUE(startTime);
  std::filesystem::create_directories(device_.Path() / "run" / "windows");
  // Our own pid with another start time: a process that ended and whose pid
  // was given to us.
  std::filesystem::path reused = RunFile("windows/p00000042.txt");
  std::ofstream(reused) << DeviceWindowTable::Format(getpid(), *startTime + 1,
                                                     {{0x10001, u"RESETKIT", u"Resetkit"}});
  std::filesystem::path garbage = RunFile("windows/p00000043.txt");
  std::ofstream(garbage) << "not a table";
  EXPECT_EQ(FindWindow(u"RESETKIT", u"Resetkit"), nullptr);
  EXPECT_FALSE(std::filesystem::exists(reused));
  EXPECT_FALSE(std::filesystem::exists(garbage));
}

TEST_F(SystemWindowsTest, FindWindowMatchesTopLevelWindowsByClassAndTitle) {
  TestWindow top(Default, nullptr, 0, u"Resetkit", u"RESETKIT");
  TestWindow child(Default, top, 0, u"Child", u"RESETKIT");
  EXPECT_EQ(FindWindow(u"resetkit", u"Resetkit"), top.Handle());
  EXPECT_EQ(FindWindow(u"RESETKIT", nullptr), top.Handle());
  EXPECT_EQ(FindWindow(nullptr, u"Resetkit"), top.Handle());
  EXPECT_EQ(FindWindow(u"RESETKIT", u"Child"), nullptr);  // children are not searched
  EXPECT_EQ(FindWindow(u"RESETKIT", u"resetkit"), nullptr);  // titles keep their case
}

TEST_F(SystemWindowsTest, ProcessesOfOneDeviceFindAndMessageEachOther) {
  UINT first = RegisterWindowMessage(u"CeTestFirst");
  std::atomic<int> broadcastsSeen{0};
  std::atomic<WPARAM> lastBroadcast{99};
  UINT update = 0;
  TestWindow mine([&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == update && update != 0) {
      lastBroadcast = wp;
      ++broadcastsSeen;
      return 0;
    }
    if (m == kPeerAnswer) return static_cast<LRESULT>(wp) * 10;
    return DefWindowProc(w, m, wp, lp);
  }, nullptr, 0, u"Mine", u"CeTestMine");

  PeerProcess peer(device_.Path(), "RESETKIT", "Resetkit", {"UldaLexoUpdate", "CeTestFirst"});
  ASSERT_NE(peer.Window(), nullptr);
  EXPECT_EQ(peer.Registered("CeTestFirst"), first);
  update = RegisterWindowMessage(u"uldalexoupdate");
  EXPECT_EQ(update, peer.Registered("UldaLexoUpdate"));

  HWND found = FindWindow(u"RESETKIT", u"Resetkit");
  ASSERT_EQ(found, peer.Window());
  EXPECT_EQ(FindWindow(u"RESETKIT", u"Another"), nullptr);
  EXPECT_TRUE(IsWindow(found));
  EXPECT_TRUE(GetWindowTextString(found) == u"Resetkit");
  DWORD pid = 0;
  GetWindowThreadProcessId(found, &pid);
  EXPECT_EQ(static_cast<pid_t>(pid), peer.Pid());

  EXPECT_EQ(SendMessage(found, kPeerAdd, 40, 2), 42);
  EXPECT_TRUE(PostMessage(found, WM_USER + 7, 1, 2));
  EXPECT_EQ(peer.WaitForLine("got "), "got " + std::to_string(WM_USER + 7) + " 1 2");

  // A broadcast reaches the other process and this one's own window.
  EXPECT_TRUE(PostMessage(HWND_BROADCAST, update, 1, 0));
  EXPECT_EQ(peer.WaitForLine("got "), "got " + std::to_string(update) + " 1 0");
  ASSERT_TRUE(testing::PumpUntil([&] { return broadcastsSeen == 1; }));
  EXPECT_EQ(lastBroadcast, 1u);
  // And one from the other process reaches this one.
  PostMessage(found, kPeerBroadcast, update, 0);
  ASSERT_TRUE(testing::PumpUntil([&] { return broadcastsSeen == 2; }));
  EXPECT_EQ(lastBroadcast, 0u);

  // The peer sends to us while we wait for its answer.
  EXPECT_EQ(SendMessage(found, kPeerSendBack, reinterpret_cast<WPARAM>(mine.Handle()), 5), 51);

  EXPECT_TRUE(SetForegroundWindow(found));
  EXPECT_EQ(GetForegroundWindow(), found);
  EXPECT_EQ(peer.WaitForLine("activate "), "activate 1");
  EXPECT_TRUE(SetForegroundWindow(mine));
  EXPECT_EQ(GetForegroundWindow(), mine.Handle());
  EXPECT_EQ(peer.WaitForLine("activate "), "activate 0");

  EXPECT_TRUE(PostMessage(found, WM_CLOSE, 0, 0));
  EXPECT_EQ(peer.WaitForLine("bye"), "bye");
  EXPECT_EQ(peer.Wait(), 0);
  EXPECT_EQ(FindWindow(u"RESETKIT", u"Resetkit"), nullptr);
  EXPECT_FALSE(IsWindow(found));
}

TEST_F(SystemWindowsTest, AProcessThatDiesLeavesNothingThatBlocksALaterStart) {
  HWND old;
  {
    PeerProcess first(device_.Path(), "RESETKIT", "Resetkit");
    old = first.Window();
    ASSERT_EQ(FindWindow(u"RESETKIT", u"Resetkit"), old);
    first.Kill();
  }
  EXPECT_EQ(FindWindow(u"RESETKIT", u"Resetkit"), nullptr);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_FALSE(PostMessage(old, WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(old, kPeerAdd, 1, 1), 0);

  PeerProcess second(device_.Path(), "RESETKIT", "Resetkit");
  HWND now = FindWindow(u"RESETKIT", u"Resetkit");
  EXPECT_EQ(now, second.Window());
  EXPECT_NE(now, old);
  // The peer ends while handling our send: the send returns when its
  // connection goes away, long before the remote time-out.
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(SendMessage(now, kPeerCrash, 0, 0), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start,
            std::chrono::milliseconds(kRemoteSendTimeoutMs / 2));
  EXPECT_EQ(second.Wait(), 3);
  EXPECT_EQ(FindWindow(u"RESETKIT", u"Resetkit"), nullptr);
}

}  // namespace
}  // namespace ce
