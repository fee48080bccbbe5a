// The request log, the benchmark body, bad requests and start-up errors.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <unistd.h>

#include <regex>

#include "tests/server/ServiceQueries.h"
#include "tests/support/ServerProcess.h"

namespace zolfa_server_test {

using test_support::ServerProcess;
namespace {

using Q = ServiceQueries;

// Sends raw bytes on a new connection and returns the answer: its head and
// as many body bytes as its Content-Length says (or what came before the
// server closed).
std::string RawExchange(int port, const std::string& bytes) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    (void)!write(fd, bytes.data(), bytes.size());
    timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) {
      answer.append(buffer, static_cast<size_t>(n));
      size_t headEnd = answer.find("\r\n\r\n");
      if (headEnd == std::string::npos) continue;
      std::smatch length;
      std::string head = answer.substr(0, headEnd);
      size_t expected = std::regex_search(head, length, std::regex("Content-Length: (\\d+)"))
                            ? std::stoul(length[1])
                            : 0;
      if (answer.size() >= headEnd + 4 + expected) break;
    }
  }
  close(fd);
  return answer;
}

TEST(ServerBasics, RequestLogHasOneLinePerRequestInArrivalOrder) {
  ServerProcess server({"--fail-host", "login1.zolfa.test=404"});
  ASSERT_TRUE(server.Started());
  const std::string login = Q::Login(Q::kDemoAccount, Q::kDemoDigest);
  server.Get(login, "login1.zolfa.test");
  server.Get(login, "login2.zolfa.test");
  server.Get("/nowhere.php?a=1", "ds.zolfa.test");
  server.Get("/genre.php?raw=\xA6\x58", "ds.zolfa.test");
  RawExchange(server.Port(), "GET /ce_check.php HTTP/1.1\r\n\r\n");  // no Host header

  std::vector<std::string> lines = server.LogLines();
  ASSERT_EQ(lines.size(), 5u);
  const std::regex kLine(
      R"((\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z) (\S+) (\S+) (\d{3}) (\S+))");
  const std::tuple<std::string, std::string, std::string> kExpected[] = {
      {"login1.zolfa.test", login, "404"},
      {"login2.zolfa.test", login, "200"},
      {"ds.zolfa.test", "/nowhere.php?a=1", "404"},
      {"ds.zolfa.test", "/genre.php?raw=%A6X", "400"},
      {"-", "/ce_check.php", "400"},
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[i], match, kLine)) << lines[i];
    EXPECT_EQ(match[2], std::get<0>(kExpected[i]));
    EXPECT_EQ(match[3], std::get<1>(kExpected[i]));
    EXPECT_EQ(match[4], std::get<2>(kExpected[i]));
  }
  // The account's at sign stays escaped as it was sent.
  EXPECT_NE(lines[0].find("uid=demo%40zolfa.test&passwd=" + std::string(Q::kDemoDigest) + "&"),
            std::string::npos);
}

TEST(ServerBasics, BlobBodyIsDeterministicInEitherTransferForm) {
  ServerProcess server;
  ASSERT_TRUE(server.Started());
  for (const char* form : {"", "&chunked=1"}) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{300000}}) {
      auto result = server.Get("/bench/blob?bytes=" + std::to_string(size) + form, "127.0.0.1");
      ASSERT_TRUE(result);
      ASSERT_EQ(result->status, 200);
      ASSERT_EQ(result->body.size(), size);
      for (size_t i = 0; i < size; i += 997) {
        ASSERT_EQ(static_cast<unsigned char>(result->body[i]), i % 251) << i;
      }
      EXPECT_EQ(result->has_header("Content-Length"), *form == '\0');
    }
  }
  for (const char* bad : {"", "bytes=", "bytes=-1", "bytes=1x", "bytes=99999999999",
                          "bytes=5&chunked=yes"}) {
    auto result = server.Get(std::string("/bench/blob?") + bad, "127.0.0.1");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400) << bad;
  }
}

TEST(ServerBasics, MalformedRequestsGetErrorsAndTheServerGoesOn) {
  ServerProcess server;
  ASSERT_TRUE(server.Started());
  EXPECT_NE(RawExchange(server.Port(), "POST /ce_login.php HTTP/1.1\r\nHost: x\r\n"
                                       "Content-Length: 0\r\n\r\n")
                .find(" 405 "),
            std::string::npos);
  EXPECT_NE(RawExchange(server.Port(), "GET /" + std::string(20000, 'a') + " HTTP/1.1\r\n\r\n")
                .find(" 414 "),
            std::string::npos);
  RawExchange(server.Port(), "\x01\x02 garbage\r\n\r\n");
  RawExchange(server.Port(), "GET /ce_login.php?act=login&uid=%&passwd=%zz%4 HTTP/1.1\r\n\r\n");
  auto result = server.Get(Q::Login(Q::kDemoAccount, Q::kDemoDigest), "login1.zolfa.test");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(server.Stop(), 0);
}

TEST(ServerBasics, BadStartsEndWithAClearError) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("zolfa-srv-bad-accounts-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "accounts.txt") << "ok@zolfa.test pw\nbad@zolfa.test pw often\n";
  // The sample account keeps its password whatever a data folder says.
  std::filesystem::create_directories(dir / "sample");
  std::ofstream(dir / "sample" / "accounts.txt") << "# mine\ndemo@zolfa.test other\n";
  struct Case {
    std::vector<std::string> args;
    int exitStatus;
    const char* says;
  };
  const Case kCases[] = {
      {{"--port", "70000"}, 2, "--port"},
      {{"--bogus"}, 2, "unknown option"},
      {{"--port"}, 2, "needs a value"},
      {{"--port", "0", "--fault", "status=abc"}, 1, "status"},
      {{"--port", "0", "--data", dir.string()}, 1, "accounts.txt:2"},
      {{"--port", "0", "--data", (dir / "sample").string()}, 1, "accounts.txt:2: \"demo@zolfa.test\""},
  };
  for (const Case& c : kCases) {
    std::string errorText;
    EXPECT_EQ(ServerProcess::RunToExit(c.args, &errorText), c.exitStatus) << c.args[0];
    EXPECT_NE(errorText.find(c.says), std::string::npos) << errorText;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zolfa_server_test
