// ZolfaCE against the real zolfa-server on loopback: the program itself,
// started headless on the test's device root and driven by a script, and
// (where the test must act between two steps) the same dialogs on a device
// screen of the test's own process. Each case checks what the user saw in
// the transcript, what the server was asked and what the device kept.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/Random.h"
#include "platform/host/Host.h"
#include "platform/testing/TestSupport.h"
#include "platform/window/Timer.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/ServiceHosts.h"
#include "zolfa/app/CCore.h"
#include "zolfa/app/CRegString.h"
#include "zolfa/app/CZolfaCEApp.h"
#include "zolfa/app/TopDialogMessages.h"
#include "zolfa/app/ZolfaPaths.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace {

using test_support::ServerProcess;

// The sample account and the digest its password is sent as.
constexpr char kAccount[] = "demo@zolfa.test";
constexpr char kPassword[] = "zolfa";
constexpr char16_t kPasswordDigest[] = u"d8019480d08079521cfe745ac4aea304";

// Types the account and the password into the login screen and presses the
// login button; first waits for the screen unless it is known to show.
std::string TypeLogin(const std::string& account, const std::string& password, bool waitForScreen = true) {
  return std::string(waitForScreen ? "until \"show 135\"\n" : "") + "tap 135/1066\ntype \"" + account +
         "\"\ntap 135/1019\ntype \"" + password + "\"\ntap 135/1\n";
}

std::u16string Setting(std::u16string_view name) {
  return zolfa::CRegString(zolfa::SettingsValuePath(name)).Get();
}

void Store(std::u16string_view name, std::u16string_view value) {
  zolfa::CRegString(zolfa::SettingsValuePath(name)).Set(value);
}

// The device as before the first login: no account, password or automatic
// login stored.
void ForgetLogin() {
  for (const char16_t* name : {u"account0", u"account1", u"account2", u"account3", u"password", u"autologin"}) {
    Store(name, u"");
  }
}

class ZolfaCEE2ETest : public ::testing::Test {
 protected:
  // Starts the server and maps every host name of the service to it.
  void StartServer(std::vector<std::string> args = {}, const std::string& accounts = "") {
    server_ = std::make_unique<ServerProcess>(std::move(args), accounts);
    ASSERT_TRUE(server_->Started());
    test_support::MapServiceHosts(server_->Port());
  }

  // Runs the program on the test's device root with the script (a "quit"
  // is added unless the script ends the program itself); returns its exit
  // status.
  int Run(const std::string& script, bool quit = true) {
    std::filesystem::path folder = root_.Path() / "e2e";
    std::filesystem::create_directories(folder);
    std::filesystem::path scriptFile = folder / "script.txt";
    std::ofstream(scriptFile, std::ios::binary) << script << (quit ? "quit\n" : "");
    std::filesystem::path transcript = folder / "transcript.txt";
    std::filesystem::path errors = folder / "stderr.txt";
    using test_support::ShellQuote;
    std::string command = "timeout 120 " + ShellQuote(ZOLFA_BINARY) + " --device " + ShellQuote(root_.Path()) +
                          " --headless --script " + ShellQuote(scriptFile) + " --transcript " +
                          ShellQuote(transcript) + " 2> " + ShellQuote(errors);
    int status = std::system(command.c_str());
    lines_ = test_support::SplitLines(test_support::ReadWholeFile(transcript));
    stderr_ = test_support::ReadWholeFile(errors);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  int IndexOf(const std::string& line) const {
    auto at = std::find(lines_.begin(), lines_.end(), line);
    return at == lines_.end() ? -1 : static_cast<int>(at - lines_.begin());
  }
  int LastIndexOf(const std::string& line) const {
    auto at = std::find(lines_.rbegin(), lines_.rend(), line);
    return at == lines_.rend() ? -1 : static_cast<int>(lines_.rend() - at) - 1;
  }
  int Count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(lines_.begin(), lines_.end(), [&](const std::string& line) {
      return line.rfind(prefix, 0) == 0;
    }));
  }
  // A "text" line of a dump ends with this quoted text.
  bool ShowsText(const std::string& text) const { return test_support::ShowsText(lines_, "\"" + text + "\""); }
  std::string Transcript() const {
    std::string all;
    for (const std::string& line : lines_) all += line + "\n";
    return all + stderr_;
  }

  ce::testing::TempDeviceRoot root_;
  std::unique_ptr<ServerProcess> server_;
  std::vector<std::string> lines_;
  std::string stderr_;
};

