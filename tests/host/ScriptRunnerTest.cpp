// Scripts driving a program on a headless device screen: every action, the
// transcript they leave, and the failures that name their line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "platform/base/CodePage.h"
#include "platform/controls/Metrics.h"
#include "platform/host/Host.h"
#include "platform/host/Keypad.h"
#include "platform/window/Keys.h"
#include "platform/shell/Display.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "tests/host/RunnerProgram.h"

namespace ce::testing {
namespace {

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

class ScriptRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterRunnerProgram();
    Saw() = Seen{};
  }

  // Runs the program with the script on a headless screen and returns the
  // program's exit code as the host decides it.
  int Run(const std::string& script, const std::filesystem::path& transcript = {}) {
    HostOptions options;
    options.headless = true;
    options.transcript = transcript;
    std::string error;
    std::unique_ptr<Host> host = Host::Start(options, &error);
    EXPECT_NE(host, nullptr) << error;
    if (host == nullptr) return -1;
    ScriptError problem;
    EXPECT_TRUE(host->Script().Load(script, &problem)) << problem.line << ": " << problem.message;
    RunnerDialog dialog;
    dialog.DoModal();
    int code = host->Finish(0);
    lines_ = host->GetTranscript().Lines();
    failure_ = host->Script().Failure();
    host.reset();
    PumpUntilIdle();
    return code;
  }

  // Runs a script on a headless screen against a dialog that is already
  // shown, without a loop of the program's own. `prepare` may move the
  // dialog's controls and writes the script. Returns the failure, "" when
  // the script succeeded.
  std::string Drive(const std::function<std::string(HWND dialog)>& prepare) {
    HostOptions options;
    options.headless = true;
    std::string error;
    std::unique_ptr<Host> host = Host::Start(options, &error);
    if (host == nullptr) return "no host: " + error;
    RunnerDialog dialog;
    EXPECT_TRUE(dialog.Create());
    ScriptError problem;
    EXPECT_TRUE(host->Script().Load(prepare(dialog.Handle()), &problem)) << problem.message;
    host->RunScriptToEnd(5000);
    PumpUntilIdle();  // the program handles the last step's input
    std::string failure = host->Script().Failure();
    dialog.DestroyWindow();
    host.reset();
    PumpUntilIdle();
    return failure;
  }

  // Index of the first transcript line that is `line`, or -1.
  int IndexOf(const std::string& line) const {
    auto at = std::find(lines_.begin(), lines_.end(), line);
    return at == lines_.end() ? -1 : static_cast<int>(at - lines_.begin());
  }
  bool HasTextLine(const std::string& quoted) const {
    return std::any_of(lines_.begin(), lines_.end(), [&](const std::string& line) {
      return line.rfind("text ", 0) == 0 && line.size() > quoted.size() &&
             line.compare(line.size() - quoted.size(), quoted.size(), quoted) == 0;
    });
  }
  std::string Transcript() const {
    std::string all;
    for (const std::string& line : lines_) all += line + "\n";
    return all;
  }

  TempDeviceRoot root_;
  std::vector<std::string> lines_;
  std::string failure_;
};

