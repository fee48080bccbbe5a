// Song tickets, streams, lyrics and album photos.
#include <gtest/gtest.h>
#include <httplib.h>

#include <regex>
#include <string>
#include <vector>

#include "server/PasswordDigest.h"
#include "tests/server/AnswerReader.h"
#include "tests/server/ServiceQueries.h"
#include "tests/support/ServerProcess.h"

namespace zolfa_server_test {

using test_support::ServerProcess;
namespace {

using Q = ServiceQueries;

// Songs of the sample catalogue: artist 101's first album (photo), its
// second album (the blank digest), a compilation (no photo).
constexpr const char* kSong = "101011";
constexpr const char* kOtherSong = "101012";
constexpr const char* kSongWithoutLyrics = "101014";
constexpr const char* kBlankPhotoSong = "101021";
constexpr const char* kCompilationSong = "107011";

std::string PlayTarget(char kind, const std::string& sid, const std::string& name,
                       const std::string& tick = "123456") {
  return std::string("/ps") + kind + "_01000013_" + sid + "_" + name + ".wma?" + tick;
}

struct Ticket {
  int httpStatus = 0;
  std::string status, errorMessage, ticket, lyricsExists, lyricsEditable, albumId, digest;
};

Ticket GetTicket(ServerProcess& server, const std::string& sid, const std::string& songId) {
  Ticket t;
  auto result = server.Get(PlayTarget('1', sid, songId), "cs.zolfa.test", 5000, "Zolfa(PlaySong)");
  if (!result) return t;
  t.httpStatus = result->status;
  // Read forward only, in the order the handset reads them.
  AnswerReader reader(result->body);
  t.status = reader.Next("status").value_or("(none)");
  t.errorMessage = reader.Next("ErrorMessage").value_or("(none)");
  t.ticket = AnswerReader::Big5ToUtf8(reader.Next("ticket").value_or("(none)"));
  t.lyricsExists = reader.Next("lyrics_exists").value_or("(none)");
  t.lyricsEditable = reader.Next("lyrics_editable").value_or("(none)");
  t.albumId = reader.Next("album_id").value_or("(none)");
  t.digest = reader.Next("album_photo_md5").value_or("(none)");
  return t;
}

class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Started());
    sid_ = Q::LoginSid(server_);
    ASSERT_FALSE(sid_.empty());
  }

  httplib::Result Photo(const std::string& albumId, const std::string& sid) {
    return server_.Get("/web_info_photo.php?album_id=" + albumId + "&" + Q::Device(sid),
                       "ds.zolfa.test", 5000, "Zolfa (get photo)");
  }

  ServerProcess server_;
  std::string sid_;
};

