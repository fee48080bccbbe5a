// Login and session check against the real server binary.
#include <gtest/gtest.h>

#include <regex>

#include "tests/server/AnswerReader.h"
#include "tests/server/ServiceQueries.h"
#include "tests/support/ServerProcess.h"

namespace zolfa_server_test {

using test_support::ServerProcess;
namespace {

using Q = ServiceQueries;

// The elements of a login or check answer in the order the handset reads
// them.
const char* const kClientOrder[] = {"sid",           "ds",          "ds_port",   "cs",
                                    "cs_port",       "status",      "major_version",
                                    "minor_version", "us",          "us_port",   "ps",
                                    "ps_port",       "update_msg",  "update_msg2",
                                    "login_msg",     "is",          "is_port",   "ss",
                                    "ss_port"};

std::map<std::string, std::optional<std::string>> ReadInClientOrder(const std::string& body) {
  AnswerReader reader(body);
  std::map<std::string, std::optional<std::string>> values;
  for (const char* name : kClientOrder) values[name] = reader.Next(name);
  return values;
}

TEST(SessionProtocol, LoginAnswerHasEveryElementInTheClientsOrder) {
  ServerProcess server;
  ASSERT_TRUE(server.Started());
  auto result = server.Get(Q::Login(Q::kDemoAccount, Q::kDemoDigest), "login1.zolfa.test");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_NE(result->get_header_value("Content-Type").find("Big5"), std::string::npos);
  auto values = ReadInClientOrder(result->body);
  for (const char* name : kClientOrder) EXPECT_TRUE(values[name].has_value()) << name;
  EXPECT_TRUE(std::regex_match(*values["sid"], std::regex("[0-9a-f]{32}")));
  EXPECT_EQ(values["status"], "0");
  EXPECT_EQ(values["major_version"], "100");
  EXPECT_EQ(values["minor_version"], "13");
  EXPECT_EQ(values["login_msg"], "");
  const std::pair<const char*, const char*> kServers[] = {
      {"ds", "ds.zolfa.test"}, {"cs", "cs.zolfa.test"}, {"us", "us.zolfa.test"},
      {"ps", "ps.zolfa.test"}, {"is", "is.zolfa.test"}, {"ss", "ss.zolfa.test"}};
  for (const auto& [host, name] : kServers) {
    EXPECT_EQ(values[host], name);
    EXPECT_EQ(values[std::string(host) + "_port"], "80") << host;
  }
  EXPECT_EQ(AnswerReader::Big5ToUtf8(*values["update_msg2"]), "已有新版本,建議您更新");
}

TEST(SessionProtocol, LoginStatusFollowsAccountAndPassword) {
  // Accounts of the data folder: a clear password, an expired account, a
  // password of wide characters, a 32-character password (sent as it is),
  // a stored digest, and an account name in Chinese.
  ServerProcess server({}, "# test accounts\n"
                           "alice@zolfa.test secret\n"
                           "old@zolfa.test pw 1\n"
                           "wang@zolfa.test 密碼\n"
                           "long@zolfa.test abcdefghijklmnopqrstuvwxyz012345\n"
                           "hash@zolfa.test md5:C8D1AE9296335B1CFC3D0D1B47B664A7\n"
                           "王小明@zolfa.test pw\n");
  ASSERT_TRUE(server.Started());
  struct Case {
    std::string uid;
    std::string passwd;
    const char* status;
    bool session;
  };
  const Case kCases[] = {
      {"demo@zolfa.test", Q::kDemoDigest, "0", true},
      {"demo@zolfa.test", "00000000000000000000000000000000", "-2", false},
      {"nobody@zolfa.test", Q::kDemoDigest, "-1", false},
      {"alice@zolfa.test", "5ebe2294ecd0e0f08eab7690d2a6ee69", "0", true},  // MD5("secret")
      {"old@zolfa.test", "8fe4c11451281c094a6578e6ddbf5eed", "1", false},   // MD5("pw")
      {"wang@zolfa.test", "765236684ed90bfc6317244d0aa8c4f2", "0", true},   // MD5(5B C6)
      {"long@zolfa.test", "abcdefghijklmnopqrstuvwxyz012345", "0", true},
      {"hash@zolfa.test", "c8d1ae9296335b1cfc3d0d1b47b664a7", "0", true},   // MD5("x y")
      {AnswerReader::Utf8ToBig5("王小明@zolfa.test"), "8fe4c11451281c094a6578e6ddbf5eed", "0",
       true},
  };
  for (const Case& c : kCases) {
    auto result = server.Get(Q::Login(c.uid, c.passwd), "login2.zolfa.test");
    ASSERT_TRUE(result);
    ASSERT_EQ(result->status, 200) << c.uid;
    auto values = ReadInClientOrder(result->body);
    EXPECT_EQ(values["status"], c.status) << c.uid;
    EXPECT_EQ(!values["sid"]->empty(), c.session) << c.uid;
  }
}

TEST(SessionProtocol, CheckKeepsALiveSessionAndRefusesOthers) {
  ServerProcess server;
  ASSERT_TRUE(server.Started());
  std::string sid = Q::LoginSid(server);
  ASSERT_FALSE(sid.empty());

  auto alive = server.Get(Q::Check(sid), "ss.zolfa.test");
  ASSERT_TRUE(alive);
  auto values = ReadInClientOrder(alive->body);
  EXPECT_EQ(values["sid"], sid);
  EXPECT_EQ(values["status"], "0");
  EXPECT_EQ(values["ss"], "ss.zolfa.test");

  // Unknown, empty and ended sessions: no sid, status -3 and a message in
  // code page 950.
  ASSERT_EQ(server.Control("expire=" + sid), 200);
  for (const std::string& other : {std::string("0123"), std::string(), sid}) {
    auto refused = server.Get(Q::Check(other), "ss.zolfa.test");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 200);
    auto v = ReadInClientOrder(refused->body);
    EXPECT_EQ(v["sid"], "");
    EXPECT_EQ(v["status"], "-3");
    // "連線已逾時,請重新登入" in Big5.
    EXPECT_EQ(*v["login_msg"], "\xB3\x73\xBD\x75\xA4\x77\xB9\x4F\xAE\xC9\x2C\xBD\xD0\xAD\xAB"
                               "\xB7\x73\xB5\x6E\xA4\x4A");
    EXPECT_EQ(AnswerReader::Big5ToUtf8(*v["login_msg"]), "連線已逾時,請重新登入");
  }
}

TEST(SessionProtocol, RequestsNotInTheHandsetsFormAreRejected) {
  const std::string device = Q::Device("");
  const std::string login = "/ce_login.php?act=login&uid=demo%40zolfa.test&passwd=" +
                            std::string(Q::kDemoDigest) + "&";
  const std::string kBad[] = {
      "/ce_login.php?uid=demo%40zolfa.test&act=login&passwd=x&" + device,  // key order
      "/ce_login.php?act=logout&uid=demo%40zolfa.test&passwd=x&" + device,
      login + "hw_vendor=ulda&hw_model=WINCE&hw_id=000000&zolfaid=ZOLFA-" + std::string(42, 'A') +
          "&hw_version=01000013&sid=",
      login + "hw_vendor=ULDA&hw_model=WINCE&hw_id=00a1&zolfaid=ZOLFA-" + std::string(42, 'A') +
          "&hw_version=01000013&sid=",
      login + "hw_vendor=ULDA&hw_model=WINCE&hw_id=000000&zolfaid=ZOLFA-ABC&hw_version=01000013&sid=",
      login + "hw_vendor=ULDA&hw_model=WINCE&hw_id=000000&zolfaid=ZOLFA-" + std::string(42, 'A') +
          "&hw_version=0100013&sid=",
      login + "hw_vendor=ULDA&hw_model=WINCE&hw_id=000000&zolfaid=ZOLFA-" + std::string(42, 'A') +
          "&hw_version=01000013",  // no sid
      "/ce_check.php?" + device + "&extra=1",
      "/ce_check.php",
  };
  ServerProcess strict;
  ServerProcess lenient({"--lenient"});
  ASSERT_TRUE(strict.Started() && lenient.Started());
  for (const std::string& target : kBad) {
    auto result = strict.Get(target, "login1.zolfa.test");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400) << target;
    EXPECT_FALSE(result->body.empty());
  }
  auto relaxed = lenient.Get(kBad[2], "login1.zolfa.test");
  ASSERT_TRUE(relaxed);
  EXPECT_EQ(relaxed->status, 200);
  EXPECT_EQ(AnswerReader(relaxed->body).Next("status"), "0");
}

}  // namespace
}  // namespace zolfa_server_test
