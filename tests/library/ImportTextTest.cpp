#include <gtest/gtest.h>

#include "tests/library/BackupAnswers.h"
#include "tests/support/RecordingOwner.h"
#include "zolfa/library/ImportText.h"

namespace zolfa {
namespace {

using testing::BackupAnswer;
using testing::Col;
using testing::Record;

std::u16string Both(std::u16string_view answer) {
  std::u16string fast = BuildImportText(answer);
  EXPECT_EQ(fast, BuildImportTextDirect(answer));
  return fast;
}

TEST(ImportTextTest, TwoPlaylistsWithSongsFiveAndSeven) {
  std::u16string answer = BackupAnswer(
      {Record({Col(0, u"5"), Col(1, u"五"), Col(2, u"x"), Col(3, u"專輯"), Col(11, u"A5")}),
       Record({Col(0, u"7"), Col(1, u"seven"), Col(11, u"A7"), Col(14, u"1")}),
       Record({Col(0, u"9"), Col(1, u"nine")})},
      {Record({Col(0, u"31"), Col(1, u"first")}), Record({Col(0, u"32"), Col(1, u"second")})},
      {Record({Col(0, u"1"), Col(1, u"5"), Col(2, u"31")}),
       Record({Col(0, u"2"), Col(1, u"7"), Col(2, u"31")}),
       Record({Col(0, u"3"), Col(1, u"8"), Col(2, u"31")})});
  EXPECT_EQ(Both(answer),
            u"<playlist><playlist_id>31</playlist_id><playlist_name>first</playlist_name>"
            u"<playlist_data>"
            u"<song_data><song_id>5</song_id><song_name>五</song_name><album_id></album_id>"
            u"<album_name>專輯</album_name><play_url>zolfa://play_song_A5</play_url></song_data>"
            u"<song_data><song_id>7</song_id><song_name>seven</song_name>"
            u"<play_url>zolfa://play_song_A7</play_url></song_data>"
            u"</playlist>"
            u"<playlist><playlist_id>32</playlist_id><playlist_name>second</playlist_name>"
            u"<playlist_data></playlist>");
}

TEST(ImportTextTest, SongRecordsWithFlagZeroAreSkipped) {
  std::u16string answer =
      BackupAnswer({Record({Col(0, u"5"), Col(1, u"old"), Col(11, u"A"), Col(14, u"0")}),
                    Record({Col(0, u"5"), Col(1, u"new"), Col(11, u"B"), Col(14, u"1")}),
                    Record({Col(0, u"5"), Col(1, u"later"), Col(11, u"C")})},
                   {Record({Col(0, u"1"), Col(1, u"p")})}, {Record({Col(1, u"5"), Col(2, u"1")})});
  EXPECT_EQ(Both(answer),
            u"<playlist><playlist_id>1</playlist_id><playlist_name>p</playlist_name>"
            u"<playlist_data><song_data><song_id>5</song_id><song_name>new</song_name>"
            u"<play_url>zolfa://play_song_B</play_url></song_data></playlist>");
}

TEST(ImportTextTest, ContentWithoutSongNumberAddsNothing) {
  std::u16string answer = BackupAnswer(
      {Record({Col(0, u"0"), Col(1, u"zero")})}, {Record({Col(0, u"1"), Col(1, u"p")})},
      {Record({Col(1, u"0"), Col(2, u"1")}), Record({Col(1, u""), Col(2, u"1")}),
       Record({Col(2, u"1")})});
  EXPECT_EQ(Both(answer),
            u"<playlist><playlist_id>1</playlist_id><playlist_name>p</playlist_name>"
            u"<playlist_data></playlist>");
}

TEST(ImportTextTest, ColumnsMissingInARecordComeFromTheRecordsAfterIt) {
  std::u16string answer = BackupAnswer(
      // The first song record has no "<0>": it reads song 6's number, and
      // the song's other columns are read after that.
      {Record({Col(1, u"lost")}), Record({Col(0, u"6"), Col(1, u"six")})},
      // The first playlist lacks its name and takes the next record's.
      {Record({Col(0, u"1")}), Record({Col(1, u"borrowed")})},
      {Record({Col(0, u"1")}), Record({Col(1, u"6"), Col(2, u"1")})});
  EXPECT_EQ(Both(answer),
            u"<playlist><playlist_id>1</playlist_id><playlist_name>borrowed</playlist_name>"
            u"<playlist_data><song_data><song_id>6</song_id><song_name>six</song_name>"
            u"</song_data><song_data><song_id>6</song_id><song_name>six</song_name></song_data>"
            u"</playlist>");
}

TEST(ImportTextTest, ColumnValuesHoldAtMost1023Characters) {
  std::u16string longName(1500, u'n');
  std::u16string answer = BackupAnswer({Record({Col(0, u"5"), Col(1, longName + u"x")})},
                                       {Record({Col(0, u"1"), Col(1, longName)})},
                                       {Record({Col(1, u"5"), Col(2, u"1")})});
  std::u16string text = Both(answer);
  EXPECT_NE(text.find(u"<playlist_name>" + std::u16string(1023, u'n') + u"</playlist_name>"),
            std::u16string::npos);
  EXPECT_NE(text.find(u"<song_name>" + std::u16string(1023, u'n') + u"</song_name>"),
            std::u16string::npos);
}

TEST(ImportTextTest, AnswersWithoutUsableDataGiveEmptyText) {
  const std::vector<std::u16string> songs = {Record({Col(0, u"5"), Col(1, u"s")})};
  const std::vector<std::u16string> lists = {Record({Col(0, u"1"), Col(1, u"p")})};
  const std::vector<std::u16string> contents = {Record({Col(1, u"5"), Col(2, u"1")})};
  const std::u16string good = BackupAnswer(songs, lists, contents);
  ASSERT_NE(Both(good).find(u"<song_id>5</song_id>"), std::u16string::npos);
  auto without = [&](std::u16string_view tag) {
    std::u16string answer = good;
    answer.erase(answer.find(tag), tag.size());
    return answer;
  };
  const std::u16string answers[] = {
      u"",
      BackupAnswer(songs, lists, contents, u"0"),
      BackupAnswer(songs, lists, contents, u""),
      BackupAnswer(songs, lists, contents, u"2"),
      without(u"<backup_load>"),
      without(u"</backup_load>"),
      without(u"</msg>"),
      without(u"<data_load>"),
      without(u"<SongTable>"),
      without(u"</PlayListTable>"),
      without(u"<PlayListContentTable>"),
      // A table that holds nothing counts as missing.
      BackupAnswer({}, lists, contents),
      BackupAnswer(songs, lists, {}),
      // Elements out of order are not found by the forward reader.
      u"<backup_load><data_load><SongTable>" + songs[0] + u"</SongTable><PlayListTable>" +
          lists[0] + u"</PlayListTable><PlayListContentTable>" + contents[0] +
          u"</PlayListContentTable></data_load><status>1</status><msg>m</msg></backup_load>",
      u"<backup_load><status>1</status><msg>m</msg><data_load><PlayListTable>" + lists[0] +
          u"</PlayListTable><SongTable>" + songs[0] + u"</SongTable><PlayListContentTable>" +
          contents[0] + u"</PlayListContentTable></data_load></backup_load>",
  };
  for (const std::u16string& answer : answers) {
    EXPECT_EQ(Both(answer), u"") << ce::ToUtf8(answer);
  }
}

TEST(ImportTextTest, IndexedReadingEqualsTheDirectWalk) {
  std::mt19937 rng(20240601);
  int withSongs = 0;
  for (int i = 0; i < 500; ++i) {
    std::u16string answer = testing::IrregularBackupAnswer(rng);
    std::u16string direct = BuildImportTextDirect(answer);
    ASSERT_EQ(BuildImportText(answer), direct) << "answer " << i << ": " << ce::ToUtf8(answer);
    if (direct.find(u"<song_data>") != std::u16string::npos) ++withSongs;
  }
  // The generator must give answers that import songs, or the comparison
  // shows little.
  EXPECT_GT(withSongs, 150);
}

}  // namespace
}  // namespace zolfa
