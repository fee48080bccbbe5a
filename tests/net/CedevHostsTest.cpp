// The device tool's host table commands, run as the program itself.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct ToolRun {
  int code = -1;
  std::string out;
};

class CedevHostsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "ce-hosts-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  ToolRun Cedev(const std::string& args) {
    std::string command = std::string(CEDEV_PATH) + " --device '" + root_.string() + "' hosts " +
                          args + " 2>/dev/null";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof(buffer), pipe)) run.out.append(buffer, n);
    int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }
  std::string HostsFile() {
    std::stringstream text;
    text << std::ifstream(root_ / "hosts").rdbuf();
    return text.str();
  }

  std::filesystem::path root_;
};

TEST_F(CedevHostsTest, AddListAndRemoveEditTheDeviceHostsFile) {
  EXPECT_EQ(Cedev("add login1.zolfa.test:80 127.0.0.1:40123").code, 0);
  EXPECT_EQ(Cedev("add ds.zolfa.test [::1]:40124").code, 0);
  EXPECT_EQ(Cedev("add login1.zolfa.test:80 127.0.0.1:40125").code, 0);
  ToolRun list = Cedev("list");
  EXPECT_EQ(list.code, 0);
  EXPECT_EQ(list.out, "login1.zolfa.test:80 127.0.0.1:40125\nds.zolfa.test [::1]:40124\n");
  EXPECT_EQ(Cedev("remove login1.zolfa.test:80").code, 0);
  EXPECT_EQ(Cedev("remove login1.zolfa.test:80").code, 1);
  EXPECT_EQ(HostsFile(), "ds.zolfa.test [::1]:40124\n");
}

TEST_F(CedevHostsTest, BadArgumentsExitWithUsageAndWriteNothing) {
  ASSERT_EQ(Cedev("add ds.zolfa.test 127.0.0.1:1").code, 0);
  std::string before = HostsFile();
  for (const char* args :
       {"", "add", "add ds.zolfa.test", "add ds.zolfa.test 127.0.0.1", "add ds.zolfa.test:0 127.0.0.1:1",
        "add 'a b' 127.0.0.1:1", "add x 127.0.0.1:70000", "add x 1.2.3.4:5 extra", "remove",
        "remove x:abc", "list extra", "frobnicate"}) {
    EXPECT_EQ(Cedev(args).code, 2) << args;
    EXPECT_EQ(HostsFile(), before) << args;
  }
}

}  // namespace
