// The browse requests against the real zolfa-server on loopback: the service
// manager logs in through the device's host table, the workers fetch with
// HttpGet, and the items reach a browse window on the test's thread through
// the core controller, as the browse screen receives them.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/ServiceHosts.h"
#include "tests/support/ServiceReceiver.h"
#include "tests/support/Wait.h"
#include "zolfa/app/CCore.h"
#include "zolfa/browse/BrowseIndexTables.h"
#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/BrowseMessages.h"
#include "zolfa/browse/BrowseRequests.h"
#include "zolfa/service/LoginRules.h"
#include "zolfa/service/PasswordDigest.h"
#include "zolfa/service/ServiceMessages.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace zolfa {
namespace {

// Field n (from 0) of a request log line: time, host, target, status, agent.
std::string LogField(const std::string& line, int n) {
  size_t start = 0;
  for (int i = 0; i < n && start != std::string::npos; ++i) {
    start = line.find(' ', start);
    if (start != std::string::npos) ++start;
  }
  if (start == std::string::npos) return std::string();
  return line.substr(start, line.find(' ', start) - start);
}

using test_support::ServiceReceiver;
using test_support::ServerProcess;

// The main screen as far as the browse results need it: its browse window.
class BrowseOnlyMainScreen : public IMainScreen, public ICurrentPlaylist,
                             public IPersonalLibraryScreen {
 public:
  explicit BrowseOnlyMainScreen(ce::HWND browseWindow) : browseWindow_(browseWindow) {}
  void SelectTab(int32_t) override {}
  int32_t CurrentTab() const override { return kTabOnlineMusic; }
  ICurrentPlaylist* CurrentPlaylist() override { return this; }
  IPersonalLibraryScreen* PersonalLibrary() override { return this; }
  ce::HWND BrowseWindow() const override { return browseWindow_; }
  void AddItems(const std::vector<FeedItem>&, bool, bool) override {}
  void AddItem(const FeedItem&, bool) override {}
  int PlayNextSong() override { return 0; }
  void Stop() override {}
  void SaveState() override {}
  void SetAlbumCover(std::u16string_view) override {}
  void AddPlaylist(std::u16string_view, const std::vector<FeedItem>&) override {}
  void SelectLastPlaylist() override {}

 private:
  ce::HWND browseWindow_;
};

class BrowseE2ETest : public ::testing::Test {
 protected:
  BrowseE2ETest()
      : browse_([this](ce::HWND window, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam) {
          return OnBrowseMessage(window, message, wParam, lParam);
        }),
        main_(browse_.Handle()) {}

  void SetUp() override {
    server_ = std::make_unique<ServerProcess>();
    ASSERT_TRUE(server_->Started());
    test_support::MapServiceHosts(server_->Port());

    ZolfaNetMgrPPC::Options options;
    options.workerPriority = ce::THREAD_PRIORITY_NORMAL;  // a busy test machine cannot starve them
    manager_ = std::make_unique<ZolfaNetMgrPPC>(std::move(options));
    receiver_.SetHandler([this](const ServiceReceiver::Received& r) {
      if (r.message == MSG_LOGIN_DONE) {
        manager_->SetOnline(ApplyLoginRules(*r.result).outcome == LoginOutcome::kAccepted);
      }
    });
    core_.AttachMainScreen(main_);
    requests_ = std::make_unique<BrowseRequests>(*manager_, core_);

    manager_->Login(receiver_.Window(), u"demo@zolfa.test", PasswordDigest(u"zolfa"), 0);
    ASSERT_TRUE(receiver_.WaitForMessages(1));
    ASSERT_TRUE(manager_->WaitForLoginSettled(test_support::kWaitLimitMs));
    ASSERT_EQ(manager_->LoggedInFlag().load(), 1);
  }

  void TearDown() override {
    requests_.reset();
    manager_.reset();
    receiver_.SetHandler(nullptr);
  }

  // Queues a request and pumps until its end arrives; the items in arrival
  // order.
  std::vector<FeedItem> Fetch(int32_t kind, const std::u16string& genre,
                              const IndexQuery& index = {u"", u""},
                              const std::u16string& artist = u"0",
                              const std::u16string& album = u"0") {
    items_.clear();
    ended_ = false;
    id_ = requests_->QueueBrowseRequest(kind, genre, index.indexType, index.index, artist, album,
                                        u"0", u"AUTH", u"");
    EXPECT_GT(id_, 0);
    EXPECT_TRUE(ce::testing::PumpUntil([this] { return ended_; }, 60000));
    return items_;
  }