TEST_F(ScriptRunnerTest, TapsKeysTextMenusAndAnswersReachTheProgram) {
  auto shot = root_.Path() / "runner-shot.png";
  std::string script =
      "# the dialog's own button and the embedded screen's, by template\n"
      "tap 300/1001\n"
      "tap 301/1001\n"
      "tap 1002              # no answer given: the box's default\n"
      "answer NO\n"
      "tap 1002\n"
      "tap 1020              # the pad takes the focus\n"
      "key 1 2 star pound action up\n"
      "type \"你好 ab\"\n"
      "menu 31001\n"
      "until msgbox caption=\"Runner\" text=\"hi\"\n"
      "tap 1004\n"
      "until show 302\n"
      "dump\n"
      "shot " + shot.string() + "\n"
      "quit\n";
  ASSERT_EQ(Run(script), 0) << failure_;

  EXPECT_EQ(Saw().commands, (std::vector<std::string>{"300:1001", "301:1001", "300:1002", "300:1002",
                                                      "300:31001", "300:1004"}));
  EXPECT_EQ(Saw().answers, (std::vector<int>{IDYES, IDNO, IDOK}));
  EXPECT_EQ(Saw().keys, (std::vector<UINT>{'1', '2', VK_TSTAR, VK_TPOUND, kVkAction, VK_UP}));
  EXPECT_EQ(Saw().chars, u"12*#你好 ab");

  int show300 = IndexOf("show 300");
  int show301 = IndexOf("show 301");
  int menubar = IndexOf("menubar 310");
  int yes = IndexOf("msgbox caption=\"Runner\" text=\"Clear?\" answer=YES");
  int no = IndexOf("msgbox caption=\"Runner\" text=\"Clear?\" answer=NO");
  int hi = IndexOf("msgbox caption=\"Runner\" text=\"hi\" answer=OK");
  int show302 = IndexOf("show 302");
  int hide300 = IndexOf("hide 300");
  EXPECT_EQ(show300, 0) << Transcript();
  EXPECT_EQ(show301, 1) << Transcript();
  EXPECT_EQ(menubar, 2) << Transcript();
  EXPECT_TRUE(menubar < yes && yes < no && no < hi && hi < show302 && show302 < hide300) << Transcript();
  EXPECT_LT(IndexOf("hide 302"), hide300) << "children are hidden first";

  for (const char* text : {"\"Go\"", "\"Go here\"", "\"Second screen\"", "\"Runner\"", "\"動作\"", "\"功能表\""}) {
    EXPECT_TRUE(HasTextLine(text)) << text << "\n" << Transcript();
  }

  std::ifstream png(shot, std::ios::binary);
  ASSERT_TRUE(png) << "the screenshot was written";
  unsigned char header[24] = {};
  png.read(reinterpret_cast<char*>(header), sizeof(header));
  EXPECT_EQ(header[1], 'P');
  EXPECT_EQ((header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19], 240);
  EXPECT_EQ((header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23], 320);
}

TEST_F(ScriptRunnerTest, ABareIdOfTwoVisibleControlsFailsAndListsThem) {
  EXPECT_EQ(Run("wait 1\ntap 1001\nquit\n"), 1);
  EXPECT_NE(failure_.find("line 2 (tap 1001)"), std::string::npos) << failure_;
  EXPECT_NE(failure_.find("300/1001 \"Go\""), std::string::npos) << failure_;
  EXPECT_NE(failure_.find("301/1001 \"Go here\""), std::string::npos) << failure_;
  EXPECT_TRUE(Saw().commands.empty()) << "nothing was tapped";
}

TEST_F(ScriptRunnerTest, AFailingLineEndsTheRunAndSaysWhichLine) {
  struct Case {
    std::string script;
    std::string failure;
  };
  for (const Case& c : {
           Case{"tap 1003", "line 1 (tap 1003): control 1003 is disabled"},
           Case{"tap 4242", "line 1 (tap 4242): no visible control has id 4242"},
           Case{"tap 302/2001", "no visible control has id 2001 in dialog 302"},
           Case{"tap 300 400", "outside the 240 x 320 screen"},
           Case{"menu 4242", "line 1 (menu 4242): the menu bar has no command 4242"},
           Case{"wait 1\nuntil \"never\" 30", "line 2 (until \"never\" 30): no transcript line contains \"never\" after 30 ms"},
           Case{"answer CANCEL\ntap 1002", "line 1 (answer CANCEL): the message box \"Clear?\" offers YES NO"},
           Case{"menu 31002\nwait 200\ntap 1001", "line 2 (wait 200): the program ended before this step was done"},
       }) {
    Saw() = Seen{};
    EXPECT_EQ(Run(c.script + "\nquit\n"), 1) << c.script;
    EXPECT_NE(failure_.find(c.failure), std::string::npos) << c.script << "\n" << failure_;
  }
}

TEST_F(ScriptRunnerTest, AHoldOpensTheContextMenuWhoseCommandMenuChooses) {
  ASSERT_EQ(Run("hold 1020\nmenu 31101\nquit\n"), 0) << failure_;
  EXPECT_EQ(Saw().holds, 1);
  EXPECT_EQ(Saw().commands, std::vector<std::string>{"300:31101"});

  Saw() = Seen{};
  ASSERT_EQ(Run("tap 1020\nquit\n"), 0) << failure_;
  EXPECT_EQ(Saw().holds, 0) << "a tap is no hold";
}

