#include "server/HttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace zolfa_server {

namespace {

using Clock = std::chrono::steady_clock;

// How long one wait for a connection's next request looks at the server's
// state again (ms): a stopping server ends idle connections this quickly.
constexpr int kStopCheckMs = 50;
constexpr size_t kReadAhead = 4096;

// Answer threads started as work arrives and kept for the next; never more
// than the limit. Connections beyond it wait for a free thread.
class GrowingPool : public httplib::TaskQueue {
 public:
  explicit GrowingPool(size_t maxThreads) : maxThreads_(std::max<size_t>(1, maxThreads)) {}
  ~GrowingPool() override = default;

  void enqueue(std::function<void()> job) override {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
    if (idle_ < jobs_.size() && threads_.size() < maxThreads_) {
      threads_.emplace_back([this] { Work(); });
    }
    wake_.notify_one();
  }

  void shutdown() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

 private:
  void Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      ++idle_;
      wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      --idle_;
      if (jobs_.empty()) return;  // stopping, nothing left
      std::function<void()> job = std::move(jobs_.front());
      jobs_.pop_front();
      lock.unlock();
      job();
      lock.lock();
    }
  }

  const size_t maxThreads_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  std::vector<std::thread> threads_;  // only added to, under mutex_, until shutdown
  size_t idle_ = 0;
  bool stopping_ = false;
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

// The connection as the library reads it. The head of each request is read
// here first, by the request's deadline, and its Range header renamed, so
// that the library neither answers nor refuses ranges itself. Bytes read
// past a request stay for the next one.
class ConnectionStream : public httplib::Stream {
 public:
  // listening is the server's socket, invalid once the server stops: a
  // wait for a slow client's bytes ends then.
  ConnectionStream(int sock, const std::atomic<socket_t>& listening,
                   std::chrono::milliseconds readTimeout, std::chrono::milliseconds writeTimeout)
      : sock_(sock), listening_(listening), readTimeout_(readTimeout), writeTimeout_(writeTimeout) {}

  bool HasPending() const { return next_ < pending_.size(); }

  // Reads until the head of the next request is whole (or the deadline
  // passes, the client stops sending, or the head grows past any sane
  // size); false when not a byte of it came.
  bool ReadHead(Clock::time_point deadline) {
    deadline_ = deadline;
    if (next_ == pending_.size()) {
      pending_.clear();
      next_ = 0;
    }
    for (;;) {
      std::string_view rest(pending_.data() + next_, pending_.size() - next_);
      size_t crlf = rest.find("\n\r\n");
      size_t lf = rest.find("\n\n");
      size_t end = std::min(crlf == std::string_view::npos ? crlf : crlf + 3,
                            lf == std::string_view::npos ? lf : lf + 2);
      if (end != std::string_view::npos) {
        RenameRange(end);
        return true;
      }
      if (rest.size() > kMaxHeadBytes || !WaitReadable()) return !rest.empty();
      char buffer[kReadAhead];
      ssize_t n;
      do {
        n = ::recv(sock_, buffer, sizeof buffer, 0);
      } while (n < 0 && errno == EINTR);
      if (n <= 0) return !rest.empty();
      pending_.append(buffer, static_cast<size_t>(n));
    }
  }

  bool is_readable() const override { return HasPending() || WaitReadable(); }
  bool is_writable() const override { return Wait(POLLOUT, writeTimeout_); }

