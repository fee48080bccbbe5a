#include "zolfa/service/FetchText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/TestHttpServer.h"

namespace zolfa {
namespace {

class FetchTextTest : public ::testing::Test {
 protected:
  // Writes the file as the program does: UTF-16LE without a byte order mark.
  void WriteFile(const std::u16string& devicePath, const std::u16string& text,
                 const std::string& extra = {}) {
    std::ofstream out(root_.HostPath(devicePath), std::ios::binary);
    for (char16_t c : text) out.put(static_cast<char>(c & 0xFF)).put(static_cast<char>(c >> 8));
    out << extra;
  }

  ce::testing::TempDeviceRoot root_;
};

TEST_F(FetchTextTest, LocalFileLinesAreJoinedWithoutLineEnds) {
  struct Case {
    std::u16string content;
    std::string extra;
    std::u16string text;
  };
  for (const Case& c : {Case{u"<rss>\n<item>登入</item>\n</rss>\n", "", u"<rss><item>登入</item></rss>"},
                        Case{u"one\r\ntwo\r\nthree", "", u"onetwothree"},
                        Case{u"", "", u""},
                        Case{u"odd", "\x41", u"odd"}}) {
    WriteFile(u"\\Temp\\list.xml", c.content, c.extra);
    EXPECT_EQ(FetchText(u"\\Temp\\list.xml"), c.text);
  }
  EXPECT_EQ(FetchText(u"\\Temp\\missing.xml"), u"");
  EXPECT_EQ(FetchText(u"\\..\\outside.xml"), u"");
}

TEST_F(FetchTextTest, HttpAddressIsFetchedFromPort80AndDecodedFromAnsi) {
  test_support::TestHttpServer server;
  std::ofstream(root_.Path() / "hosts") << "h.zolfa.test:80 127.0.0.1:" << server.Port() << "\n";
  server.On("/dir/file.xml", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(ce::WideToMulti(u"<title>登入</title>", ce::CP_ACP), "text/xml");
  });
  server.On("/empty.xml", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("", "text/xml");
  });
  EXPECT_EQ(FetchText(u"http://h.zolfa.test/dir/file.xml"), u"<title>登入</title>");
  EXPECT_EQ(FetchText(u"http://h.zolfa.test/empty.xml"), u"");
  EXPECT_EQ(FetchText(u"http://h.zolfa.test/absent.xml"), u"");
  // The port of an address is part of its host text, which no host has.
  EXPECT_EQ(FetchText(u"http://h.zolfa.test:80/dir/file.xml"), u"");
  auto seen = server.Requests();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].target, "/dir/file.xml");
  EXPECT_EQ(seen[0].Header("Host"), "h.zolfa.test");
  EXPECT_EQ(seen[0].Header("User-Agent"), "ZOLFA (login)");
}

}  // namespace
}  // namespace zolfa