TEST_F(ScriptRunnerTest, TapAndHoldAtAPointReachTheControlThere) {
  std::string failure = Drive([](HWND dialog) {
    POINT go = Centre(ScreenRect(GetDlgItem(dialog, kGo)));
    POINT pad = Centre(ScreenRect(GetDlgItem(dialog, kPad)));
    return "tap " + std::to_string(go.x) + " " + std::to_string(go.y) + "\nhold " +
           std::to_string(pad.x) + " " + std::to_string(pad.y) + "\nmenu 31101\n";
  });
  EXPECT_EQ(failure, "");
  EXPECT_EQ(Saw().commands, (std::vector<std::string>{"300:1001", "300:31101"}));
  EXPECT_EQ(Saw().holds, 1);
}

TEST_F(ScriptRunnerTest, ATapAimsAtTheVisiblePartOfItsControlAndRefusesAHiddenOne) {
  // Half off the right edge: the part on the screen is tapped.
  EXPECT_EQ(Drive([](HWND dialog) {
              MoveWindow(GetDlgItem(dialog, kGo), 200, 0, 80, 16, TRUE);
              return "tap 300/1001\n";
            }),
            "");
  EXPECT_EQ(Saw().commands, std::vector<std::string>{"300:1001"});

  std::unique_ptr<TestWindow> cover;
  struct Case {
    std::function<void(HWND go)> hide;
    std::string failure;
  };
  for (const Case& c : {
           Case{[&](HWND go) {
                  // A sibling above the button takes every tap on it.
                  cover = std::make_unique<TestWindow>(
                      [](HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); },
                      GetParent(go), WS_VISIBLE);
                  RECT rect = ScreenRect(go);
                  POINT at{rect.left, rect.top};
                  ScreenToClient(GetParent(go), &at);
                  SetWindowPos(*cover, HWND_TOP, at.x, at.y, rect.right - rect.left, rect.bottom - rect.top, 0);
                },
                "line 1 (tap 300/1001): control 1001 is covered"},
           Case{[](HWND go) { MoveWindow(go, 300, 0, 40, 16, TRUE); },
                "line 1 (tap 300/1001): control 1001 is not on the screen"},
       }) {
    Saw() = Seen{};
    EXPECT_EQ(Drive([&](HWND dialog) {
                c.hide(GetDlgItem(dialog, kGo));
                return "tap 300/1001\n";
              }),
              c.failure);
    EXPECT_TRUE(Saw().commands.empty()) << c.failure;
    cover.reset();
  }
}

TEST_F(ScriptRunnerTest, AScriptOrTranscriptThatCannotBeUsedStopsTheStartWithCode2) {
  std::filesystem::path script = root_.Path() / "script.txt";
  std::filesystem::path wrong = root_.Path() / "wrong.txt";
  std::ofstream(script, std::ios::binary) << "wait 1\nquit\n";
  std::ofstream(wrong, std::ios::binary) << "wait 1\ntapp 1\n";
  std::filesystem::path folder = root_.Path() / "a-folder";
  std::filesystem::create_directory(folder);
  std::filesystem::path fifo = root_.Path() / "a-fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::path huge = root_.Path() / "huge.txt";
  {
    std::ofstream out(huge, std::ios::binary);
    std::string line = "wait 1\n";
    for (size_t size = 0; size <= 1024 * 1024; size += line.size()) out << line;
  }
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  for (const Case& c : {
           Case{{"--script", wrong.string()}, wrong.string() + ":2: unknown action \"tapp\""},
           Case{{"--script", (root_.Path() / "missing.txt").string()},
                "cannot read " + (root_.Path() / "missing.txt").string()},
           Case{{"--script", script.string(), "--transcript", (root_.Path() / "no" / "t.txt").string()},
                "cannot write " + (root_.Path() / "no" / "t.txt").string()},
           // The same file spelled another way.
           Case{{"--script", script.string(), "--transcript", (root_.Path() / "." / "script.txt").string()},
                "is the script"},
           Case{{"--script", folder.string()}, "the script " + folder.string() + " is not a file"},
           Case{{"--script", fifo.string()}, "the script " + fifo.string() + " is not a file"},
           Case{{"--script", huge.string()}, "the script " + huge.string() + " is larger than 1 MiB"},
           Case{{"--script", script.string(), "--frobnicate"}, "unknown option --frobnicate\nusage: program"},
       }) {
    std::vector<std::string> words{"program", "--headless"};
    words.insert(words.end(), c.args.begin(), c.args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());
    bool ran = false;
    ::testing::internal::CaptureStderr();
    int code = RunOnDeviceScreen(argc, argv.data(), [&ran] {
      ran = true;
      return 0;
    });
    std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2) << c.message;
    EXPECT_FALSE(ran) << c.message;
    EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
  }
  std::ifstream in(script, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
            "wait 1\nquit\n")
      << "the script named as its transcript is still whole";
  HostOptions options;
  options.headless = true;
  std::string error;
  EXPECT_NE(Host::Start(options, &error), nullptr) << "the failed starts left no host: " << error;
}

