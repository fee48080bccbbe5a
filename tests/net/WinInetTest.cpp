#include "platform/net/WinInet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Registry.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/TestHttpServer.h"

namespace ce {
namespace {

using test_support::TestHttpServer;

constexpr DWORD kServiceFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_HYPERLINK;

// One session, connection and request, closed in reverse order.
struct Exchange {
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;

  Exchange(const std::u16string& host, INTERNET_PORT port, const std::u16string& path,
           DWORD flags = kServiceFlags, const std::u16string& agent = u"ZOLFA (test)") {
    session = InternetOpen(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    connection = InternetConnect(session, host.c_str(), port, nullptr, nullptr,
                                 INTERNET_SERVICE_HTTP, 0, 0);
    request = HttpOpenRequest(connection, u"GET", path.c_str(), nullptr, nullptr, nullptr, flags, 0);
  }
  ~Exchange() {
    if (request) InternetCloseHandle(request);
    if (connection) InternetCloseHandle(connection);
    if (session) InternetCloseHandle(session);
  }
  DWORD Status() const {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfo(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                       nullptr))
      return 0;
    return status;
  }
  std::string ReadAll() const {
    std::string body;
    char buffer[4096];
    DWORD read = 0;
    while (InternetReadFile(request, buffer, sizeof(buffer), &read) && read > 0)
      body.append(buffer, read);
    return body;
  }
};

class WinInetTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(InternetOpenHandleCount(), 0); }
  void TearDown() override {
    SetInternetErrorDlgHook(nullptr);
    SetHttpObserver(nullptr);
    EXPECT_EQ(InternetOpenHandleCount(), 0);
  }
  INTERNET_PORT Port() const { return static_cast<INTERNET_PORT>(server_.Port()); }
  void MapHost(const std::string& line) {
    std::ofstream(root_.Path() / "hosts", std::ios::app) << line << "\n";
  }

  ce::testing::TempDeviceRoot root_;
  TestHttpServer server_;
};

TEST_F(WinInetTest, SendsGetWithAgentAndNoCacheHeadersAndReadsStatusAndBody) {
  server_.On("/ce_login.php", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<sid>abc</sid>", "text/plain");
  });
  {
    Exchange exchange(u"127.0.0.1", Port(), u"/ce_login.php?act=login");
    ASSERT_TRUE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(exchange.Status(), 200u);
    // The status as text, and the buffer-size protocol of the text form.
    DWORD size = 0;
    EXPECT_FALSE(HttpQueryInfo(exchange.request, HTTP_QUERY_STATUS_CODE, nullptr, &size, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, 8u);
    char16_t text[4] = {};
    ASSERT_TRUE(HttpQueryInfo(exchange.request, HTTP_QUERY_STATUS_CODE, text, &size, nullptr));
    EXPECT_EQ(std::u16string(text), u"200");
    EXPECT_EQ(exchange.ReadAll(), "<sid>abc</sid>");
  }
  {
    Exchange plain(u"127.0.0.1", Port(), u"/ce_login.php", INTERNET_FLAG_KEEP_CONNECTION);
    ASSERT_TRUE(HttpSendRequest(plain.request, nullptr, 0, nullptr, 0));
  }
  auto seen = server_.Requests();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].method, "GET");
  EXPECT_EQ(seen[0].target, "/ce_login.php?act=login");
  EXPECT_EQ(seen[0].Header("User-Agent"), "ZOLFA (test)");
  EXPECT_EQ(seen[0].Header("Cache-Control"), "no-cache");
  EXPECT_EQ(seen[0].Header("Pragma"), "no-cache");
  EXPECT_FALSE(seen[0].HasHeader("Accept"));
  EXPECT_FALSE(seen[1].HasHeader("Cache-Control"));
  EXPECT_FALSE(seen[1].HasHeader("Pragma"));
}

