// The browse request queue and its workers against a scripted data server,
// a logged-in service manager and a real top-level dialog window on its own
// thread. The clock is virtual and stands still unless a test moves it, so
// request identifiers are predictable.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "platform/testing/TestSupport.h"
#include "tests/support/BrowseSession.h"
#include "tests/support/Wait.h"
#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/BrowseRequests.h"
#include "zolfa/service/DeviceParameters.h"

namespace {

using test_support::kDataHost;
using test_support::kDataPort;
using test_support::kSid;
using test_support::LoggedInSession;
using test_support::RecordingPoster;
using test_support::ScriptedDataServer;
using zolfa::BrowseRequests;
using zolfa::FeedItem;
using zolfa::MSG_REQUEST_FAILED;
using zolfa::MSG_SESSION_ERROR;

constexpr char16_t kArtists[] =
    u"<artist_list><artist><text>周杰倫</text><id>a1</id></artist>"
    u"<artist><text>Beyond</text><id>a2</id></artist>"
    u"<artist><text>S.H.E</text><id></id></artist></artist_list>";
constexpr char16_t kAlbums[] = u"<album_list><album><text>范特西</text><id>b1</id></album></album_list>";
constexpr char16_t kSongs[] = u"<song_list><song><text>簡單愛</text><song_id>s1</song_id></song></song_list>";
constexpr char16_t kTopics[] =
    u"<Topic><Item><ItemType>folder</ItemType><ItemName>新歌</ItemName><ItemID>t1</ItemID></Item>"
    u"<Item><ItemType>track</ItemType><ItemName>Song</ItemName><ItemID>s9</ItemID></Item></Topic>";
constexpr char16_t kSessionError[] =
    u"<artist_list><sid_errno>1</sid_errno><sid_errmsg>連線已逾時,請重新登入</sid_errmsg></artist_list>";

class BrowseRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(session_.LogIn());
    StartRequests();
  }

  void TearDown() override {
    server_.ReleaseAll();
    requests_.reset();
  }

  void StartRequests(BrowseRequests::Options options = {}) {
    options.transport = server_.Transport();
    requests_ = std::make_unique<BrowseRequests>(session_.Manager(), poster_, std::move(options));
  }

  int32_t Queue(int32_t kind, const std::u16string& genre = u"g1") {
    return requests_->QueueBrowseRequest(kind, genre, u"1", u"37", u"a1", u"b1", u"0", u"AUTH",
                                         u"");
  }

  // Waits until every worker has ended on its own.
  void WaitUntilIdle() { ASSERT_TRUE(requests_->WaitForWorkersEnded(test_support::kWaitLimitMs)); }

  std::vector<std::u16string> Titles(int32_t id) {
    std::vector<std::u16string> titles;
    for (const RecordingPoster::Event& e : poster_.EventsOf(id)) {
      if (!e.end) titles.push_back(e.item.title);
    }
    return titles;
  }

  bool Ended(int32_t id) {
    std::vector<RecordingPoster::Event> events = poster_.EventsOf(id);
    return !events.empty() && events.back().end;
  }

  ce::testing::TempDeviceRoot root_;
  ce::testing::ScopedVirtualClock clock_{0};
  LoggedInSession session_;
  ScriptedDataServer server_;
  RecordingPoster poster_;
  std::unique_ptr<BrowseRequests> requests_;
};

TEST_F(BrowseRequestTest, RequestWhileLoggedOutReturnsMinusOneAndStartsNothing) {
  session_.Manager().SetOnline(false);
  EXPECT_EQ(Queue(zolfa::kBrowseArtistList), -1);
  EXPECT_EQ(Queue(zolfa::kBrowseTopicPage), -1);
  EXPECT_EQ(requests_->SlotCount(), 0u);
  WaitUntilIdle();
  EXPECT_TRUE(server_.Calls().empty());
  EXPECT_TRUE(poster_.Events().empty());
}

