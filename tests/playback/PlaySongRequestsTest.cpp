// The song-ticket workers against a scripted stream and data server, a
// logged-in service manager and a player-screen window on its own thread.
// The clock is virtual and stands still, so tick counts in the paths are 0.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/testing/TestSupport.h"
#include "tests/support/BrowseSession.h"
#include "tests/support/TicketFixtures.h"
#include "zolfa/playback/AlbumCoverDownload.h"
#include "zolfa/playback/PlaySongRequests.h"

namespace {

using test_support::RecordingCoverSink;
using test_support::ScriptedStreamServer;
using test_support::TicketReceiver;
using zolfa::MSG_TICKET_FAILED;
using zolfa::MSG_TICKET_READY;
using zolfa::PlaySongRequests;

constexpr char16_t kStreamHost[] = u"cs.test";
constexpr char16_t kPhotoDigest[] = u"0123456789abcdef0123456789abcdef";

std::u16string TicketAnswerText(const std::u16string& ticketElement, int lyricsExists,
                                int albumId, const std::u16string& digestElement) {
  return u"<ticket_info><status>0</status><ErrorMessage></ErrorMessage>" + ticketElement +
         u"<lyrics_exists>" + ce::FromUtf8(std::to_string(lyricsExists)) +
         u"</lyrics_exists><lyrics_editable>1</lyrics_editable><album_id>" +
         ce::FromUtf8(std::to_string(albumId)) + u"</album_id>" + digestElement +
         u"</ticket_info>";
}

std::u16string Digest(const std::u16string& digest) {
  return u"<album_photo_md5>" + digest + u"</album_photo_md5>";
}

constexpr char16_t kLyricsAnswer[] =
    u"<lyrics_struct><lyricist>方文山</lyricist><composer>周杰倫</composer>"
    u"<lyrics>[00:01-00:03]<type=2>第一句\n[00:03-00:05]second</lyrics>"
    u"<creator>5</creator><nick>fan</nick></lyrics_struct>";

class PlaySongRequestsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(session_.LogIn());
    PlaySongRequests::Options options;
    options.transport = server_.Transport();
    requests_ = std::make_unique<PlaySongRequests>(session_.Manager(), covers_, options);
  }

  void TearDown() override {
    server_.ReleaseAll();
    requests_.reset();
  }

  // Plays one song and waits until its worker and downloads have ended.
  void PlayAndWait(const std::u16string& songId) {
    requests_->PlaySong(player_.Window(), songId);
    requests_->WaitUntilIdle();
  }

  std::vector<std::u16string> PhotoPaths() {
    std::vector<std::u16string> paths;
    for (const zolfa::PlaybackFetch& f : server_.RequestsTo(u"/web_info_photo.php")) {
      paths.push_back(f.path);
    }
    return paths;
  }

  ce::testing::TempDeviceRoot root_;
  ce::testing::ScopedVirtualClock clock_{0};
  test_support::LoggedInSession session_;
  ScriptedStreamServer server_;
  RecordingCoverSink covers_;
  TicketReceiver player_;
  std::unique_ptr<PlaySongRequests> requests_;
};