TEST_F(WinInetTest, ReadReturnsTheFirstPartWhileTheServerStillHoldsTheRest) {
  server_.On("/stream", [this](const httplib::Request&, httplib::Response& response) {
    auto step = std::make_shared<int>(0);
    response.set_chunked_content_provider("application/octet-stream",
                                          [this, step](size_t, httplib::DataSink& sink) {
                                            if ((*step)++ == 0) {
                                              sink.write("first part", 10);
                                              return true;
                                            }
                                            server_.WaitGate("rest");
                                            sink.write("the rest", 8);
                                            sink.done();
                                            return true;
                                          });
  });
  Exchange exchange(u"127.0.0.1", Port(), u"/stream");
  ASSERT_TRUE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
  ASSERT_EQ(exchange.Status(), 200u);
  char buffer[4096];
  DWORD read = 0;
  ASSERT_TRUE(InternetReadFile(exchange.request, buffer, sizeof(buffer), &read));
  EXPECT_EQ(std::string(buffer, read), "first part");
  server_.OpenGate("rest");
  EXPECT_EQ(exchange.ReadAll(), "the rest");
  EXPECT_FALSE(server_.GateTimedOut("rest"));
}

TEST_F(WinInetTest, LargeBodyArrivesWholeThroughSmallReads) {
  std::string blob(1 << 20, '\0');
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<char>((i * 7919) >> 3);
  server_.On("/blob", [&blob](const httplib::Request&, httplib::Response& response) {
    response.set_content(blob, "application/octet-stream");
  });
  Exchange exchange(u"127.0.0.1", Port(), u"/blob");
  ASSERT_TRUE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(exchange.ReadAll(), blob);
  DWORD length = 0;
  DWORD size = sizeof(length);
  ASSERT_TRUE(HttpQueryInfo(exchange.request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                            &length, &size, nullptr));
  EXPECT_EQ(length, blob.size());
}

TEST_F(WinInetTest, ErrorDialogAnswersFromTheHookAndASecondSendResends) {
  DWORD dialogFlags = FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS |
                      FLAGS_ERROR_UI_FLAGS_GENERATE_DATA;
  std::atomic<int> count{0};
  server_.On("/again", [&count](const httplib::Request&, httplib::Response& response) {
    response.set_content("answer " + std::to_string(++count), "text/plain");
  });
  Exchange exchange(u"127.0.0.1", Port(), u"/again");
  ASSERT_TRUE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(InternetErrorDlg(nullptr, exchange.request, ERROR_SUCCESS, dialogFlags, nullptr),
            static_cast<DWORD>(ERROR_SUCCESS));

  std::vector<DWORD> flagsSeen;
  SetInternetErrorDlgHook([&](HWND, HINTERNET request, DWORD error, DWORD flags) -> DWORD {
    EXPECT_EQ(request, exchange.request);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));
    flagsSeen.push_back(flags);
    return ERROR_INTERNET_FORCE_RETRY;
  });
  EXPECT_EQ(InternetErrorDlg(nullptr, exchange.request, ERROR_SUCCESS, dialogFlags, nullptr),
            ERROR_INTERNET_FORCE_RETRY);
  EXPECT_EQ(flagsSeen, std::vector<DWORD>{7u});

  ASSERT_TRUE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(exchange.ReadAll(), "answer 2");
  EXPECT_EQ(server_.Requests().size(), 2u);
}

TEST_F(WinInetTest, HostTableConnectsNamesToTheMappedAddress) {
  server_.On("/where", [](const httplib::Request& request, httplib::Response& response) {
    response.set_content(request.get_header_value("Host"), "text/plain");
  });
  MapHost("# the local service");
  MapHost("login1.zolfa.test:80 127.0.0.1:" + std::to_string(server_.Port()));
  MapHost("ds.zolfa.test 127.0.0.1:" + std::to_string(server_.Port()));
  struct Case {
    std::u16string host;
    INTERNET_PORT port;
    std::string hostHeader;
  };
  for (const Case& c : {Case{u"login1.zolfa.test", 80, "login1.zolfa.test"},
                        Case{u"LOGIN1.zolfa.test", 80, "LOGIN1.zolfa.test"},
                        Case{u"ds.zolfa.test", 8080, "ds.zolfa.test:8080"}}) {
    Exchange exchange(c.host, c.port, u"/where");
    ASSERT_TRUE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(exchange.Status(), 200u);
    EXPECT_EQ(exchange.ReadAll(), c.hostHeader);
  }
}