TEST_F(PlaybackTest, TicketOpensStreamLyricsAndPhotoOfTheSong) {
  Ticket t = GetTicket(server_, sid_, kSong);
  ASSERT_EQ(t.httpStatus, 200);
  EXPECT_EQ(t.status, "0");
  EXPECT_TRUE(std::regex_match(t.ticket, std::regex("[0-9a-f]{24}"))) << t.ticket;
  EXPECT_EQ(t.lyricsExists, "1");
  EXPECT_EQ(t.lyricsEditable, "0");
  EXPECT_EQ(t.albumId, "10101");

  auto stream = server_.Get(PlayTarget('2', sid_, t.ticket), "cs.zolfa.test");
  ASSERT_TRUE(stream);
  ASSERT_EQ(stream->status, 200);
  const std::string& wav = stream->body;
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  // 3 s of 16-bit mono at 22050 Hz after the 44-byte header.
  EXPECT_EQ(wav.size(), 44u + 3u * 22050u * 2u);

  auto lyrics = server_.Get(PlayTarget('3', sid_, t.ticket), "cs.zolfa.test");
  ASSERT_TRUE(lyrics);
  ASSERT_EQ(lyrics->status, 200);
  AnswerReader outer(lyrics->body);
  AnswerReader inner(outer.Next("lyrics_struct").value_or(""));
  EXPECT_FALSE(inner.Next("lyricist").value_or("").empty());
  EXPECT_FALSE(inner.Next("composer").value_or("").empty());
  const std::string text = AnswerReader::Big5ToUtf8(inner.Next("lyrics").value_or(""));
  EXPECT_EQ(text.rfind("[00:00-00:01]<type=1>", 0), 0u) << text;
  EXPECT_NE(text.find("]<type=2><sec_st>"), std::string::npos) << text;
  EXPECT_EQ(inner.Next("creator"), "0");

  auto photo = Photo(t.albumId, sid_);
  ASSERT_TRUE(photo);
  ASSERT_EQ(photo->status, 200);
  EXPECT_EQ(photo->body.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(zolfa_server::PasswordDigest::Md5Hex(photo->body), t.digest);
}

TEST_F(PlaybackTest, SongsSoundDifferentAndTicketsBelongToTheirSession) {
  Ticket first = GetTicket(server_, sid_, kSong);
  Ticket second = GetTicket(server_, sid_, kOtherSong);
  ASSERT_NE(first.ticket, second.ticket);
  auto a = server_.Get(PlayTarget('2', sid_, first.ticket), "cs.zolfa.test");
  auto b = server_.Get(PlayTarget('2', sid_, second.ticket), "cs.zolfa.test");
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->body.substr(44, 4000), b->body.substr(44, 4000));

  const std::string otherSid = Q::LoginSid(server_);
  for (char kind : {'2', '3'}) {
    auto foreign = server_.Get(PlayTarget(kind, otherSid, first.ticket), "cs.zolfa.test");
    ASSERT_TRUE(foreign);
    EXPECT_EQ(foreign->status, 404) << kind;
    auto unknown = server_.Get(PlayTarget(kind, sid_, "feedfeedfeedfeedfeedfeed"), "cs.zolfa.test");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->status, 404) << kind;
  }
}

TEST_F(PlaybackTest, StreamsAnswerByteRanges) {
  Ticket t = GetTicket(server_, sid_, kSong);
  auto whole = server_.Get(PlayTarget('2', sid_, t.ticket), "cs.zolfa.test");
  ASSERT_TRUE(whole);
  httplib::Client client("127.0.0.1", server_.Port());
  client.set_url_encode(false);
  auto part = client.Get(PlayTarget('2', sid_, t.ticket).c_str(),
                         httplib::Headers{{"Host", "cs.zolfa.test"}, {"Range", "bytes=44-1043"}});
  ASSERT_TRUE(part);
  EXPECT_EQ(part->status, 206);
  EXPECT_EQ(part->body, whole->body.substr(44, 1000));
  EXPECT_EQ(part->get_header_value("Content-Range"),
            "bytes 44-1043/" + std::to_string(whole->body.size()));
}

TEST_F(PlaybackTest, AlbumsWithoutPhotoNameASentinelAndHaveNoPicture) {
  struct Case {
    const char* song;
    const char* album;
    const char* digest;
  };
  const Case cases[] = {
      {kCompilationSong, "10701", "Zolfa911Zolfa911Zolfa911Zolfa911"},
      {kBlankPhotoSong, "10102", "11111111111111111111111111111111"},
  };
  for (const Case& c : cases) {
    Ticket t = GetTicket(server_, sid_, c.song);
    EXPECT_EQ(t.status, "0");
    EXPECT_EQ(t.albumId, c.album);
    EXPECT_EQ(t.digest, c.digest);
    auto photo = Photo(c.album, sid_);
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->status, 404);
  }
  auto unknownAlbum = Photo("99999", sid_);
  ASSERT_TRUE(unknownAlbum);
  EXPECT_EQ(unknownAlbum->status, 404);
  auto noSession = Photo("10101", "0123456789abcdef0123456789abcdef");
  ASSERT_TRUE(noSession);
  EXPECT_EQ(noSession->status, 403);
}

TEST_F(PlaybackTest, SongWithoutLyricsSaysSoAndAnswersEmptyLyrics) {
  Ticket t = GetTicket(server_, sid_, kSongWithoutLyrics);
  EXPECT_EQ(t.lyricsExists, "0");
  auto lyrics = server_.Get(PlayTarget('3', sid_, t.ticket), "cs.zolfa.test");
  ASSERT_TRUE(lyrics);
  ASSERT_EQ(lyrics->status, 200);
  AnswerReader inner(AnswerReader(lyrics->body).Next("lyrics_struct").value_or(""));
  inner.Next("lyricist");
  inner.Next("composer");
  EXPECT_EQ(inner.Next("lyrics"), "");
}