TEST_F(PlaySongRequestsTest, GoodTicketBuildsStreamAddressFetchesLyricsAndDownloadsThePhoto) {
  server_.Reply(u"/ps1_", 200,
                TicketAnswerText(u"<ticket>TK9</ticket>", 1, 7, Digest(kPhotoDigest)));
  server_.Reply(u"/ps3_", 200, kLyricsAnswer);
  server_.ReplyBytes(u"/web_info_photo.php", 200, std::string("GIF89a\0\1picture", 16));
  PlayAndWait(u"s1");

  ASSERT_EQ(player_.Messages().size(), 1u);
  const TicketReceiver::Received ready = player_.Messages()[0];
  ASSERT_EQ(ready.message, MSG_TICKET_READY);
  EXPECT_EQ(ready.request.songId, u"s1");
  EXPECT_EQ(ready.request.streamUrl, u"http://cs.test:80/ps2_01000013_SID42_TK9.wma?0");
  EXPECT_EQ(ready.request.lyrics, u"[00:01-00:03]<type=2>第一句\n[00:03-00:05]second");
  EXPECT_EQ(ready.request.lyricist, u"方文山");
  EXPECT_EQ(ready.request.composer, u"周杰倫");
  EXPECT_EQ(ready.request.creator, 5);
  EXPECT_EQ(ready.request.nick, u"fan");
  EXPECT_EQ(ready.request.albumId, 7);
  EXPECT_EQ(ready.request.lyricsEditable, 1);

  const std::vector<zolfa::PlaybackFetch> calls = server_.Requests();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].path, u"/ps1_01000013_SID42_s1.wma?0");
  EXPECT_EQ(calls[0].agent, u"Zolfa(PlaySong)");
  EXPECT_EQ(calls[1].path, u"/ps3_01000013_SID42_TK9.wma?0");
  EXPECT_EQ(calls[1].agent, u"Zolfa(PlaySong_GetLyrics)");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(calls[i].host, kStreamHost);
    EXPECT_EQ(calls[i].port, 80u);
    EXPECT_EQ(calls[i].cancelA, &session_.Manager().AbortRequestsFlag());
    EXPECT_NE(calls[i].cancelB, nullptr);
    EXPECT_FALSE(calls[i].binary);
  }
  EXPECT_EQ(calls[2].path,
            u"/web_info_photo.php?album_id=7&" + session_.Manager().CommonQuery());
  EXPECT_EQ(calls[2].agent, u"Zolfa (get photo)");
  EXPECT_EQ(calls[2].host, test_support::kDataHost);
  EXPECT_EQ(calls[2].port, 8080u);
  EXPECT_TRUE(calls[2].binary);
  EXPECT_EQ(calls[2].cancelA, nullptr);
  EXPECT_EQ(calls[2].cancelB, nullptr);

  EXPECT_EQ(covers_.Sources(), std::vector<std::u16string>{u"\\Temp\\albumcover.dat"});
  EXPECT_EQ(root_.ReadDeviceBytes(u"\\Temp\\albumcover.dat"),
            std::string("GIF89a\0\1picture", 16));
  EXPECT_EQ(requests_->LastPhotoAlbumId(), 7);
}

TEST_F(PlaySongRequestsTest, MissingTicketIsReplacedBySidInStreamAndLyricsAddresses) {
  server_.Reply(u"/ps1_", 200, TicketAnswerText(u"", 0, 7, Digest(kPhotoDigest)));
  PlayAndWait(u"s1");
  ASSERT_EQ(player_.Messages().size(), 1u);
  EXPECT_EQ(player_.Messages()[0].request.streamUrl,
            u"http://cs.test:80/ps2_01000013_SID42_SID42.wma?0");
  EXPECT_EQ(server_.RequestsTo(u"/ps3_").at(0).path, u"/ps3_01000013_SID42_SID42.wma?0");
}

TEST_F(PlaySongRequestsTest, LyricsAreAskedForEvenWhenTheSongHasNone) {
  server_.Reply(u"/ps1_", 200, TicketAnswerText(u"<ticket>T</ticket>", 0, 7, Digest(kPhotoDigest)));
  server_.Reply(u"/ps3_", 200, kLyricsAnswer);
  PlayAndWait(u"s1");
  ASSERT_EQ(server_.RequestsTo(u"/ps3_").size(), 1u);
  ASSERT_EQ(player_.Messages().size(), 1u);
  EXPECT_EQ(player_.Messages()[0].message, MSG_TICKET_READY);
  EXPECT_TRUE(player_.Messages()[0].request.lyrics.empty());
  EXPECT_TRUE(player_.Messages()[0].request.lyricist.empty());
}

TEST_F(PlaySongRequestsTest, FailedLyricsRequestStillDeliversTheTicket) {
  server_.Reply(u"/ps1_", 200, TicketAnswerText(u"<ticket>T</ticket>", 1, 7, Digest(kPhotoDigest)));
  server_.Reply(u"/ps3_", 500);
  PlayAndWait(u"s1");
  ASSERT_EQ(player_.Messages().size(), 1u);
  EXPECT_EQ(player_.Messages()[0].message, MSG_TICKET_READY);
  EXPECT_TRUE(player_.Messages()[0].request.lyrics.empty());
}