TEST_F(ZolfaCEE2ETest, AManualLoginSendsTheTypedAccountAndShowsTheMainScreenOnThePlaylistTab) {
  StartServer({}, "使用者+1@zolfa.test zolfa\n");
  ASSERT_EQ(Run(TypeLogin("使用者+1@zolfa.test", kPassword) + "until \"show 160\"\n"), 0) << Transcript();

  // The request as the protocol has it: the account through code page 950,
  // percent-encoded; the password as its digest; then the device's query.
  const std::string path =
      "/ce_login.php?act=login&uid=%A8%CF%A5%CE%AA%CC%2B1%40zolfa.test&passwd=d8019480d08079521cfe745ac4aea304"
      "&hw_vendor=ULDA&hw_model=WINCE&hw_id=";
  ASSERT_EQ(Count("http GET login1.zolfa.test:80 "), 1) << Transcript();
  auto login = std::find_if(lines_.begin(), lines_.end(),
                            [](const std::string& line) { return line.rfind("http GET login1", 0) == 0; });
  EXPECT_EQ(login->rfind("http GET login1.zolfa.test:80 " + path, 0), 0u) << *login;
  EXPECT_NE(login->find("&sid= -> 200"), std::string::npos) << *login;
  std::vector<std::string> log = server_->LogLines();
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const std::string& line) {
    return line.find(path) != std::string::npos;
  })) << "the server saw another request";

  int main = IndexOf("show 159");
  ASSERT_GT(main, IndexOf("hide 135"));
  EXPECT_EQ(lines_[static_cast<size_t>(main) + 1], "show 160") << "the current-playlist tab first";
  EXPECT_EQ(Count("msgbox"), 0) << Transcript();

  // The manual login stored the account first, its digest and automatic
  // login, although the box was not ticked.
  EXPECT_EQ(Setting(u"account0"), u"使用者+1@zolfa.test");
  EXPECT_EQ(Setting(u"password"), kPasswordDigest);
  EXPECT_EQ(Setting(u"autologin"), u"1");
}

TEST_F(ZolfaCEE2ETest, AStoredLoginWithAutomaticLoginOnStartsAtOnceAndWithoutItWaits) {
  struct Case {
    std::u16string autologin;
    bool logsIn;
  };
  StartServer();
  for (const Case& c : {Case{u"1", true}, Case{u"", false}}) {
    Store(u"account0", u"demo@zolfa.test");
    Store(u"password", kPasswordDigest);
    Store(u"autologin", c.autologin);
    std::string script = c.logsIn ? "until \"show 160\"\n" : "until \"show 135\"\nwait 1500\ndump\n";
    ASSERT_EQ(Run(script), 0) << Transcript();
    EXPECT_EQ(Count("http GET login1.zolfa.test:80 /ce_login.php?act=login&uid=demo%40zolfa.test&passwd=" +
                    std::string("d8019480d08079521cfe745ac4aea304")),
              c.logsIn ? 1 : 0)
        << Transcript();
    EXPECT_EQ(IndexOf("show 159") >= 0, c.logsIn) << Transcript();
    if (!c.logsIn) {
      EXPECT_TRUE(ShowsText("demo@zolfa.test")) << Transcript();
      EXPECT_TRUE(ShowsText("登入")) << Transcript();
    }
  }
}