TEST_F(PlaybackTest, RefusalsComeWithTheirCodesForSongsAccountsAndSessions) {
  EXPECT_EQ(GetTicket(server_, "0123456789abcdef0123456789abcdef", kSong).status, "3");
  EXPECT_EQ(GetTicket(server_, sid_, "nosuchsong").status, "2");

  struct Case {
    std::string refusal;  // the control's percent-encoded value
    std::string song;
    std::string status;
  };
  const Case cases[] = {
      {"song:101011%3D4", kSong, "4"},
      {"song:101011%3D-1", kSong, "-1"},
      {"account:demo%40zolfa.test%3D1", kOtherSong, "1"},
      {"account:demo%40zolfa.test%3D-3", kOtherSong, "-3"},
      {"song:101012%3D3", kOtherSong, "3"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(server_.Control("clear&refuse=" + c.refusal), 200) << c.refusal;
    Ticket t = GetTicket(server_, sid_, c.song);
    EXPECT_EQ(t.httpStatus, 200);
    EXPECT_EQ(t.status, c.status) << c.refusal;
    EXPECT_FALSE(t.ticket.empty());
    EXPECT_EQ(t.errorMessage.rfind("GET_TICKET_", 0), 0u) << t.errorMessage;
    // Only that song or account is refused.
    EXPECT_EQ(GetTicket(server_, sid_, kCompilationSong).status,
              c.refusal.rfind("account:", 0) == 0 ? c.status : "0");
  }
  // The answer changes of the other kinds apply to tickets too.
  ASSERT_EQ(server_.Control("clear&drop=ticket:status"), 200);
  EXPECT_EQ(GetTicket(server_, sid_, kSong).status, "(none)");

  EXPECT_EQ(server_.Control("refuse=song:101011%3D7"), 400);
  EXPECT_EQ(server_.Control("refuse=album:1%3D1"), 400);
  EXPECT_EQ(server_.Control("refuse=song:%3D1"), 400);
}

TEST(PlaybackRefusals, AreGivenOnTheCommandLineToo) {
  ServerProcess server({"--refuse", "account:demo@zolfa.test=4"});
  ASSERT_TRUE(server.Started());
  EXPECT_EQ(GetTicket(server, Q::LoginSid(server), kSong).status, "4");
}

TEST_F(PlaybackTest, PlayPathsMustHaveTheHandsetsForm) {
  const std::string bad[] = {
      "/ps1_01000012_" + sid_ + "_" + kSong + ".wma?1",   // another version
      "/ps1_01000013_" + sid_ + "_" + kSong + ".wma?x1",  // the query is no tick
      "/ps1_01000013_" + sid_ + "_" + kSong + ".mp3?1",
      "/ps1_01000013_" + sid_ + ".wma?1",
  };
  for (const std::string& target : bad) {
    auto result = server_.Get(target, "cs.zolfa.test");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400) << target;
  }
  // A negative tick count is a tick count.
  EXPECT_EQ(GetTicket(server_, sid_, kSong).httpStatus, 200);
  auto negative = server_.Get(PlayTarget('1', sid_, kSong, "-5"), "cs.zolfa.test");
  ASSERT_TRUE(negative);
  EXPECT_EQ(negative->status, 200);
}

TEST_F(PlaybackTest, RequestLogRecordsTheUserAgentOfEveryRequest) {
  GetTicket(server_, sid_, kSong);
  Photo("10101", sid_);
  std::vector<std::string> lines = server_.LogLines();
  ASSERT_GE(lines.size(), 3u);
  const std::string ticketLine = lines[lines.size() - 2];
  const std::string photoLine = lines.back();
  EXPECT_NE(ticketLine.find(" cs.zolfa.test /ps1_01000013_"), std::string::npos) << ticketLine;
  EXPECT_EQ(ticketLine.substr(ticketLine.size() - 20), " 200 Zolfa(PlaySong)") << ticketLine;
  EXPECT_EQ(photoLine.substr(photoLine.size() - 26), " 200 Zolfa%20(get%20photo)") << photoLine;
}

}  // namespace
}  // namespace zolfa_server_test