TEST_F(PlaySongRequestsTest, RefusalsCarryTheStatusAndTheTicketText) {
  struct Case {
    std::u16string answer;
    int32_t code;
    std::u16string text;
  };
  const Case cases[] = {
      // No status reads as 200; the missing ticket's place is taken by sid.
      {u"<ticket_info><ticket></ticket></ticket_info>", 200, u"SID42"},
      {u"<status>3</status><ErrorMessage>E</ErrorMessage><ticket>請重新登入</ticket>", 3,
       u"請重新登入"},
      {u"<status>4</status><ticket>x</ticket>", 4, u"x"},
      {u"<status>-3</status>", -3, u"SID42"},
      // The ticket before the status is not found: the reader goes forward only.
      {u"<ticket>t</ticket><status>4</status>", 4, u"SID42"},
  };
  for (const Case& c : cases) server_.Reply(u"/ps1_", 200, c.answer);
  for (size_t i = 0; i < std::size(cases); ++i) PlayAndWait(u"s1");

  const std::vector<TicketReceiver::Received> got = player_.Messages();
  ASSERT_EQ(got.size(), std::size(cases));
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].message, MSG_TICKET_FAILED) << i;
    EXPECT_EQ(got[i].code, cases[i].code) << i;
    EXPECT_EQ(got[i].text.value_or(u"(null)"), cases[i].text) << i;
  }
  // A refused ticket asks for no lyrics and no photo.
  EXPECT_TRUE(server_.RequestsTo(u"/ps3_").empty());
  EXPECT_TRUE(covers_.Sources().empty());
}

TEST_F(PlaySongRequestsTest, TransportFailureIsMinusTwoOnlyWhileLoggedIn) {
  server_.Reply(u"/ps1_", 503);
  server_.Reply(u"/ps1_", 200, u"");  // an empty body fails the same way
  PlayAndWait(u"s1");
  PlayAndWait(u"s1");
  session_.Manager().SetOnline(false);
  server_.Reply(u"/ps1_", 503);
  PlayAndWait(u"s1");

  const std::vector<TicketReceiver::Received> got = player_.Messages();
  ASSERT_EQ(got.size(), 2u);
  for (const TicketReceiver::Received& r : got) {
    EXPECT_EQ(r.message, MSG_TICKET_FAILED);
    EXPECT_EQ(r.code, -2);
    EXPECT_FALSE(r.text.has_value());
  }
}

TEST_F(PlaySongRequestsTest, OfTwoQuickRequestsOnlyTheSecondDelivers) {
  server_.Hold(u"/ps1_");
  server_.Reply(u"/ps1_", 200, TicketAnswerText(u"<ticket>FIRST</ticket>", 0, 1, Digest(kPhotoDigest)));
  server_.Reply(u"/ps1_", 200, TicketAnswerText(u"<ticket>SECOND</ticket>", 0, 2, Digest(kPhotoDigest)));
  requests_->PlaySong(player_.Window(), u"s1");
  ASSERT_TRUE(server_.WaitForCalls(1));
  requests_->PlaySong(player_.Window(), u"s2");
  server_.Release(u"/ps1_");
  requests_->WaitUntilIdle();

  const std::vector<TicketReceiver::Received> got = player_.Messages();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].request.songId, u"s2");
  EXPECT_EQ(got[0].request.streamUrl, u"http://cs.test:80/ps2_01000013_SID42_SECOND.wma?0");
  // The stale one asked for no lyrics and started no download.
  EXPECT_EQ(server_.RequestsTo(u"/ps3_").size(), 1u);
  EXPECT_EQ(PhotoPaths().size(), 1u);
  EXPECT_EQ(requests_->LastPhotoAlbumId(), 2);
}

TEST_F(PlaySongRequestsTest, ClosedPlayerScreenGetsNothing) {
  server_.Reply(u"/ps1_", 200, TicketAnswerText(u"<ticket>T</ticket>", 0, 3, Digest(kPhotoDigest)));
  player_.Close();
  PlayAndWait(u"s1");
  EXPECT_TRUE(player_.Messages().empty());
  EXPECT_TRUE(server_.RequestsTo(u"/ps3_").empty());
}