  // The titles of the last request's answer as the server sent it: the
  // logged path asked again, its body read without the client's parser.
  std::vector<std::u16string> ServerTitles(const std::string& path, const char* tag,
                                           ce::UINT codePage) {
    std::vector<std::u16string> titles;
    std::string body = ce::ToUtf8(ce::MultiToWide(ServerBody(path), codePage));
    std::regex element(std::string("<") + tag + ">([^<]*)</" + tag + ">");
    for (std::sregex_iterator it(body.begin(), body.end(), element), end; it != end; ++it) {
      titles.push_back(ce::FromUtf8((*it)[1].str()));
    }
    return titles;
  }

  // The bytes of the last request to path, asked again ("" on failure).
  std::string ServerBody(const std::string& path) {
    std::string target;
    for (const std::string& line : server_->LogLines()) {
      size_t at = line.find(" " + path + "?");
      if (at != std::string::npos) target = LogField(line, 2);
    }
    httplib::Result result = server_->Get(target);
    return result && result->status == 200 ? result->body : std::string();
  }

  static std::string PercentEncoded(const std::string& value) {
    std::string out;
    for (unsigned char c : value) {
      if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '/') {
        out += static_cast<char>(c);
      } else {
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", c);
        out += escaped;
      }
    }
    return out;
  }

  static std::vector<std::u16string> Titles(const std::vector<FeedItem>& items) {
    std::vector<std::u16string> titles;
    for (const FeedItem& item : items) titles.push_back(item.title);
    return titles;
  }

  ce::LRESULT OnBrowseMessage(ce::HWND window, ce::UINT message, ce::WPARAM wParam,
                              ce::LPARAM lParam) {
    if (message == MSG_BROWSE_ITEM) {
      std::unique_ptr<FeedItem> item(reinterpret_cast<FeedItem*>(lParam));
      if (static_cast<int32_t>(wParam) == id_) items_.push_back(*item);
      return 0;
    }
    if (message == MSG_BROWSE_END) {
      if (static_cast<int32_t>(wParam) == id_) ended_ = true;
      return 0;
    }
    return ce::DefWindowProc(window, message, wParam, lParam);
  }

  ce::testing::TempDeviceRoot root_;
  ce::testing::ScopedVirtualClock clock_;
  std::unique_ptr<ServerProcess> server_;
  ServiceReceiver receiver_;
  ce::testing::TestWindow browse_;
  BrowseOnlyMainScreen main_;
  CCore core_;
  std::unique_ptr<ZolfaNetMgrPPC> manager_;
  std::unique_ptr<BrowseRequests> requests_;
  int32_t id_ = 0;
  bool ended_ = false;
  std::vector<FeedItem> items_;
};

TEST_F(BrowseE2ETest, GenreArtistAlbumAndSongListsArriveInAnswerOrder) {
  std::vector<FeedItem> genres = Fetch(kBrowseGenreList, u"");
  ASSERT_EQ(genres.size(), 6u);
  EXPECT_EQ(Titles(genres), ServerTitles("/genre.php", "text", 950));
  EXPECT_EQ(genres[0].title, u"華語流行");
  EXPECT_EQ(genres[0].category, u"folder");

  // Artists of the first genre under ㄌ.
  IndexQuery index = IndexQueryOf(kIndexTablePhonetic, 8);
  std::vector<FeedItem> artists = Fetch(kBrowseArtistList, genres[0].link, index);
  ASSERT_EQ(artists.size(), 2u);
  EXPECT_EQ(Titles(artists), ServerTitles("/artist.php", "text", 950));

  std::vector<FeedItem> albums = Fetch(kBrowseAlbumList, genres[0].link, index, artists[0].link);
  ASSERT_EQ(albums.size(), 2u);
  EXPECT_EQ(Titles(albums), ServerTitles("/album.php", "text", 950));

  std::vector<FeedItem> songs =
      Fetch(kBrowseSongList, genres[0].link, index, artists[0].link, albums[0].link);
  ASSERT_EQ(songs.size(), 4u);
  EXPECT_EQ(Titles(songs), ServerTitles("/song.php", "text", 950));
  for (const FeedItem& song : songs) EXPECT_FALSE(song.link.empty());

  // The compilations entry is sent as 99.
  std::vector<FeedItem> compilations =
      Fetch(kBrowseArtistList, genres[0].link, IndexQueryOf(kIndexTableLetters, 0));
  ASSERT_EQ(compilations.size(), 1u);
  EXPECT_EQ(compilations[0].title, u"群星");

  // The server validates every parameter as the handset sends it.
  int browseRequests = 0;
  for (const std::string& line : server_->LogLines()) {
    if (line.find(" ds.zolfa.test /") == std::string::npos) continue;
    if (line.find("/_control") != std::string::npos) continue;
    ++browseRequests;
    EXPECT_EQ(LogField(line, 3), "200") << line;
  }
  EXPECT_GE(browseRequests, 5);
  EXPECT_TRUE(receiver_.Numbers() == std::vector<ce::UINT>{MSG_LOGIN_DONE});
}

