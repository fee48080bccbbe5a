#include "zolfa/service/HttpGet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/net/WinInet.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/TestHttpServer.h"

namespace zolfa {
namespace {

struct Answer {
  int32_t result = 0;
  bool hasBody = false;
  uint32_t length = 0;
  std::string bytes;     // raw form: the counted bytes
  std::u16string text;   // text form: the counted units
  bool terminated = false;
};

class HttpGetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ce::InternetOpenHandleCount(), 0);
    std::ofstream(root_.Path() / "hosts")
        << "svc.zolfa.test:80 127.0.0.1:" << server_.Port() << "\n";
  }
  void TearDown() override {
    ce::SetInternetErrorDlgHook(nullptr);
    SetHttpReallocForTesting(nullptr);
    EXPECT_EQ(ce::InternetOpenHandleCount(), 0);
  }

  void Serve(const std::string& path, std::string body, int status = 200) {
    server_.On(path, [body, status](const httplib::Request&, httplib::Response& response) {
      response.status = status;
      response.set_content(body, "text/plain");
    });
  }

  Answer Get(const std::u16string& path, bool toText = false, uint32_t codePage = 0,
             const std::atomic<int32_t>* cancelA = nullptr,
             const std::atomic<int32_t>* cancelB = nullptr, uint32_t port = 80,
             const std::u16string& host = u"svc.zolfa.test") {
    void* body = reinterpret_cast<void*>(1);
    Answer answer;
    answer.length = 12345;
    answer.result = HttpGet(u"ZOLFA (test)", host, path, port, cancelA, cancelB, toText, codePage,
                            &body, &answer.length);
    answer.hasBody = body != nullptr;
    if (body && toText) {
      auto* text = static_cast<const char16_t*>(body);
      answer.text.assign(text, answer.length / 2);
      answer.terminated = text[answer.length / 2] == u'\0';
    } else if (body) {
      auto* bytes = static_cast<const char*>(body);
      answer.bytes.assign(bytes, answer.length);
      answer.terminated = bytes[answer.length] == '\0';
    }
    HttpFreeBody(body);
    return answer;
  }

  ce::testing::TempDeviceRoot root_;
  test_support::TestHttpServer server_;
};

TEST_F(HttpGetTest, RawBodiesOfEverySizeAroundTheChunkArriveWholeAndTerminated) {
  for (size_t size : {0, 1, 4095, 4096, 4097, 8193, 100000}) {
    std::string blob(size, '\0');
    for (size_t i = 0; i < size; ++i) blob[i] = static_cast<char>('a' + i % 26);
    Serve("/blob", blob);
    Answer answer = Get(u"/blob");
    EXPECT_EQ(answer.result, 200) << size;
    ASSERT_TRUE(answer.hasBody) << size;
    EXPECT_EQ(answer.length, size);
    EXPECT_EQ(answer.bytes, blob);
    EXPECT_TRUE(answer.terminated);
  }
}

TEST_F(HttpGetTest, OtherStatusesGiveNoBody) {
  Serve("/missing", "gone", 404);
  Serve("/broken", "oops", 500);
  for (const char16_t* path : {u"/missing", u"/broken", u"/unknown"}) {
    Answer answer = Get(path, true);
    EXPECT_EQ(answer.result, path == std::u16string(u"/broken") ? 500 : 404);
    EXPECT_FALSE(answer.hasBody);
    EXPECT_EQ(answer.length, 0u);
  }
}

TEST_F(HttpGetTest, TextBodiesDecodeInTheGivenCodePageUpToTheFirstZero) {
  std::string utf8 = ce::ToUtf8(u"登入 ok");
  std::string ansi = ce::WideToMulti(u"<msg>登入失敗</msg>", ce::CP_ACP);
  Serve("/utf8", utf8);
  Serve("/ansi", ansi);
  Serve("/zero", std::string("ab\0cd", 5));
  struct Case {
    const char16_t* path;
    uint32_t codePage;
    std::u16string text;
  };
  for (const Case& c : {Case{u"/utf8", 65001, u"登入 ok"},
                        Case{u"/ansi", 0, ce::MultiToWide(ansi, 950)},
                        Case{u"/zero", 0, u"ab"}}) {
    Answer answer = Get(c.path, true, c.codePage);
    EXPECT_EQ(answer.result, 200);
    EXPECT_EQ(answer.text, c.text);
    EXPECT_EQ(answer.length, c.text.size() * 2);
    EXPECT_TRUE(answer.terminated);
  }
  EXPECT_EQ(Get(u"/ansi", true, 0).text, u"<msg>登入失敗</msg>");
  Answer raw = Get(u"/zero");
  EXPECT_EQ(raw.length, 5u);
  EXPECT_EQ(raw.bytes, std::string("ab\0cd", 5));
}