  ssize_t read(char* ptr, size_t size) override {
    if (!HasPending()) {
      if (!WaitReadable()) return -1;
      ssize_t n;
      do {
        n = ::recv(sock_, ptr, size, 0);
      } while (n < 0 && errno == EINTR);
      return n;
    }
    size_t count = std::min(size, pending_.size() - next_);
    std::memcpy(ptr, pending_.data() + next_, count);
    next_ += count;
    return static_cast<ssize_t>(count);
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (!is_writable()) return -1;
    ssize_t n;
    do {
      n = ::send(sock_, ptr, size, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n;
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    Address(::getpeername, ip, port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    Address(::getsockname, ip, port);
  }
  socket_t socket() const override { return sock_; }

 private:
  static constexpr size_t kMaxHeadBytes = 64 * 1024;

  // Renames the Range header lines of the head [next_, next_ + length).
  void RenameRange(size_t length) {
    std::string head = pending_.substr(next_, length);
    std::string renamed;
    size_t start = 0;
    while (start < head.size()) {
      size_t end = head.find('\n', start);
      end = end == std::string::npos ? head.size() : end + 1;
      std::string_view line(head.data() + start, end - start);
      if (start > 0 && StartsWithNoCase(line, "range:")) {
        renamed += HttpServer::kRangeHeader;
        renamed += line.substr(5);
      } else {
        renamed += line;
      }
      start = end;
    }
    pending_.replace(next_, length, renamed);
  }

  bool WaitReadable() const {
    auto until = std::min(deadline_, Clock::now() + readTimeout_);
    while (listening_ != INVALID_SOCKET) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
      if (left.count() <= 0) return false;
      if (Wait(POLLIN, std::min(left, std::chrono::milliseconds(kStopCheckMs)))) return true;
    }
    return false;
  }

  bool Wait(short events, std::chrono::milliseconds timeout) const {
    if (timeout.count() <= 0) return false;
    pollfd entry{sock_, events, 0};
    int n;
    do {
      n = ::poll(&entry, 1, static_cast<int>(timeout.count()));
    } while (n < 0 && errno == EINTR);
    return n > 0 && (entry.revents & (events | POLLHUP | POLLERR)) != 0;
  }

  template <typename NameFn>
  void Address(NameFn name, std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ip.clear();
    port = 0;
    if (name(sock_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return;
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
      auto* in = reinterpret_cast<sockaddr_in*>(&address);
      inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
      port = ntohs(in->sin_port);
    } else if (address.ss_family == AF_INET6) {
      auto* in6 = reinterpret_cast<sockaddr_in6*>(&address);
      inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
      port = ntohs(in6->sin6_port);
    }
    ip = text;
  }

  int sock_;
  const std::atomic<socket_t>& listening_;
  std::chrono::milliseconds readTimeout_;
  std::chrono::milliseconds writeTimeout_;
  Clock::time_point deadline_;
  std::string pending_;  // read from the socket, not yet handed to the library
  size_t next_ = 0;
};

std::chrono::milliseconds Ms(time_t sec, time_t usec) {
  return std::chrono::milliseconds(sec * 1000 + usec / 1000);
}

}  // namespace

HttpServer::HttpServer(size_t maxThreads, std::chrono::milliseconds requestDeadline)
    : requestDeadline_(requestDeadline) {
  new_task_queue = [maxThreads] { return new GrowingPool(maxThreads); };
  // Address reuse lets a restarted server bind while old connections linger;
  // port sharing is left off, so a second server cannot bind beside a live one.
  set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
}

int HttpServer::Bind(const std::string& address, int port, std::string* error) {
  errno = 0;
  int bound = port == 0 ? bind_to_any_port(address) : (bind_to_port(address, port) ? port : -1);
  if (bound <= 0) {
    int reason = errno;
    *error = "cannot listen on " + address + ":" + std::to_string(port) +
             (reason == EADDRINUSE ? ": the port is in use"
                                   : reason != 0 ? ": " + std::string(std::strerror(reason)) : "");
    return -1;
  }
  // The library listens with a backlog of 5; listening again deepens it.
  if (::listen(svr_sock_, kBacklog) != 0) {
    *error = "cannot listen on " + address + ": " + std::strerror(errno);
    return -1;
  }
  return bound;
}

bool HttpServer::WaitForRequest(socket_t sock) const {
  auto until = Clock::now() + std::chrono::seconds(keep_alive_timeout_sec_);
  while (svr_sock_ != INVALID_SOCKET) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    if (left.count() <= 0) return false;
    pollfd entry{sock, POLLIN, 0};
    int n = ::poll(&entry, 1, static_cast<int>(std::min<long long>(left.count(), kStopCheckMs)));
    if (n > 0) return true;
    if (n < 0 && errno != EINTR) return false;
  }
  return false;
}

bool HttpServer::process_and_close_socket(socket_t sock) {
  bool served = false;
  ConnectionStream stream(sock, svr_sock_, Ms(read_timeout_sec_, read_timeout_usec_),
                          Ms(write_timeout_sec_, write_timeout_usec_));
  for (size_t left = keep_alive_max_count_; left > 0; --left) {
    if (!stream.HasPending() && !WaitForRequest(sock)) break;
    if (!stream.ReadHead(Clock::now() + requestDeadline_)) break;
    bool closed = false;
    served = process_request(stream, left == 1, closed, nullptr);
    if (!served || closed) break;
  }
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return served;
}

}  // namespace zolfa_server