TEST_F(BrowseRequestTest, WorkerAsksTheDataServerWithTheKindsCodePageAndBothCancelFlags) {
  server_.Reply(u"/genre.php", 200, u"<genre><text>流行</text><id>g1</id></genre>");
  server_.Reply(u"/hw_topic.php", 200, kTopics);
  int32_t genres = Queue(zolfa::kBrowseGenreList);
  ASSERT_TRUE(poster_.WaitForEnd(genres));
  int32_t topics = Queue(zolfa::kBrowseTopicFolder, u"t7");
  ASSERT_TRUE(poster_.WaitForEnd(topics));

  std::vector<ScriptedDataServer::Call> calls = server_.Calls();
  ASSERT_EQ(calls.size(), 2u);
  for (const ScriptedDataServer::Call& call : calls) {
    EXPECT_EQ(call.request.agent, u"Zolfa_Browse");
    EXPECT_EQ(call.request.host, kDataHost);
    EXPECT_EQ(call.request.port, static_cast<uint32_t>(kDataPort));
    EXPECT_NE(call.request.cancelA, nullptr);
    EXPECT_EQ(call.request.cancelB, &session_.Manager().AbortRequestsFlag());
  }
  EXPECT_EQ(calls[0].request.path, u"/genre.php?" + session_.Manager().CommonQuery());
  EXPECT_EQ(calls[0].request.codePage, 0u);
  EXPECT_EQ(calls[1].request.path,
            u"/hw_topic.php?ver=01000001&hw_vender=Ulda&hw_model=WINCE&hw_id=" + zolfa::DeviceIdText() +
                u"&hw_version=0002&key=" + kSid + u"&item_id=t7");
  EXPECT_EQ(calls[1].request.codePage, 65001u);
}

TEST_F(BrowseRequestTest, AnswerItemsArePostedInAnswerOrderThenTheEnd) {
  server_.Reply(u"/artist.php", 200, kArtists);
  int32_t id = Queue(zolfa::kBrowseArtistList);
  ASSERT_GT(id, 0);
  ASSERT_TRUE(poster_.WaitForEnd(id));
  std::vector<RecordingPoster::Event> events = poster_.Events();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].item, (FeedItem{u"周杰倫", u"a1", u"folder"}));
  EXPECT_EQ(events[1].item, (FeedItem{u"Beyond", u"a2", u"folder"}));
  EXPECT_EQ(events[2].item, (FeedItem{u"S.H.E", u"", u"folder"}));
  EXPECT_TRUE(events[3].end);
  for (const RecordingPoster::Event& e : events) EXPECT_EQ(e.id, id);
  EXPECT_TRUE(session_.DialogMessages().empty());
}

// Queuing a request marks as cancelled only the requests that were already
// not the latest of their family; the one it replaces keeps running, but its
// answer is no longer delivered.
TEST_F(BrowseRequestTest, AlbumQueuedWhileArtistRunsDropsTheArtistAnswer) {
  server_.Reply(u"/artist.php", 200, kArtists);
  server_.Reply(u"/album.php", 200, kAlbums);
  server_.Hold(u"/artist.php");
  int32_t artists = Queue(zolfa::kBrowseArtistList);
  ASSERT_TRUE(server_.WaitForCalls(1));
  int32_t albums = Queue(zolfa::kBrowseAlbumList);
  EXPECT_NE(albums, artists);
  EXPECT_EQ(requests_->LatestListId(), albums);
  ASSERT_TRUE(poster_.WaitForEnd(albums));
  server_.Release(u"/artist.php");
  WaitUntilIdle();

  EXPECT_EQ(server_.Calls()[0].result, 200);  // not cancelled: the transfer ran to its end
  EXPECT_TRUE(poster_.EventsOf(artists).empty());
  EXPECT_EQ(Titles(albums), std::vector<std::u16string>{u"范特西"});
  EXPECT_TRUE(session_.DialogMessages().empty());
}

TEST_F(BrowseRequestTest, TopicQueuedWhileArtistRunsLeavesTheArtistAnswerDelivered) {
  server_.Reply(u"/artist.php", 200, kArtists);
  server_.Reply(u"/hw_topic.php", 200, kTopics);
  server_.Hold(u"/artist.php");
  int32_t artists = Queue(zolfa::kBrowseArtistList);
  ASSERT_TRUE(server_.WaitForCalls(1));
  int32_t topics = Queue(zolfa::kBrowseTopicPage);
  ASSERT_TRUE(poster_.WaitForEnd(topics));
  server_.Release(u"/artist.php");
  ASSERT_TRUE(poster_.WaitForEnd(artists));

  EXPECT_EQ(requests_->LatestListId(), artists);
  EXPECT_EQ(requests_->LatestTopicId(), topics);
  EXPECT_EQ(Titles(artists), (std::vector<std::u16string>{u"周杰倫", u"Beyond", u"S.H.E"}));
  EXPECT_EQ(Titles(topics), (std::vector<std::u16string>{u"新歌", u"Song"}));
  EXPECT_EQ(poster_.EventsOf(topics)[1].item.category, u"song");
}

