// Byte ranges of answers, the control endpoint's body files and the
// sweeping of idle sessions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>

#include "server/BlobEndpoint.h"
#include "server/SessionStore.h"
#include "tests/support/ServerProcess.h"

namespace zolfa_server_test {

using test_support::ServerProcess;
namespace {

std::string BlobBytes(size_t first, size_t count) {
  std::string bytes;
  for (size_t i = 0; i < count; ++i) bytes.push_back(zolfa_server::BlobEndpoint::ByteAt(first + i));
  return bytes;
}

// Percent-encodes every byte but letters and digits.
std::string Encoded(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c)) {
      out.push_back(static_cast<char>(c));
    } else {
      out += {'%', kHex[c >> 4], kHex[c & 15]};
    }
  }
  return out;
}

std::string RangeList(const std::string& one, int times) {
  std::string list = "bytes=";
  for (int i = 0; i < times; ++i) list += (i ? "," : "") + one;
  return list;
}

TEST(ByteRangesOfAnswers, AreAnsweredAsHttpSays) {
  ServerProcess server;
  ASSERT_TRUE(server.Started());
  struct Case {
    std::string range;
    int status;
    std::string contentRange;  // empty: none
    size_t first;              // of the bytes sent
    size_t count;
  };
  const Case cases[] = {
      {"bytes=0-99", 206, "bytes 0-99/1000", 0, 100},
      {"bytes=900-", 206, "bytes 900-999/1000", 900, 100},
      {"bytes=-100", 206, "bytes 900-999/1000", 900, 100},
      {"bytes=-5000", 206, "bytes 0-999/1000", 0, 1000},
      {"bytes=990-2000", 206, "bytes 990-999/1000", 990, 10},
      {"bytes=5000-6000", 416, "bytes */1000", 0, 0},
      {"bytes=1000-", 416, "bytes */1000", 0, 0},
      // Overlapping and adjacent ranges are merged into one.
      {RangeList("0-999", 500), 206, "bytes 0-999/1000", 0, 1000},
      {"bytes=10-19,15-29,30-39", 206, "bytes 10-39/1000", 10, 30},
      // Disjoint ranges, and units other than bytes: the whole body.
      {"bytes=0-1,5-6", 200, "", 0, 1000},
      {"items=0-5", 200, "", 0, 1000},
  };
  httplib::Client client("127.0.0.1", server.Port());
  client.set_read_timeout(5, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.range.substr(0, 40));
    auto result = client.Get("/bench/blob?bytes=1000", {{"Host", "ds.zolfa.test"}, {"Range", c.range}});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, c.status);
    EXPECT_EQ(result->get_header_value("Content-Range"), c.contentRange);
    if (c.status != 416) {
      EXPECT_EQ(result->get_header_value("Content-Length"), std::to_string(c.count));
      EXPECT_TRUE(result->body == BlobBytes(c.first, c.count)) << result->body.size() << " bytes";
    }
  }
  // A body sent in chunks has no ranges.
  auto chunked = client.Get("/bench/blob?bytes=1000&chunked=1", {{"Host", "ds.zolfa.test"}, {"Range", "bytes=0-9"}});
  ASSERT_TRUE(chunked);
  EXPECT_EQ(chunked->status, 200);
  EXPECT_EQ(chunked->body.size(), 1000u);
  // The log has the status that was sent.
  auto lines = server.LogLines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.find(" 416") != std::string::npos; }));
}

TEST(ControlEndpoint, BodyFilesComeOnlyFromTheDataFolder) {
  ServerProcess server;
  ASSERT_TRUE(server.Started());
  std::filesystem::path outside = server.DataDir().string() + "-outside.txt";
  std::ofstream(outside) << "outside";
  std::ofstream(server.DataDir() / "answer.txt") << "inside";
  std::filesystem::create_symlink(outside, server.DataDir() / "link.txt");
  for (const std::string& file :
       {outside.string(), std::string("/etc/passwd"), std::string("../") + outside.filename().string(),
        std::string("link.txt"), (server.DataDir() / "link.txt").string(), std::string("missing.txt")}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(server.Control("fault=" + Encoded("path=/genre.php,body-file=" + file)), 400);
  }
  auto plain = server.Get("/bench/blob?bytes=3");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->body.size(), 3u);
  for (const std::string& file : {std::string("answer.txt"), (server.DataDir() / "answer.txt").string()}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(server.Control("clear&fault=" + Encoded("path=/bench/blob,body-file=" + file)), 200);
    auto faulted = server.Get("/bench/blob?bytes=3");
    ASSERT_TRUE(faulted);
    EXPECT_EQ(faulted->body, "inside");
  }
  std::filesystem::remove(outside);
}

TEST(SessionStore, IdleSessionsAreSweptAndIdsAreUnpredictable) {
  auto now = std::chrono::steady_clock::time_point() + std::chrono::hours(1);
  zolfa_server::SessionStore store(std::chrono::seconds(600), [&now] { return now; });
  std::string kept = store.Open("a");
  std::string idle = store.Open("b");
  EXPECT_EQ(store.Count(), 2u);
  now += std::chrono::seconds(400);
  EXPECT_TRUE(store.Use(kept));
  now += std::chrono::seconds(400);
  // idle was last used 800 s ago; nobody asked for it, and it is gone.
  EXPECT_EQ(store.Count(), 1u);
  EXPECT_EQ(store.Use(kept), std::optional<std::string>("a"));
  EXPECT_FALSE(store.Use(idle));
  std::set<std::string> ids;
  for (int i = 0; i < 1000; ++i) ids.insert(store.Open("c"));
  EXPECT_EQ(ids.size(), 1000u);
  for (const std::string& id : ids) {
    EXPECT_EQ(id.size(), 32u);
    EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos);
  }
}

}  // namespace
}  // namespace zolfa_server_test