TEST_F(ZolfaCEE2ETest, TheLoginAnswerDecidesWhatTheUserSees) {
  struct Case {
    const char* name;
    std::vector<std::string> serverArgs;
    std::string box;  // the message box shown, "" for none
    bool main;        // the main screen shows
  };
  const Case cases[] = {
      {"a newer minor version", {"--set", "login:minor_version=14"}, "已有新版本,建議您更新", true},
      {"an expired account", {"--set", "login:status=1"}, "使用期限已過期", false},
      {"a newer major version", {"--set", "login:major_version=101"}, "您的版本過舊,請至官方網站下載新版本", false},
      {"no login host answers", {"--fail-host", "login1.zolfa.test=503", "--fail-host", "login2.zolfa.test=503"},
       "無法連線\\n請檢查網路連線設定", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ForgetLogin();
    StartServer(c.serverArgs);
    std::string end = c.main ? "until \"show 160\"\n" : "until msgbox\nwait 300\ndump\n";
    ASSERT_EQ(Run(TypeLogin(kAccount, kPassword) + end), 0) << Transcript();
    ASSERT_EQ(Count("msgbox"), 1) << Transcript();
    EXPECT_EQ(IndexOf("msgbox caption=\"ZOLFA\" text=\"" + c.box + "\" answer=OK") >= 0, true) << Transcript();
    EXPECT_EQ(IndexOf("show 159") > IndexOf("msgbox caption=\"ZOLFA\" text=\"" + c.box + "\" answer=OK"),
              c.main)
        << Transcript();
    if (!c.main) {
      // The login screen is idle again.
      EXPECT_TRUE(ShowsText("登入")) << Transcript();
      EXPECT_FALSE(ShowsText("取消")) << Transcript();
    }
  }
}

TEST_F(ZolfaCEE2ETest, InputErrorsAreReportedAndNothingIsSent) {
  StartServer();
  ASSERT_EQ(Run(TypeLogin("demo.zolfa.test", kPassword) + "until msgbox\ndump\n" +
                "tap 135/1066\ntype demo@zolfa.test\ntap 135/1\nuntil msgbox\n"),
            0)
      << Transcript();
  EXPECT_EQ(IndexOf("msgbox caption=\"ZOLFA\" text=\"帳號輸入錯誤\" answer=OK"), 2) << Transcript();
  EXPECT_FALSE(ShowsText("demo.zolfa.test")) << "the account field is emptied";
  EXPECT_FALSE(ShowsText("*****")) << "the password field is emptied";
  EXPECT_GE(IndexOf("msgbox caption=\"ZOLFA\" text=\"密碼輸入錯誤\" answer=OK"), 0) << Transcript();
  EXPECT_EQ(Count("http"), 0) << Transcript();
  EXPECT_TRUE(server_->LogLines().empty());
}

TEST_F(ZolfaCEE2ETest, ASecondPressCancelsTheLoginAndNoOutcomeOfItArrives) {
  StartServer({"--delay-path", "/ce_login.php=1500"});
  ASSERT_EQ(Run(TypeLogin(kAccount, kPassword) + "wait 200\ndump\ntap 135/1\nwait 2500\ndump\n"), 0)
      << Transcript();
  EXPECT_TRUE(ShowsText("取消")) << "the login button reads 取消 while the login runs\n" << Transcript();
  EXPECT_EQ(IndexOf("show 159"), -1) << Transcript();
  EXPECT_EQ(Count("msgbox"), 0) << Transcript();
  auto last = std::find_if(lines_.rbegin(), lines_.rend(),
                           [](const std::string& line) { return line.find("\"取消\"") != std::string::npos ||
                                                                line.find("\"登入\"") != std::string::npos; });
  ASSERT_NE(last, lines_.rend());
  EXPECT_NE(last->find("\"登入\""), std::string::npos) << Transcript();
}

TEST_F(ZolfaCEE2ETest, TheTabButtonsShowTheOtherTwoScreens) {
  StartServer();
  ASSERT_EQ(Run(TypeLogin(kAccount, kPassword) +
                "until \"show 160\"\ntap 159/1027\nuntil \"show 162\"\ndump\ntap 159/1028\nuntil \"show 161\"\n"
                "tap 159/1026\nuntil \"show 160\"\n"),
            0)
      << Transcript();
  // On tab 1 the strip has buttons for tabs 0 and 2 only.
  int dump = IndexOf("show 162");
  ASSERT_GE(dump, 0);
  auto from = lines_.begin() + dump;
  auto has = [&](const std::string& text) {
    return std::any_of(from, lines_.end(), [&](const std::string& line) {
      return line.rfind("text ", 0) == 0 && line.find("\"" + text + "\"") != std::string::npos;
    });
  };
  EXPECT_TRUE(has("播放清單"));
  EXPECT_TRUE(has("個人音樂庫"));
  EXPECT_FALSE(has("線上音樂台"));
  EXPECT_LT(IndexOf("hide 162"), IndexOf("show 161"));
}

TEST_F(ZolfaCEE2ETest, TheScreensAreLaidOutAgainWhenTheScreenTurns) {
  StartServer();
  ASSERT_EQ(Run("until \"show 135\"\nrotate\nwait 100\ndump\n" + TypeLogin(kAccount, kPassword, false) +
                "until \"show 160\"\nrotate\nwait 100\ndump\n"),
            0)
      << Transcript();
  // Turned, the login screen keeps its buttons in a column at the right;
  // turned back, the main screen's strip spans the narrow screen again.
  auto at = [&](const std::string& text, int from) {
    for (size_t i = static_cast<size_t>(from); i < lines_.size(); ++i) {
      if (lines_[i].rfind("text ", 0) == 0 && lines_[i].find("\"" + text + "\"") != std::string::npos) {
        return lines_[i];
      }
    }
    return std::string();
  };
  std::string login = at("登入", 0);
  ASSERT_FALSE(login.empty()) << Transcript();
  EXPECT_GE(std::stoi(login.substr(5)), 234) << login;
  std::string library = at("個人音樂庫", IndexOf("show 160"));
  ASSERT_FALSE(library.empty()) << Transcript();
  EXPECT_EQ(library.rfind("text 160 26 80 22 ", 0), 0u) << library;
}

TEST_F(ZolfaCEE2ETest, TheRememberedAccountsMoveAsTheUserLogsIn) {
  StartServer({}, "b@zolfa.test zolfa\nc@zolfa.test zolfa\nd@zolfa.test zolfa\ne@zolfa.test zolfa\n");
  Store(u"account0", u"a@zolfa.test");
  Store(u"account1", u"b@zolfa.test");
  Store(u"account2", u"c@zolfa.test");
  Store(u"account3", u"d@zolfa.test");
  // The account field shows account0; the typed account replaces it.
  ASSERT_EQ(Run("until \"show 135\"\ndump\ntap 135/1066\nkey back back back back back back back back back back "
                "back back back\ntype c@zolfa.test\ntap 135/1019\ntype zolfa\ntap 135/1\nuntil \"show 160\"\n"),
            0)
      << Transcript();
  EXPECT_TRUE(ShowsText("a@zolfa.test")) << Transcript();
  const char16_t* expected[] = {u"c@zolfa.test", u"a@zolfa.test", u"b@zolfa.test", u"d@zolfa.test"};
  for (int i = 0; i < 4; ++i) {
    std::u16string name = u"account";
    name += static_cast<char16_t>(u'0' + i);
    EXPECT_EQ(Setting(name), expected[i]) << "account" << i;
  }
}

// The same dialogs on a device screen of this process, for cases where the
// test must act on the program between two steps of the script.
class ZolfaCEHereTest : public ZolfaCEE2ETest {
 protected:
  // Called on the UI thread every few milliseconds while the program runs.
  using Watch = std::function<void(ce::Host& host, zolfa::ZolfaNetMgrPPC& service, zolfa::CZolfaCEApp& app)>;

  // Runs the program with the script (a "quit" is added unless the program
  // is ended otherwise); returns its exit status as the host decides it. The
  // transcript's lines and the top-level dialog's result are kept.
  int RunHere(const std::string& script, Watch watch, bool quit = true) {
    ce::HostOptions options;
    options.headless = true;
    std::string error;
    std::unique_ptr<ce::Host> host = ce::Host::Start(options, &error);
    EXPECT_NE(host, nullptr) << error;
    if (host == nullptr) return -1;
    ce::ScriptError problem;
    EXPECT_TRUE(host->Script().Load(script + (quit ? "quit\n" : ""), &problem)) << problem.message;
    zolfa::CCore core;
    zolfa::ZolfaNetMgrPPC::Options serviceOptions;
    serviceOptions.workerPriority = ce::THREAD_PRIORITY_NORMAL;
    auto service = std::make_unique<zolfa::ZolfaNetMgrPPC>(std::move(serviceOptions));
    int result = 0;
    {
      zolfa::CZolfaCEApp app(core, *service);
      current_ = [&] { watch(*host, *service, app); };
      ce::UINT_PTR timer =
          ce::SetTimer(nullptr, 0, kWatchMs, [](ce::HWND, ce::UINT, ce::UINT_PTR, ce::DWORD) { current_(); });
      result = app.Run();
      dialogResult_ = app.DialogResult();
      ce::KillTimer(nullptr, timer);
      current_ = nullptr;
    }
    result = host->Finish(result);
    lines_ = host->GetTranscript().Lines();
    host.reset();
    // A thread a watch started may still be inside the service manager.
    if (worker_.joinable()) worker_.join();
    service.reset();  // after the windows, as the program does
    return result;
  }

  static constexpr ce::UINT kWatchMs = 20;
  ce::INT_PTR dialogResult_ = 0;
  // A thread of the test that uses the service manager; joined before the
  // manager goes.
  std::thread worker_;
  static inline std::function<void()> current_;
};

TEST_F(ZolfaCEHereTest, AFailedSessionCheckOnTheLibraryTabReturnsToTheLoginScreenForGood) {
  StartServer({"--fault", "path=/ce_check.php,status=500"});
  // Once the library tab shows, a session check runs on a thread of its
  // own, as the keep-alive thread runs it. The seed makes the pauses between
  // its three failing runs close to their one-second base.
  bool started = false;
  int result = RunHere(TypeLogin(kAccount, kPassword) +
                           "until \"show 160\"\ntap 159/1028\nuntil \"show 161\"\n"
                           "until \"\\\"無法連線\\\\n請檢查網路連線設定\\\"\" 30000\nwait 1500\ndump\n",
                       [&](ce::Host& host, zolfa::ZolfaNetMgrPPC& service, zolfa::CZolfaCEApp&) {
                         if (started || host.GetTranscript().Find("show 161", 0) < 0) return;
                         started = true;
                         ce::srand(3058);
                         worker_ = std::thread([&service] { service.CheckSession(); });
                       });
  ASSERT_EQ(result, 0) << Transcript();
  ASSERT_TRUE(started);
  int box = IndexOf("msgbox caption=\"ZOLFA\" text=\"無法連線\\n請檢查網路連線設定\" answer=OK");
  ASSERT_GT(box, IndexOf("show 161")) << Transcript();
  EXPECT_GT(LastIndexOf("show 135"), IndexOf("hide 159")) << Transcript();
  EXPECT_GT(IndexOf("hide 159"), IndexOf("show 161")) << Transcript();
  // No second login: the program stopped logging in by itself, but the
  // device keeps automatic login for the next start.
  EXPECT_EQ(Count("http GET login1.zolfa.test:80 "), 1) << Transcript();
  EXPECT_GE(Count("http GET ss.zolfa.test:80 /ce_check.php?"), 1) << Transcript();
  EXPECT_EQ(Setting(u"autologin"), u"1");
  EXPECT_TRUE(ShowsText("登入")) << Transcript();
}

TEST_F(ZolfaCEHereTest, TheNetworkNoticeShowsItsTextAndMessage13320EndsTheProgram) {
  StartServer();
  int step = 0;
  int result = RunHere("until \"show 135\"\nuntil msgbox\n",
                       [&](ce::Host& host, zolfa::ZolfaNetMgrPPC&, zolfa::CZolfaCEApp& app) {
                         if (app.MainWindow() == nullptr || host.GetTranscript().Find("show 135", 0) < 0) return;
                         if (step == 0) ce::PostMessage(app.MainWindow()->Handle(), zolfa::MSG_NETWORK_FAILURE_NOTICE, 0, 0);
                         if (step == 1) ce::PostMessage(app.MainWindow()->Handle(), zolfa::MSG_END_PROGRAM, 0, 0);
                         ++step;
                       },
                       false);
  EXPECT_EQ(result, 0) << Transcript();
  EXPECT_EQ(dialogResult_, 2);
  EXPECT_GE(IndexOf("msgbox caption=\"ZOLFA\" text=\"連線失敗，請檢查您的網路設定之後再執行ZOLFA。\" answer=OK"), 0)
      << Transcript();
  EXPECT_EQ(lines_.back(), "hide 102") << Transcript();
}

TEST_F(ZolfaCEE2ETest, TheRegistrationHintNamesTheWebSiteAndTheExitButtonEndsTheProgram) {
  StartServer();
  ASSERT_EQ(Run("until \"show 135\"\ntap 135/2\nuntil msgbox\ntap 135/1027\n", false), 0) << Transcript();
  EXPECT_GE(IndexOf("msgbox caption=\"ZOLFA\" text=\"請上 http://www.zolfa.test 註冊成為會員, \\t\\t然後使用會員帳號跟密碼登入, "
                    "謝謝!\\t\\t\\t\" answer=OK"),
            0)
      << Transcript();
  EXPECT_EQ(Count("http"), 0);
  EXPECT_EQ(lines_.back(), "hide 102");
}

}  // namespace