TEST_F(HttpGetTest, CancelBeforeTheRequestSendsNothing) {
  Serve("/ok", "fine");
  std::atomic<int32_t> cancel{1};
  for (int which = 0; which < 2; ++which) {
    Answer answer = which == 0 ? Get(u"/ok", false, 0, &cancel) : Get(u"/ok", false, 0, nullptr, &cancel);
    EXPECT_EQ(answer.result, -1);
    EXPECT_FALSE(answer.hasBody);
    EXPECT_EQ(answer.length, 0u);
  }
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(HttpGetTest, CancelDuringTheBodyGivesMinusOneAndClosesEveryHandle) {
  std::atomic<int32_t> abortRequests{0};
  std::atomic<int32_t> stale{0};
  server_.On("/slow", [&](const httplib::Request&, httplib::Response& response) {
    auto step = std::make_shared<int>(0);
    response.set_chunked_content_provider("text/plain", [&, step](size_t, httplib::DataSink& sink) {
      if ((*step)++ == 0) {
        sink.write("part of the body", 16);
        return true;
      }
      // The user cancels while the client waits for the rest.
      stale.store(1);
      server_.WaitGate("never");
      sink.done();
      return true;
    });
  });
  Answer answer = Get(u"/slow", true, 0, &abortRequests, &stale);
  EXPECT_EQ(answer.result, -1);
  EXPECT_FALSE(answer.hasBody);
  EXPECT_EQ(answer.length, 0u);
  EXPECT_EQ(ce::InternetOpenHandleCount(), 0);
  server_.OpenGate("never");
}

TEST_F(HttpGetTest, ErrorDialogRetriesResendTheSameRequestAsOftenAsAsked) {
  int retries = 3;
  ce::SetInternetErrorDlgHook([&retries](ce::HWND owner, ce::HINTERNET, ce::DWORD error,
                                         ce::DWORD flags) -> ce::DWORD {
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(flags, 7u);
    return retries-- > 0 ? ce::ERROR_INTERNET_FORCE_RETRY : ce::ERROR_SUCCESS;
  });
  std::atomic<int> served{0};
  server_.On("/login", [&served](const httplib::Request&, httplib::Response& response) {
    response.set_content("answer " + std::to_string(++served), "text/plain");
  });
  Answer answer = Get(u"/login?uid=a%40b");
  EXPECT_EQ(answer.result, 200);
  EXPECT_EQ(answer.bytes, "answer 4");
  auto seen = server_.Requests();
  ASSERT_EQ(seen.size(), 4u);
  for (const auto& request : seen) {
    EXPECT_EQ(request.target, "/login?uid=a%40b");
    EXPECT_EQ(request.Header("User-Agent"), "ZOLFA (test)");
    EXPECT_EQ(request.Header("Cache-Control"), "no-cache");
  }
}

TEST_F(HttpGetTest, FailuresOfTheClientBecomeNegativeCodes) {
  // No connection object for an empty host name.
  EXPECT_EQ(Get(u"/", false, 0, nullptr, nullptr, 80, u"").result, -12);
  // Nothing listens: no status can be read.
  uint32_t closedPort = 0;
  {
    test_support::TestHttpServer gone;
    closedPort = static_cast<uint32_t>(gone.Port());
  }
  Answer refused = Get(u"/", false, 0, nullptr, nullptr, closedPort, u"127.0.0.1");
  EXPECT_EQ(refused.result, -14);
  EXPECT_FALSE(refused.hasBody);
  EXPECT_EQ(refused.length, 0u);
}

TEST_F(HttpGetTest, PortAbove65535IsCutToItsLow16Bits) {
  Serve("/ok", "fine");
  EXPECT_EQ(Get(u"/ok", false, 0, nullptr, nullptr, 0x10000u + 80).bytes, "fine");
}

// Fails the allocation with the given number, counting from 1.
int gAllocation = 0;
int gFailAt = 0;
void* FailingRealloc(void* block, size_t size) {
  if (++gAllocation == gFailAt) return nullptr;
  return std::realloc(block, size);
}

TEST_F(HttpGetTest, FailedAllocationsReleaseEverythingAndReportNoMemory) {
  Serve("/big", std::string(20000, 'x'));
  Serve("/small", "tiny");
  SetHttpReallocForTesting(FailingRealloc);
  struct Case {
    const char16_t* path;
    bool toText;
    int failAt;
  };
  // 1: the first buffer; 2: growing it; 3 on /small: the text buffer (the
  // body arrives in one read, and the growth after it is allocation 2).
  for (const Case& c : {Case{u"/big", false, 1}, Case{u"/big", false, 2}, Case{u"/big", true, 4},
                        Case{u"/small", true, 3}}) {
    gAllocation = 0;
    gFailAt = c.failAt;
    Answer answer = Get(c.path, c.toText);
    EXPECT_EQ(answer.result, kHttpNoMemory) << c.failAt;
    EXPECT_FALSE(answer.hasBody);
    EXPECT_EQ(answer.length, 0u);
  }
  gFailAt = 0;
  EXPECT_EQ(Get(u"/small", true).text, u"tiny");
}

}  // namespace
}  // namespace zolfa