TEST_F(WinInetTest, PathGoesOutEscapedAndObserverSeesEachRequest) {
  std::vector<HttpEvent> events;
  SetHttpObserver([&events](const HttpEvent& event) { events.push_back(event); });
  MapHost("ds.zolfa.test:80 127.0.0.1:" + std::to_string(server_.Port()));
  {
    Exchange exchange(u"ds.zolfa.test", 80, u"/song.php?name=登 入&id=%41");
    ASSERT_TRUE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(exchange.Status(), 404u);
  }
  auto seen = server_.Requests();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].target, "/song.php?name=%B5n%20%A4J&id=%41");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].method, "GET");
  EXPECT_EQ(events[0].host, "ds.zolfa.test");
  EXPECT_EQ(events[0].port, 80);
  EXPECT_EQ(events[0].target, "/song.php?name=%B5n%20%A4J&id=%41");
  EXPECT_EQ(events[0].status, 404u);
  EXPECT_EQ(events[0].error, 0u);
}

TEST_F(WinInetTest, RefusedConnectionFailsTheSendAndHasNoStatus) {
  std::vector<HttpEvent> events;
  SetHttpObserver([&events](const HttpEvent& event) { events.push_back(event); });
  INTERNET_PORT closedPort = 0;
  {
    TestHttpServer gone;
    closedPort = static_cast<INTERNET_PORT>(gone.Port());
  }
  Exchange exchange(u"127.0.0.1", closedPort, u"/");
  EXPECT_FALSE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_CANNOT_CONNECT);
  EXPECT_EQ(exchange.Status(), 0u);
  EXPECT_EQ(GetLastError(), ERROR_HTTP_HEADER_NOT_FOUND);
  DWORD read = 1;
  char buffer[16];
  EXPECT_FALSE(InternetReadFile(exchange.request, buffer, sizeof(buffer), &read));
  EXPECT_EQ(read, 0u);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].status, 0u);
  EXPECT_EQ(events[0].error, ERROR_INTERNET_CANNOT_CONNECT);
}