// Asking for the usage runs nothing and succeeds; a transcript that cannot
// take its lines (a full disk) fails the run that would have passed.
TEST_F(ScriptRunnerTest, HelpSucceedsAndALostTranscriptFailsTheRun) {
  auto run = [](std::vector<std::string> words, std::string* out, std::string* errors) {
    words.insert(words.begin(), "program");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    int code = RunOnDeviceScreen(argc, argv.data(), [] { return 0; });
    *out = ::testing::internal::GetCapturedStdout();
    *errors = ::testing::internal::GetCapturedStderr();
    return code;
  };
  std::string out;
  std::string errors;
  std::filesystem::path absent = root_.Path() / "no-device-yet";
  EXPECT_EQ(run({"--device", absent.string(), "--help"}, &out, &errors), 0) << errors;
  EXPECT_NE(out.find("usage: program [--device DIR]"), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(absent));

  // The dialog shown is the transcript's first line.
  EXPECT_EQ(Run("quit\n", root_.Path() / "t.txt"), 0) << failure_;
  ::testing::internal::CaptureStderr();
  int code = Run("quit\n", "/dev/full");
  errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(code, 1);
  EXPECT_NE(errors.find("cannot write the transcript /dev/full: No space left on device"), std::string::npos)
      << errors;
}

TEST_F(ScriptRunnerTest, WaitLetsTheProgramRunAndRotateReachesItsDialog) {
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(Run("wait 40\nrotate\nwait 1\nrotate\nquit\n"), 0) << failure_;
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
  EXPECT_EQ(Saw().settingChanges, (std::vector<WPARAM>{SETTINGCHANGE_RESET, SETTINGCHANGE_RESET}));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
}

TEST_F(ScriptRunnerTest, HttpRequestsOfTheProgramAreInTheTranscriptAndItsFile) {
  PingServer server;
  Saw().httpPort = server.Port();
  auto file = root_.Path() / "runner-transcript.txt";
  ASSERT_EQ(Run("tap 1005\nuntil \"http GET\" 5000\nquit\n", file), 0) << failure_;
  std::string expected = "http GET 127.0.0.1:" + std::to_string(server.Port()) + " /ping?n=1 -> 200";
  EXPECT_GE(IndexOf(expected), 0) << Transcript();
  std::ifstream in(file, std::ios::binary);
  std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, Transcript());
}

TEST_F(ScriptRunnerTest, TheDriverRunsFromCodeWithoutALoopOfTheProgram) {
  HostOptions options;
  options.headless = true;
  std::string error;
  std::unique_ptr<Host> host = Host::Start(options, &error);
  ASSERT_NE(host, nullptr) << error;
  EXPECT_FALSE(host->Screen().HasWindow());
  EXPECT_EQ(Host::Start(options, &error), nullptr) << "one host at a time";

  RunnerDialog dialog;
  ASSERT_TRUE(dialog.Create());
  ScriptError problem;
  ASSERT_TRUE(host->Script().Load("tap 301/1001\nmenu 31001\nuntil msgbox\ndump\n", &problem));
  EXPECT_TRUE(host->RunScriptToEnd(5000)) << host->Script().Failure();
  EXPECT_EQ(Saw().commands, (std::vector<std::string>{"301:1001", "300:31001"}));
  lines_ = host->GetTranscript().Lines();
  EXPECT_TRUE(HasTextLine("\"Go here\"")) << Transcript();
  dialog.DestroyWindow();
}

}  // namespace
}  // namespace ce::testing