TEST_F(PlaySongRequestsTest, SentinelOrMissingDigestGivesTheDefaultCoverWithoutDownload) {
  const std::u16string digests[] = {
      u"",  // no album_photo_md5 element
      Digest(u"Zolfa911Zolfa911Zolfa911Zolfa911"),
      Digest(u"11111111111111111111111111111111"),
      Digest(u"11111111111111111111111111111111trailing"),
      Digest(u""),  // an empty element counts as none
  };
  int album = 10;
  for (const std::u16string& digest : digests) {
    server_.Reply(u"/ps1_", 200, TicketAnswerText(u"<ticket>T</ticket>", 0, album++, digest));
    PlayAndWait(u"s1");
  }
  EXPECT_EQ(covers_.Sources(), std::vector<std::u16string>(std::size(digests), u"res://1"));
  EXPECT_TRUE(PhotoPaths().empty());
  EXPECT_EQ(player_.Messages().size(), std::size(digests));
}

TEST_F(PlaySongRequestsTest, SameAlbumTwiceDownloadsOnceAndKeepsTheCover) {
  for (int album : {5, 5, 6}) {
    server_.Reply(u"/ps1_", 200,
                  TicketAnswerText(u"<ticket>T</ticket>", 0, album, Digest(kPhotoDigest)));
  }
  server_.ReplyBytes(u"/web_info_photo.php", 200, "five");
  server_.ReplyBytes(u"/web_info_photo.php", 200, "six");
  PlayAndWait(u"s1");
  PlayAndWait(u"s2");
  PlayAndWait(u"s3");
  const std::vector<std::u16string> paths = PhotoPaths();
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[0].rfind(u"/web_info_photo.php?album_id=5&", 0), 0u);
  EXPECT_EQ(paths[1].rfind(u"/web_info_photo.php?album_id=6&", 0), 0u);
  EXPECT_EQ(covers_.Sources().size(), 2u);
  EXPECT_EQ(root_.ReadDeviceBytes(u"\\Temp\\albumcover.dat"), "six");
}

TEST_F(PlaySongRequestsTest, FailedDownloadsShowTheDefaultCover) {
  // 200 with an empty body, another status, and a file that cannot be
  // written (a folder stands where the file goes).
  server_.ReplyBytes(u"/web_info_photo.php", 200, "");
  server_.ReplyBytes(u"/web_info_photo.php", 404, "");
  server_.ReplyBytes(u"/web_info_photo.php", 200, "bytes");
  for (int album = 1; album <= 3; ++album) {
    if (album == 3) std::filesystem::create_directories(root_.HostPath(u"\\Temp\\albumcover.dat"));
    server_.Reply(u"/ps1_", 200,
                  TicketAnswerText(u"<ticket>T</ticket>", 0, album, Digest(kPhotoDigest)));
    PlayAndWait(u"s1");
  }
  EXPECT_EQ(PhotoPaths().size(), 3u);
  EXPECT_EQ(covers_.Sources(), std::vector<std::u16string>(3, u"res://1"));
}

TEST_F(PlaySongRequestsTest, DownloadOvertakenByANewerRequestChangesNothing) {
  server_.Hold(u"/web_info_photo.php");
  server_.ReplyBytes(u"/web_info_photo.php", 200, "old");
  server_.Reply(u"/ps1_", 200, TicketAnswerText(u"<ticket>T</ticket>", 0, 8, Digest(kPhotoDigest)));
  requests_->PlaySong(player_.Window(), u"s1");
  ASSERT_TRUE(server_.WaitForCalls(3));  // ticket, lyrics, photo
  server_.Reply(u"/ps1_", 200, TicketAnswerText(u"<ticket>T</ticket>", 0, 8, Digest(kPhotoDigest)));
  requests_->PlaySong(player_.Window(), u"s2");
  ASSERT_TRUE(server_.WaitForCalls(5));
  server_.Release(u"/web_info_photo.php");
  requests_->WaitUntilIdle();
  // The file was written, but the cover was not changed.
  EXPECT_EQ(root_.ReadDeviceBytes(u"\\Temp\\albumcover.dat"), "old");
  EXPECT_TRUE(covers_.Sources().empty());
  EXPECT_EQ(player_.Messages().size(), 2u);
}

TEST(AlbumCoverDownloadPath, IsTheTempFolderFollowedByTheName) {
  ce::testing::TempDeviceRoot root;
  EXPECT_EQ(zolfa::AlbumCoverDownload::CoverFilePath(), u"\\Temp\\albumcover.dat");
}

}  // namespace
