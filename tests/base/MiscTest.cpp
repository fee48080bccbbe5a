// The device root, rand/srand, debug output, the device identifier, message
// boxes and `cedev files`.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/Debug.h"
#include "platform/base/DeviceFile.h"
#include "platform/base/DeviceId.h"
#include "platform/base/DeviceRoot.h"
#include "platform/base/MessageBox.h"
#include "platform/base/Random.h"
#include "platform/base/Registry.h"
#include "platform/testing/TestSupport.h"

namespace ce {
namespace {

using testing::TempDeviceRoot;

std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(DeviceRootTest, DeviceOptionIsTakenOutOfTheArgumentsAndWinsOverTheEnvironment) {
  TempDeviceRoot scratch;  // a parent folder for the roots opened below
  std::string fromEnv = (scratch.Path() / "env").string();
  std::string fromArg = (scratch.Path() / "arg").string();
  setenv("CE_DEVICE", fromEnv.c_str(), 1);
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> left;
    std::string root;
  };
  const Case cases[] = {
      {{"prog", "--device", fromArg, "x"}, {"prog", "x"}, fromArg},
      {{"prog", "x", "--device=" + fromArg}, {"prog", "x"}, fromArg},
      {{"prog", "x"}, {"prog", "x"}, fromEnv},
      {{"prog", "--", "--device", "y"}, {"prog", "--", "--device", "y"}, fromEnv},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.size());
    std::vector<std::string> storage = c.args;
    std::vector<char*> argv;
    for (auto& arg : storage) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());
    std::string error;
    ASSERT_TRUE(OpenDeviceRootFromArgs(argc, argv.data(), &error)) << error;
    EXPECT_EQ(std::vector<std::string>(argv.begin(), argv.begin() + argc), c.left);
    EXPECT_EQ(argv[argc], nullptr);
    EXPECT_EQ(DeviceRootPath().string(), c.root);
    for (const char* folder : {"windows", "Program Files", "Temp", "run"}) {
      EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(c.root) / folder)) << folder;
    }
  }
  std::vector<std::string> storage = {"prog", "--device"};
  std::vector<char*> argv = {storage[0].data(), storage[1].data(), nullptr};
  int argc = 2;
  std::string error;
  EXPECT_FALSE(OpenDeviceRootFromArgs(argc, argv.data(), &error));
  EXPECT_FALSE(error.empty());
  unsetenv("CE_DEVICE");
  // The root's standard folders are matched ignoring case, not duplicated.
  std::filesystem::create_directories(scratch.Path() / "old" / "WINDOWS");
  ASSERT_TRUE(OpenDeviceRoot(scratch.Path() / "old"));
  EXPECT_FALSE(std::filesystem::exists(scratch.Path() / "old" / "windows"));
  ASSERT_TRUE(OpenDeviceRoot(scratch.Path()));
}