TEST_F(BrowseE2ETest, TopicPagesArriveDecodedFromUtf8IncludingEscapedTags) {
  std::vector<FeedItem> root = Fetch(kBrowseTopicPage, u"");
  ASSERT_EQ(root.size(), 5u);
  EXPECT_EQ(Titles(root), ServerTitles("/hw_topic.php", "ItemName", 65001));
  EXPECT_EQ(root[0].title, u"本週熱門");
  EXPECT_EQ(root[2].link, u"http://ds.zolfa.test/feed/radio.xml");

  // "classics" is written with escaped inner tags; its tracks are songs.
  std::vector<FeedItem> classics = Fetch(kBrowseTopicFolder, u"classics");
  ASSERT_EQ(classics.size(), 5u);
  for (const FeedItem& item : classics) {
    EXPECT_EQ(item.category, u"song");
    EXPECT_FALSE(item.link.empty());
  }

  // An empty page still ends.
  EXPECT_TRUE(Fetch(kBrowseTopicFolder, u"soon").empty());
}

TEST_F(BrowseE2ETest, AHugeAnswerWithBytesOutsideTheCodePageArrivesWhole) {
  ASSERT_EQ(Fetch(kBrowseGenreList, u"").size(), 6u);
  // The server's own genre answer, its elements made five titles of 1 MiB
  // with a byte every 4 KiB that code page 950 does not know (0xFF). Ten
  // times that passes as well, but the sanitizer build copies the body at
  // every read (it grows by one read at a time), which takes minutes there.
  const int kTitleChunks = 256;
  std::string body = ServerBody("/genre.php");
  size_t first = body.find("<genre>");
  size_t last = body.rfind("</genre>");
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(last, std::string::npos);
  last += std::string("</genre>").size();
  std::string element = body.substr(first, body.find("</genre>", first) + 8 - first);
  size_t text = element.find("<text>");
  ASSERT_NE(text, std::string::npos);
  text += 6;
  std::string filler;
  for (int i = 0; i < kTitleChunks; ++i) filler += std::string(4095, 'a') + "\xFF";
  std::string huge = body.substr(0, first);
  for (int i = 0; i < 5; ++i) huge += element.substr(0, text) + filler + element.substr(text);
  huge += body.substr(last);
  ASSERT_GT(huge.size(), 5u * 4096 * kTitleChunks);
  // Body files given through the control endpoint come from the server's data folder.
  std::string file = (server_->DataDir() / "huge-genres.txt").string();
  {
    std::ofstream out(file, std::ios::binary);
    out << huge;
  }
  ASSERT_EQ(server_->Control("fault=" + PercentEncoded("path=/genre.php,body-file=" + file)), 200);

  std::vector<FeedItem> items = Fetch(kBrowseGenreList, u"");
  ASSERT_EQ(items.size(), 5u);
  std::u16string expected;
  for (int i = 0; i < kTitleChunks; ++i) expected += std::u16string(4095, u'a') + u"?";
  for (const FeedItem& item : items) {
    EXPECT_EQ(item.title.size(), expected.size() + 4);  // and the genre's own name
    EXPECT_EQ(item.title.compare(0, expected.size(), expected), 0);
    EXPECT_EQ(item.category, u"folder");
  }
  EXPECT_TRUE(receiver_.Numbers() == std::vector<ce::UINT>{MSG_LOGIN_DONE});
}

TEST_F(BrowseE2ETest, ExpiredSessionShowsTheServersMessageAndReportsNoNetworkFailure) {
  ASSERT_EQ(server_->Control("expire=all"), 200);
  items_.clear();
  ended_ = false;
  id_ = requests_->QueueBrowseRequest(kBrowseGenreList, u"", u"", u"", u"", u"", u"", u"", u"");
  ASSERT_GT(id_, 0);
  ASSERT_TRUE(receiver_.WaitForMessages(2));
  ASSERT_TRUE(requests_->WaitForWorkersEnded(test_support::kWaitLimitMs));
  std::vector<ServiceReceiver::Received> messages = receiver_.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].message, MSG_SESSION_ERROR);
  EXPECT_EQ(messages[1].text, u"連線已逾時,請重新登入");
  ce::testing::PumpUntilIdle();
  EXPECT_FALSE(ended_);
  EXPECT_TRUE(items_.empty());
}

}  // namespace
}  // namespace zolfa