TEST_F(WinInetTest, HandlesAreCheckedAndClosingASessionClosesItsChildren) {
  HINTERNET session = InternetOpen(u"a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection =
      InternetConnect(session, u"127.0.0.1", Port(), nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request =
      HttpOpenRequest(connection, nullptr, u"/", nullptr, nullptr, nullptr, kServiceFlags, 0);
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(InternetOpenHandleCount(), 3);

  EXPECT_EQ(HttpOpenRequest(session, u"GET", u"/", nullptr, nullptr, nullptr, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  EXPECT_EQ(HttpOpenRequest(connection, u"POST", u"/", nullptr, nullptr, nullptr, 0, 0), nullptr);
  EXPECT_EQ(InternetConnect(session, u"", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0),
            nullptr);
  EXPECT_EQ(InternetOpen(u"a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, INTERNET_FLAG_ASYNC),
            nullptr);
  DWORD status = 0;
  DWORD size = sizeof(status);
  EXPECT_FALSE(HttpQueryInfo(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                             &size, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);

  EXPECT_TRUE(InternetCloseHandle(session));
  EXPECT_EQ(InternetOpenHandleCount(), 0);
  EXPECT_FALSE(HttpSendRequest(request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(InternetCloseHandle(connection));
  EXPECT_EQ(server_.Requests().size(), 0u);
}

TEST_F(WinInetTest, HostNamesThatCannotBeInAnAddressFailTheSend) {
  for (const char16_t* host : {u"h.test:8080", u"a b", u"x/y", u"登入"}) {
    Exchange exchange(host, 80, u"/");
    ASSERT_NE(exchange.request, nullptr);
    EXPECT_FALSE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_NAME_NOT_RESOLVED);
  }
}

TEST_F(WinInetTest, PreconfiguredProxyComesFromTheRegistry) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER,
                           u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                           nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD enable = 1;
  RegSetValueEx(key, u"ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&enable), 4);
  std::u16string proxy = u"127.0.0.1:" + FromUtf8(std::to_string(server_.Port()));
  RegSetValueEx(key, u"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(proxy.c_str()),
                static_cast<DWORD>((proxy.size() + 1) * 2));
  RegCloseKey(key);

  Exchange exchange(u"far.zolfa.test", 80, u"/a b");
  ASSERT_TRUE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
  auto seen = server_.Requests();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].target, "http://far.zolfa.test/a%20b");
  EXPECT_EQ(seen[0].Header("Host"), "far.zolfa.test");
}

// Waits that end early: a receive time-out on the process clock, the
// caller's cancel flags, and a close from another thread.
class WinInetWaitTest : public WinInetTest {
 protected:
  void SetUp() override {
    WinInetTest::SetUp();
    server_.On("/silent", [this](const httplib::Request&, httplib::Response& response) {
      if (cancelInHandler_) cancel_.store(1);
      server_.WaitGate("answer");
      response.set_content("late", "text/plain");
    });
    server_.On("/stalls", [this](const httplib::Request&, httplib::Response& response) {
      auto step = std::make_shared<int>(0);
      response.set_chunked_content_provider("text/plain",
                                            [this, step](size_t, httplib::DataSink& sink) {
                                              if ((*step)++ == 0) {
                                                sink.write("head", 4);
                                                return true;
                                              }
                                              server_.WaitGate("answer");
                                              sink.done();
                                              return true;
                                            });
    });
  }
  void TearDown() override {
    server_.OpenGate("answer");
    WinInetTest::TearDown();
  }

  std::atomic<int32_t> cancel_{0};
  std::atomic<bool> cancelInHandler_{false};
};

TEST_F(WinInetWaitTest, SilentServerTimesOutOnTheProcessClock) {
  ce::testing::ScopedVirtualClock clock;
  Exchange exchange(u"127.0.0.1", Port(), u"/silent");
  DWORD error = 0;
  std::thread sender([&] {
    if (!HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0)) error = GetLastError();
  });
  ASSERT_TRUE(server_.WaitForRequests(1));
  clock->Advance(kDefaultReceiveTimeoutMs);
  sender.join();
  EXPECT_EQ(error, ERROR_INTERNET_TIMEOUT);
  EXPECT_EQ(exchange.Status(), 0u);
}

TEST_F(WinInetWaitTest, BodyThatStopsArrivingTimesOutAfterTheReceiveTimeOut) {
  ce::testing::ScopedVirtualClock clock;
  Exchange exchange(u"127.0.0.1", Port(), u"/stalls");
  DWORD receive = 5000;
  ASSERT_TRUE(InternetSetOption(exchange.request, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive,
                                sizeof(receive)));
  ASSERT_TRUE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
  char buffer[64];
  DWORD read = 0;
  ASSERT_TRUE(InternetReadFile(exchange.request, buffer, sizeof(buffer), &read));
  EXPECT_EQ(std::string(buffer, read), "head");
  clock->Advance(5000);
  EXPECT_FALSE(InternetReadFile(exchange.request, buffer, sizeof(buffer), &read));
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_TIMEOUT);
  EXPECT_EQ(read, 0u);
}

TEST_F(WinInetWaitTest, CancelFlagEndsAWaitingSendAndAWaitingRead) {
  cancelInHandler_ = true;
  for (const char16_t* path : {u"/silent", u"/stalls"}) {
    cancel_.store(0);
    Exchange exchange(u"127.0.0.1", Port(), path);
    std::atomic<int32_t> other{0};
    // Handles opened later inherit the flags.
    ASSERT_TRUE(InternetSetCancelFlags(exchange.connection, &other, &cancel_));
    HINTERNET request = HttpOpenRequest(exchange.connection, u"GET", path, nullptr, nullptr,
                                        nullptr, kServiceFlags, 0);
    bool sent = HttpSendRequest(request, nullptr, 0, nullptr, 0);
    if (sent) {
      char buffer[64];
      DWORD read = 0;
      ASSERT_TRUE(InternetReadFile(request, buffer, sizeof(buffer), &read));
      cancel_.store(1);
      EXPECT_FALSE(InternetReadFile(request, buffer, sizeof(buffer), &read));
    }
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_OPERATION_CANCELLED) << ToUtf8(path);
    InternetCloseHandle(request);
  }
}

TEST_F(WinInetWaitTest, ClosingTheSessionFromAnotherThreadEndsAWaitingRead) {
  Exchange exchange(u"127.0.0.1", Port(), u"/stalls");
  ASSERT_TRUE(HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0));
  char buffer[64];
  DWORD read = 0;
  ASSERT_TRUE(InternetReadFile(exchange.request, buffer, sizeof(buffer), &read));
  std::thread closer([&] {
    ASSERT_TRUE(server_.WaitForRequests(1));
    InternetCloseHandle(exchange.session);
  });
  EXPECT_FALSE(InternetReadFile(exchange.request, buffer, sizeof(buffer), &read));
  closer.join();
  exchange.session = exchange.connection = exchange.request = nullptr;
  EXPECT_EQ(InternetOpenHandleCount(), 0);
}

}  // namespace
}  // namespace ce