TEST_F(BrowseRequestTest, ARequestTwoGenerationsOldIsCancelledAndReportsNothing) {
  server_.Reply(u"/song.php", 200, kSongs);
  server_.Hold(u"/artist.php");
  server_.Hold(u"/album.php");
  int32_t artists = Queue(zolfa::kBrowseArtistList);
  ASSERT_TRUE(server_.WaitForCalls(1));  // the artist transfer is first at the server
  int32_t albums = Queue(zolfa::kBrowseAlbumList);
  ASSERT_TRUE(server_.WaitForCalls(2));
  int32_t songs = Queue(zolfa::kBrowseSongList);
  // The artist request's cancel flag ends its held transfer.
  ASSERT_TRUE(server_.WaitForReturned(2));
  ASSERT_TRUE(poster_.WaitForEnd(songs));
  server_.Release(u"/album.php");
  WaitUntilIdle();

  std::vector<ScriptedDataServer::Call> calls = server_.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(ScriptedDataServer::PathOf(calls[0].request.path), u"/artist.php");
  EXPECT_EQ(calls[0].result, -1);
  EXPECT_TRUE(poster_.EventsOf(artists).empty());
  EXPECT_TRUE(poster_.EventsOf(albums).empty());
  EXPECT_EQ(Titles(songs), std::vector<std::u16string>{u"簡單愛"});
  EXPECT_TRUE(session_.DialogMessages().empty());
}

// A failed request that is still the latest of its family reports the end
// of its list and the network failure, except that a list request stays
// silent after a session error (the server's message was shown) and once
// the session is closed.
TEST_F(BrowseRequestTest, FailuresReportTheEndAndTheNetworkFailureByFamily) {
  struct Case {
    const char* name;
    int32_t kind;
    int32_t status;
    std::u16string answer;
    bool logOutWhileRunning;
    bool reported;
    std::vector<ce::UINT> dialog;
  };
  const std::vector<Case> cases = {
      {"topic 500", zolfa::kBrowseTopicPage, 500, u"", false, true, {MSG_REQUEST_FAILED}},
      {"topic session error", zolfa::kBrowseTopicFolder, 200, kSessionError, false, true,
       {MSG_SESSION_ERROR, MSG_REQUEST_FAILED}},
      {"topic logged out", zolfa::kBrowseTopicPage, 200, kTopics, true, true,
       {MSG_REQUEST_FAILED}},
      {"list 500", zolfa::kBrowseArtistList, 500, u"", false, true, {MSG_REQUEST_FAILED}},
      {"list session error", zolfa::kBrowseGenreList, 200, kSessionError, false, false,
       {MSG_SESSION_ERROR}},
      {"list logged out", zolfa::kBrowseSongList, 200, kSongs, true, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    session_.Manager().SetOnline(true);
    size_t before = session_.Dialog().Messages().size();
    poster_.Clear();
    StartRequests();
    std::u16string path = c.kind == zolfa::kBrowseGenreList     ? u"/genre.php"
                          : c.kind == zolfa::kBrowseArtistList  ? u"/artist.php"
                          : c.kind == zolfa::kBrowseSongList    ? u"/song.php"
                                                                : u"/hw_topic.php";
    server_.Reply(path, c.status, c.answer);
    if (c.logOutWhileRunning) server_.Hold(path);
    size_t calls = server_.Calls().size();
    int32_t id = Queue(c.kind);
    ASSERT_GT(id, 0);
    if (c.logOutWhileRunning) {
      ASSERT_TRUE(server_.WaitForCalls(calls + 1));
      session_.Manager().SetOnline(false);  // raises the abort flag
    }
    WaitUntilIdle();
    server_.Release(path);

    std::vector<ce::UINT> dialog;
    std::vector<test_support::ServiceReceiver::Received> messages = session_.Dialog().Messages();
    for (size_t i = before; i < messages.size(); ++i) dialog.push_back(messages[i].message);
    EXPECT_EQ(dialog, c.dialog);
    std::vector<RecordingPoster::Event> events = poster_.EventsOf(id);
    if (c.reported) {
      ASSERT_EQ(events.size(), 1u);
      EXPECT_TRUE(events[0].end);
    } else {
      EXPECT_TRUE(events.empty());
    }
  }
}

TEST_F(BrowseRequestTest, IdentifiersAreDistinctWithinOneMillisecondAndNeverZero) {
  // The clock stands at 0 ms: the tick count is never above the last
  // identifier, so each request takes the next number.
  std::vector<int32_t> ids;
  for (int i = 0; i < 3; ++i) ids.push_back(Queue(i % 2 == 0 ? 0 : 4));
  EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 3}));
  clock_->Advance(5000);
  int32_t later = Queue(zolfa::kBrowseGenreList);
  int32_t sameMs = Queue(zolfa::kBrowseTopicPage);
  EXPECT_EQ(later, 5000);
  EXPECT_EQ(sameMs, 5001);
  EXPECT_EQ(requests_->LatestListId(), later);
  EXPECT_EQ(requests_->LatestTopicId(), sameMs);
}

