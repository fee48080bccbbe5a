// The playlist backups.
#include <gtest/gtest.h>

#include "tests/server/AnswerReader.h"
#include "tests/server/ServiceQueries.h"
#include "tests/support/ServerProcess.h"

namespace zolfa_server_test {

using test_support::ServerProcess;
namespace {

using Q = ServiceQueries;

std::string Backup(ServerProcess& server, const std::string& sid, int* status = nullptr) {
  auto result = server.Get("/backup_load.php?ver=1.0&" + Q::Device(sid), "is.zolfa.test");
  if (status != nullptr) *status = result ? result->status : -1;
  return result ? result->body : std::string();
}

// The records of a table, each as a map from column number to value.
std::vector<std::map<std::string, std::string>> Records(const std::string& table) {
  std::vector<std::map<std::string, std::string>> records;
  for (const std::string& data : AnswerReader::All(table, "Data")) {
    std::map<std::string, std::string> columns;
    for (int column = 0; column <= 14; ++column) {
      auto value = AnswerReader(data).Next(std::to_string(column));
      if (value) columns[std::to_string(column)] = AnswerReader::Big5ToUtf8(*value);
    }
    records.push_back(columns);
  }
  return records;
}

TEST(Backup, SampleAccountHasTwoFilledPlaylistsAndAnEmptyOne) {
  ServerProcess server;
  ASSERT_TRUE(server.Started());
  std::string body = Backup(server, Q::LoginSid(server));
  // The envelope and the tables in the order the handset reads them.
  AnswerReader envelope(AnswerReader(body).Next("backup_load").value_or(""));
  EXPECT_EQ(envelope.Next("status"), "1");
  EXPECT_FALSE(envelope.Next("msg").value_or("").empty());
  AnswerReader data(envelope.Next("data_load").value_or(""));
  auto songTable = data.Next("SongTable");
  auto listTable = data.Next("PlayListTable");
  auto contentTable = data.Next("PlayListContentTable");
  ASSERT_TRUE(songTable && listTable && contentTable);

  auto lists = Records(*listTable);
  ASSERT_EQ(lists.size(), 3u);
  EXPECT_EQ(lists[0]["1"], "我的最愛");
  auto songs = Records(*songTable);
  auto contents = Records(*contentTable);
  std::map<std::string, int> songsPerList;
  for (auto& entry : contents) {
    ++songsPerList[entry["2"]];
    // Every entry names a song whose record in use (column 14 is 1) has a
    // name and a play id; an older record of the same song comes first.
    int inUse = 0;
    for (auto& song : songs) {
      if (song["0"] == entry["1"] && song["14"] == "1") {
        ++inUse;
        EXPECT_FALSE(song["1"].empty());
        EXPECT_EQ(song["11"], song["0"]);
      }
    }
    EXPECT_EQ(inUse, 1) << entry["1"];
  }
  EXPECT_EQ(songsPerList[lists[0]["0"]], 3);
  EXPECT_EQ(songsPerList[lists[1]["0"]], 2);
  EXPECT_EQ(songsPerList.count(lists[2]["0"]), 0u);
  EXPECT_EQ(songs[0]["14"], "0");
  EXPECT_EQ(songs[0]["0"], songs[1]["0"]);
}

TEST(Backup, OtherAccountsAndEndedSessions) {
  ServerProcess server({}, "alice@zolfa.test secret\n");
  ASSERT_TRUE(server.Started());
  auto login = server.Get(Q::Login("alice@zolfa.test", "5ebe2294ecd0e0f08eab7690d2a6ee69"),
                          "login1.zolfa.test");
  ASSERT_TRUE(login);
  std::string alice = AnswerReader(login->body).Next("sid").value_or("");
  std::string body = Backup(server, alice);
  EXPECT_EQ(AnswerReader(body).Next("status"), "1");
  EXPECT_TRUE(AnswerReader::All(body, "Data").empty());
  EXPECT_NE(body.find("<PlayListContentTable>"), std::string::npos);

  std::string ended = Backup(server, "0000");
  EXPECT_EQ(AnswerReader(ended).Next("status"), "0");
  EXPECT_EQ(ended.find("<data_load>"), std::string::npos);
}

TEST(Backup, FaultsGiveOtherStatusesAndMissingTables) {
  ServerProcess server({"--set", "backup:status=2", "--drop", "backup:PlayListTable",
                        "--fault", "host=is.zolfa.test,status=500,times=1"});
  ASSERT_TRUE(server.Started());
  std::string sid = Q::LoginSid(server);
  int status = 0;
  Backup(server, sid, &status);
  EXPECT_EQ(status, 500);
  std::string body = Backup(server, sid, &status);
  EXPECT_EQ(status, 200);
  EXPECT_EQ(AnswerReader(body).Next("status"), "2");
  EXPECT_NE(body.find("<SongTable>"), std::string::npos);
  EXPECT_EQ(body.find("<PlayListTable>"), std::string::npos);
}

}  // namespace
}  // namespace zolfa_server_test
