// The server under load and against hostile clients, on loopback: a port
// already served, bursts of logins, clients that trickle their requests.
// The figures of each run are printed for the notes of the load cases.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/server/ServiceQueries.h"
#include "tests/support/ServerProcess.h"

namespace zolfa_server_test {

using test_support::ServerProcess;
namespace {

using Q = ServiceQueries;
using Clock = std::chrono::steady_clock;

int Connect(int port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Clients that send a request a byte at a time, one byte each per pace,
// until stopped; they never finish their request.
class Tricklers {
 public:
  Tricklers(int port, int count, std::chrono::milliseconds pace) {
    for (int i = 0; i < count; ++i) {
      int fd = Connect(port);
      if (fd >= 0) fds_.push_back(fd);
    }
    thread_ = std::thread([this, pace] {
      const std::string request = "GET /ce_check.php?sid=" + std::string(4000, 'a');
      std::unique_lock<std::mutex> lock(mutex_);
      for (size_t at = 0; at < request.size(); ++at) {
        for (int fd : fds_) (void)!send(fd, &request[at], 1, MSG_NOSIGNAL);
        // The pace of a slow client; the wait ends at once when stopped.
        if (stop_.wait_for(lock, pace, [this] { return stopping_; })) break;
      }
    });
  }
  ~Tricklers() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    stop_.notify_all();
    thread_.join();
    for (int fd : fds_) close(fd);
  }
  size_t Connected() const { return fds_.size(); }
  const std::vector<int>& Fds() const { return fds_; }

 private:
  std::vector<int> fds_;
  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopping_ = false;
  std::thread thread_;
};

struct LoginRun {
  int answered = 0;
  double slowestMs = 0;
  double medianMs = 0;
};

// count logins at once, each on a connection of its own; a login that has
// no answer within the client's timeouts (2 s to connect, 5 s to read) is
// not answered.
LoginRun ConcurrentLogins(int port, int count) {
  std::vector<double> ms(static_cast<size_t>(count), -1);
  std::vector<std::thread> clients;
  std::atomic<int> ready{0};
  std::atomic<bool> go{false};
  const std::string login = Q::Login(Q::kDemoAccount, Q::kDemoDigest);
  for (int i = 0; i < count; ++i) {
    clients.emplace_back([&, i] {
      httplib::Client client("127.0.0.1", port);
      client.set_connection_timeout(2, 0);
      client.set_read_timeout(5, 0);
      ++ready;
      while (!go.load()) std::this_thread::yield();
      auto start = Clock::now();
      auto result = client.Get(login, {{"Host", "login1.zolfa.test"}});
      if (result && result->status == 200 && result->body.find("<sid>") != std::string::npos) {
        ms[static_cast<size_t>(i)] =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      }
    });
  }
  while (ready.load() < count) std::this_thread::yield();
  go = true;
  for (std::thread& client : clients) client.join();
  LoginRun run;
  std::vector<double> answered;
  for (double value : ms) {
    if (value >= 0) answered.push_back(value);
  }
  run.answered = static_cast<int>(answered.size());
  std::sort(answered.begin(), answered.end());
  if (!answered.empty()) {
    run.slowestMs = answered.back();
    run.medianMs = answered[answered.size() / 2];
  }
  return run;
}

TEST(ServerLoad, APortInUseStopsTheSecondServer) {
  ServerProcess first;
  ASSERT_TRUE(first.Started());
  ServerProcess second({"--port", std::to_string(first.Port())});
  EXPECT_FALSE(second.Started());
  if (!second.Started()) {
    std::string error;
    EXPECT_EQ(ServerProcess::RunToExit({"--port", std::to_string(first.Port())}, &error), 1);
    EXPECT_NE(error.find("127.0.0.1:" + std::to_string(first.Port()) + ": the port is in use"),
              std::string::npos)
        << error;
  }
  // The first one still answers every request.
  for (int i = 0; i < 10; ++i) {
    auto result = first.Get("/bench/blob?bytes=10");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
  }
}

TEST(ServerLoad, TwoHundredConcurrentLoginsAreAllAnswered) {
  ServerProcess server;
  ASSERT_TRUE(server.Started());
  constexpr int kLogins = 200;
  LoginRun run = ConcurrentLogins(server.Port(), kLogins);
  std::printf("concurrent logins: %d of %d answered, median %.1f ms, slowest %.1f ms\n",
              run.answered, kLogins, run.medianMs, run.slowestMs);
  EXPECT_EQ(run.answered, kLogins);
}

TEST(ServerLoad, LoginsAreAnsweredWhileFiftyClientsTrickle) {
  ServerProcess server;
  ASSERT_TRUE(server.Started());
  Tricklers slow(server.Port(), 50, std::chrono::milliseconds(200));
  ASSERT_EQ(slow.Connected(), 50u);
  // The slow clients hold their connections before the logins start.
  auto alone = ConcurrentLogins(server.Port(), 1);
  ASSERT_EQ(alone.answered, 1);
  constexpr int kLogins = 40;
  LoginRun run = ConcurrentLogins(server.Port(), kLogins);
  std::printf("with 50 trickling clients: %d of %d logins answered, median %.1f ms, slowest %.1f ms\n",
              run.answered, kLogins, run.medianMs, run.slowestMs);
  EXPECT_EQ(run.answered, kLogins);
  // A stop is not held up by the clients still sending.
  EXPECT_EQ(server.Stop(), 0);
}

// A request that has not fully arrived by the deadline ends its connection;
// a client that trickles cannot hold a thread for longer.
TEST(ServerLoad, ARequestThatTricklesPastItsDeadlineIsCutOff) {
  ServerProcess server({"--request-deadline", "1"});
  ASSERT_TRUE(server.Started());
  auto start = Clock::now();
  // 100 ms a byte for at most 4000 bytes: without a deadline, 400 s.
  Tricklers slow(server.Port(), 1, std::chrono::milliseconds(100));
  ASSERT_EQ(slow.Connected(), 1u);
  // The server answers (400) or closes; either way the connection ends.
  pollfd entry{slow.Fds()[0], POLLIN, 0};
  char buffer[512];
  bool ended = false;
  while (!ended && poll(&entry, 1, 10000) > 0) {
    ssize_t n = recv(entry.fd, buffer, sizeof buffer, 0);
    ended = n <= 0;
  }
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("a trickling request was cut off after %.1f s\n", seconds);
  EXPECT_TRUE(ended);
  EXPECT_LT(seconds, 8.0);
}

}  // namespace
}  // namespace zolfa_server_test