TEST_F(BrowseRequestTest, ThirtyFirstRunningRequestGrowsTheTableWithoutMovingSlots) {
  server_.Reply(u"/hw_topic.php", 200, kTopics);
  // Every song request that is not cancelled takes one answer.
  for (size_t i = 0; i < BrowseRequests::kSlotGrowth; ++i) server_.Reply(u"/song.php", 200, kSongs);
  // Held even when cancelled, so that every request keeps its slot.
  server_.Hold(u"/hw_topic.php", false);
  server_.Hold(u"/song.php", false);
  int32_t topic = Queue(zolfa::kBrowseTopicPage);
  ASSERT_EQ(requests_->SlotCount(), BrowseRequests::kSlotGrowth);
  const ce::CriticalSection* firstLock = requests_->SlotLock(0);
  ASSERT_NE(firstLock, nullptr);
  int32_t lastSongs = 0;
  for (size_t i = 0; i < BrowseRequests::kSlotGrowth; ++i) {
    lastSongs = Queue(zolfa::kBrowseSongList);
    ASSERT_GT(lastSongs, 0);
  }
  EXPECT_EQ(requests_->SlotCount(), 2 * BrowseRequests::kSlotGrowth);
  EXPECT_EQ(requests_->SlotLock(0), firstLock);
  ASSERT_TRUE(server_.WaitForCalls(1 + BrowseRequests::kSlotGrowth));

  // The first worker reads its slot only now, after the table has grown.
  server_.Release(u"/hw_topic.php");
  server_.Release(u"/song.php");
  ASSERT_TRUE(poster_.WaitForEnd(topic));
  ASSERT_TRUE(poster_.WaitForEnd(lastSongs));
  EXPECT_EQ(Titles(topic), (std::vector<std::u16string>{u"新歌", u"Song"}));
  EXPECT_EQ(Titles(lastSongs), std::vector<std::u16string>{u"簡單愛"});
  // Only the latest of each family was delivered.
  EXPECT_EQ(poster_.Events().size(), 3u + 2u);

  // A later request finds a free slot; the table neither grows nor shrinks.
  ASSERT_TRUE(server_.WaitForReturned(1 + BrowseRequests::kSlotGrowth));
  EXPECT_GT(Queue(zolfa::kBrowseTopicPage), 0);
  EXPECT_EQ(requests_->SlotCount(), 2 * BrowseRequests::kSlotGrowth);
  EXPECT_EQ(requests_->SlotLock(0), firstLock);
}

TEST_F(BrowseRequestTest, TableThatCannotGrowShowsOutOfMemoryAndReturnsZero) {
  ce::testing::ScriptedUser user;
  BrowseRequests::Options options;
  options.maxSlots = 0;
  StartRequests(std::move(options));
  EXPECT_EQ(Queue(zolfa::kBrowseGenreList), 0);
  std::vector<ce::MessageBoxRequest> boxes = user.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"Out of memory");
  EXPECT_EQ(boxes[0].caption, u"ERROR");
  WaitUntilIdle();
  EXPECT_TRUE(server_.Calls().empty());
}

TEST_F(BrowseRequestTest, UnknownKindIsRefused) {
  EXPECT_EQ(Queue(6), 0);
  EXPECT_EQ(Queue(-1), 0);
  WaitUntilIdle();
  EXPECT_TRUE(server_.Calls().empty());
}

TEST_F(BrowseRequestTest, DestructionCancelsRunningRequestsAndReportsNothing) {
  server_.Hold(u"/hw_topic.php");
  int32_t id = Queue(zolfa::kBrowseTopicPage);
  ASSERT_TRUE(server_.WaitForCalls(1));
  requests_.reset();  // returns only once the held transfer saw its cancel flag
  EXPECT_EQ(server_.Calls()[0].result, -1);
  EXPECT_TRUE(poster_.EventsOf(id).empty());
  EXPECT_TRUE(session_.DialogMessages().empty());
}

}  // namespace