TEST(RandomTest, OneSequenceOfTheRuntimeGeneratorForTheProcess) {
  srand(1);
  EXPECT_EQ(rand(), 41);
  EXPECT_EQ(rand(), 18467);
  EXPECT_EQ(rand(), 6334);
  srand(12345);
  std::vector<int> expected;
  for (int i = 0; i < 2000; ++i) expected.push_back(rand());
  EXPECT_TRUE(std::all_of(expected.begin(), expected.end(), [](int v) { return v >= 0 && v <= RAND_MAX; }));
  // Two threads drawing at once share the one sequence: together they get
  // exactly its values, none twice and none skipped.
  srand(12345);
  std::vector<int> a;
  std::vector<int> b;
  std::thread first([&] {
    for (int i = 0; i < 1000; ++i) a.push_back(rand());
  });
  std::thread second([&] {
    for (int i = 0; i < 1000; ++i) b.push_back(rand());
  });
  first.join();
  second.join();
  std::vector<int> drawn = a;
  drawn.insert(drawn.end(), b.begin(), b.end());
  std::sort(drawn.begin(), drawn.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(drawn, expected);
}

TEST(DebugOutputTest, LinesGoToTheRunAreaLogAndTheSink) {
  TempDeviceRoot root;
  testing::DebugCapture capture;
  OutputDebugString(u"FindFirstFile fails\r\n");
  OutputDebugString(u"合輯");
  OutputDebugString(nullptr);
  EXPECT_EQ(capture.Texts(), (std::vector<std::string>{"FindFirstFile fails\r\n", "合輯"}));
  EXPECT_EQ(ReadHostFile(RunAreaPath() / "debug.log"), "FindFirstFile fails\n合輯\n");
}

TEST(DeviceIdTest, StableForADeviceRootAndRefusedByTheSetting) {
  TempDeviceRoot root;
  auto read = [](DWORD size) {
    std::vector<BYTE> id(size + 4, 0xEE);
    DWORD returned = 99;
    SetLastError(0);
    BOOL ok = KernelIoControl(IOCTL_HAL_GET_DEVICEID, nullptr, 0, id.data(), size, &returned);
    if (!ok) return std::vector<BYTE>();
    EXPECT_EQ(returned, std::min<DWORD>(size, 16));
    EXPECT_EQ(id[returned], 0xEE);  // nothing past what it reported
    id.resize(returned);
    return id;
  };
  std::vector<BYTE> first = read(16);
  ASSERT_EQ(first.size(), 16u);
  EXPECT_EQ(read(40), first);
  EXPECT_EQ(read(6), std::vector<BYTE>(first.begin(), first.begin() + 6));
  CloseDeviceRoot();
  ASSERT_TRUE(OpenDeviceRoot(root.Path()));
  EXPECT_EQ(read(16), first);
  EXPECT_EQ(testing::RunInChildProcess([&] { return read(16) == first ? 0 : 1; }), 0);

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, u"System\\Platform", 0, nullptr, 0, KEY_ALL_ACCESS,
                           nullptr, &key, nullptr),
            ERROR_SUCCESS);
  struct Case {
    std::vector<BYTE> data;
    bool refused;
  };
  const Case cases[] = {{{1, 0, 0, 0}, true}, {{1}, true}, {{0, 0, 0, 0}, false}, {{0, 1}, true}};
  for (const Case& c : cases) {
    ASSERT_EQ(RegSetValueEx(key, u"NoDeviceId", 0, REG_DWORD, c.data.data(),
                            static_cast<DWORD>(c.data.size())),
              ERROR_SUCCESS);
    std::vector<BYTE> id = read(16);
    EXPECT_EQ(id.empty(), c.refused);
    if (c.refused) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    }
  }
  RegCloseKey(key);
  BYTE out[16];
  EXPECT_FALSE(KernelIoControl(0x01010000, nullptr, 0, out, sizeof(out), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST(DeviceIdTest, EachDeviceRootHasItsOwnIdentifier) {
  std::array<BYTE, 16> ids[2];
  for (auto& id : ids) {
    TempDeviceRoot root;
    DWORD returned = 0;
    ASSERT_TRUE(KernelIoControl(IOCTL_HAL_GET_DEVICEID, nullptr, 0, id.data(), 16, &returned));
  }
  EXPECT_NE(ids[0], ids[1]);
}

TEST(MessageBoxTest, ScriptedUserAnswersAndWithoutHandlerTheDefaultButtonDoes) {
  {
    testing::ScriptedUser user;
    user.Answer(IDNO);
    EXPECT_EQ(MessageBox(nullptr, u"檔案找不到: \\a\n", u"ZolfaCE", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBox(nullptr, u"second", nullptr, MB_OK), IDOK);  // the queue is empty
    auto boxes = user.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, u"檔案找不到: \\a\n");
    EXPECT_EQ(boxes[0].caption, u"ZolfaCE");
    EXPECT_EQ(boxes[0].flags, MB_YESNO);
    EXPECT_EQ(boxes[1].caption, u"");
  }
  testing::DebugCapture capture;
  struct Case {
    UINT flags;
    int answer;
  };
  const Case cases[] = {{MB_OK, IDOK},
                        {MB_OKCANCEL | MB_ICONQUESTION, IDOK},
                        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
                        {MB_YESNO, IDYES},
                        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
                        {MB_YESNO | MB_DEFBUTTON2, IDNO}};
  for (const Case& c : cases) EXPECT_EQ(MessageBox(nullptr, u"text", u"cap", c.flags), c.answer) << c.flags;
  auto texts = capture.Texts();
  ASSERT_EQ(texts.size(), std::size(cases));
  EXPECT_NE(texts[0].find("text"), std::string::npos);
  EXPECT_NE(texts[0].find("cap"), std::string::npos);
}

// Runs the real device tool; returns its exit code and what it printed.
int RunCedev(const std::filesystem::path& root, const std::string& args, std::string* out) {
  std::string command = std::string(CE_CEDEV_PATH) + " --device '" + root.string() + "' " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  out->clear();
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) out->append(buffer, n);
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CedevFilesTest, ListCatPutGetAndRefuseBadPaths) {
  TempDeviceRoot root;
  std::filesystem::path host = root.Path() / "host";
  std::filesystem::create_directories(host);
  std::string payload("line\r\n\0binary\xFF", 14);
  std::ofstream(host / "in.bin", std::ios::binary) << payload;
  std::string out;

  EXPECT_EQ(RunCedev(root.Path(), "files put '" + (host / "in.bin").string() + "' '/Program Files/Zolfa/a.bin'", &out), 2);
  EXPECT_NE(out.find("-p"), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(root.Path() / "Program Files" / "Zolfa"));
  ASSERT_EQ(RunCedev(root.Path(), "files put -p '" + (host / "in.bin").string() + "' '\\program files\\Zolfa\\a.bin'", &out), 0) << out;
  EXPECT_EQ(root.ReadDeviceBytes(u"\\Program Files\\Zolfa\\a.bin"), payload);

  ASSERT_EQ(RunCedev(root.Path(), "files ls '/PROGRAM FILES/zolfa'", &out), 0) << out;
  EXPECT_EQ(out, "          14  a.bin\n");
  ASSERT_EQ(RunCedev(root.Path(), "files ls /", &out), 0);
  EXPECT_NE(out.find("       <DIR>  Program Files\n"), std::string::npos) << out;
  ASSERT_EQ(RunCedev(root.Path(), "files cat '/Program Files/Zolfa/A.BIN'", &out), 0);
  EXPECT_EQ(out, payload);
  ASSERT_EQ(RunCedev(root.Path(), "files get '/Program Files/Zolfa/a.bin' '" + (host / "out.bin").string() + "'", &out), 0) << out;
  EXPECT_EQ(ReadHostFile(host / "out.bin"), payload);

  // A name as long as a name may be (245 of 255 bytes) is copied like any other.
  const std::string longName(245, 'b');
  ASSERT_EQ(RunCedev(root.Path(), "files put -p '" + (host / "in.bin").string() + "' '/Long/" + longName + "'", &out), 0) << out;
  EXPECT_EQ(ReadHostFile(root.Path() / "Long" / longName), payload);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root.Path() / "Long"), {}), 1);

  // Escaping paths and missing files: exit 2, a message, nothing written.
  struct Case {
    std::string args;
    std::filesystem::path mustNotExist;
  };
  const Case refused[] = {
      {"files cat '\\..\\host\\in.bin'", {}},
      {"files cat /Temp/missing", {}},
      {"files ls /NoFolder", {}},
      {"files get /Temp/missing '" + (host / "missing.bin").string() + "'", host / "missing.bin"},
      {"files put '" + (host / "in.bin").string() + "' '/../escaped.bin'", root.Path().parent_path() / "escaped.bin"},
      {"files put -p '" + (host / "in.bin").string() + "' '/Temp/../../escaped.bin'", root.Path().parent_path() / "escaped.bin"},
      {"files put '" + (host / "nothing.bin").string() + "' /Temp/x.bin", root.Path() / "Temp" / "x.bin"},
      {"files frob", {}},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(RunCedev(root.Path(), c.args, &out), 2) << out;
    EXPECT_NE(out.find("cedev files:"), std::string::npos) << out;
    if (!c.mustNotExist.empty()) {
      EXPECT_FALSE(std::filesystem::exists(c.mustNotExist));
    }
  }
}

}  // namespace
}  // namespace ce

namespace ce {
namespace {

TEST(CedevToolTest, HelpCreatesNothingAndOwnFilesAreNoDevicePaths) {
  TempDeviceRoot root;
  std::filesystem::path absent = root.Path() / "not-yet";
  std::string out;
  EXPECT_EQ(RunCedev(absent, "--help", &out), 0) << out;
  EXPECT_NE(out.find("usage: cedev"), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(absent));

  ASSERT_EQ(RunCedev(root.Path(), "reg set 'HKCU\\Software\\Quendal\\zolfa' autologin sz 1", &out), 0) << out;
  const std::string hive = ReadHostFile(root.Path() / "registry.db");
  std::ofstream(root.Path() / "junk.db") << "junk";
  for (const char* own : {"'\\registry.db'", "/REGISTRY.DB-wal", "/hosts", "/run/x"}) {
    SCOPED_TRACE(own);
    EXPECT_EQ(RunCedev(root.Path(), "files put '" + (root.Path() / "junk.db").string() + "' " + own, &out), 2) << out;
    EXPECT_EQ(RunCedev(root.Path(), std::string("files cat ") + own, &out), 2) << out;
  }
  EXPECT_EQ(ReadHostFile(root.Path() / "registry.db"), hive);
  ASSERT_EQ(RunCedev(root.Path(), "reg export", &out), 0) << out;
  EXPECT_NE(out.find("autologin"), std::string::npos) << out;
}

// Sixty adds at once, each of its own name: every one reported as added is
// in the table afterwards.
TEST(CedevToolTest, ConcurrentHostAddsLoseNothing) {
  TempDeviceRoot root;
  constexpr int kWriters = 60;
  std::string script;
  for (int i = 0; i < kWriters; ++i) {
    script += std::string(CE_CEDEV_PATH) + " --device '" + root.Path().string() + "' hosts add host" +
              std::to_string(i) + ".zolfa.test 127.0.0.1:" + std::to_string(2000 + i) + " || echo failed & ";
  }
  std::string out;
  FILE* pipe = popen(("( " + script + "wait ) 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  EXPECT_EQ(out, "");
  ASSERT_EQ(RunCedev(root.Path(), "hosts list", &out), 0) << out;
  for (int i = 0; i < kWriters; ++i) {
    EXPECT_NE(out.find("host" + std::to_string(i) + ".zolfa.test 127.0.0.1:" + std::to_string(2000 + i) + "\n"),
              std::string::npos)
        << i;
  }
  // Only the table and its lock are left in the root.
  for (const auto& entry : std::filesystem::directory_iterator(root.Path())) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(name.rfind("hosts", 0) != 0 || name == "hosts" || name == "hosts.lock") << name;
  }
}

// A copy killed midway left its temporary file; the next copy into that
// folder removes it, and a copy itself leaves none.
TEST(CedevToolTest, TemporaryFilesOfKilledCopiesAreRemoved) {
  TempDeviceRoot root;
  pid_t dead = fork();
  if (dead == 0) _exit(0);
  ASSERT_GT(dead, 0);
  waitpid(dead, nullptr, 0);
  std::filesystem::path stale = root.Path() / "Temp" / (".cedev-" + std::to_string(dead) + ".tmp");
  std::ofstream(stale) << std::string(4096, 'x');
  std::ofstream(root.Path() / "in.bin") << "payload";
  std::string out;
  ASSERT_EQ(RunCedev(root.Path(), "files put '" + (root.Path() / "in.bin").string() + "' /Temp/a.bin", &out), 0) << out;
  EXPECT_EQ(root.ReadDeviceBytes(u"\\Temp\\a.bin"), "payload");
  EXPECT_FALSE(std::filesystem::exists(stale));
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(root.Path() / "Temp")) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"a.bin"});
}

}  // namespace
}  // namespace ce
