// A local HTTP server for client tests: cpp-httplib on 127.0.0.1 at a free
// port, in its own thread. Handlers are registered by path; every request is
// recorded as it arrived. Gates let a handler stall until the test opens
// them (or the server goes away), so tests order client and server steps
// without sleeping.
#pragma once

#include <httplib.h>
#include <strings.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

class TestHttpServer {
 public:
  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

  struct Seen {
    std::string method;
    std::string target;  // as on the request line
    std::map<std::string, std::string> headers;
    std::string Header(const std::string& name) const {
      for (const auto& [key, value] : headers)
        if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
      return {};
    }
    bool HasHeader(const std::string& name) const {
      for (const auto& [key, value] : headers)
        if (strcasecmp(key.c_str(), name.c_str()) == 0) return true;
      return false;
    }
  };

  TestHttpServer() {
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
      Record(request);
      return httplib::Server::HandlerResponse::Unhandled;
    });
    server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
      Dispatch(request, response);
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }

  ~TestHttpServer() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    while (!server_.is_running()) std::this_thread::yield();
    server_.stop();
    thread_.join();
  }

  int Port() const { return port_; }

  // The handler for requests whose path (without query) is path; others
  // get 404.
  void On(const std::string& path, Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handlers_[path] = std::move(handler);
  }

  std::vector<Seen> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

  // Waits (real time, bounded) until count requests have arrived.
  bool WaitForRequests(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kGateLimit, [&] { return seen_.size() >= count; });
  }

  void OpenGate(const std::string& name) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_.insert(name);
    }
    changed_.notify_all();
  }

  // Called by handlers: returns true when the test opened the gate, false
  // when the wait ended otherwise (server stopping, or a bounded time so a
  // faulty client fails a test instead of hanging it).
  bool WaitGate(const std::string& name) {
    std::unique_lock<std::mutex> lock(mutex_);
    bool opened = changed_.wait_for(lock, kGateLimit,
                                    [&] { return open_.count(name) > 0 || stopping_; }) &&
                  open_.count(name) > 0;
    if (!opened) timedOut_.insert(name);
    return opened;
  }

  bool GateTimedOut(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    return timedOut_.count(name) > 0;
  }

 private:
  static constexpr std::chrono::seconds kGateLimit{10};

  void Record(const httplib::Request& request) {
    Seen seen;
    seen.method = request.method;
    seen.target = request.target;
    for (const auto& [key, value] : request.headers) seen.headers[key] = value;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.push_back(std::move(seen));
    }
    changed_.notify_all();
  }

  void Dispatch(const httplib::Request& request, httplib::Response& response) {
    Handler handler;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = handlers_.find(request.path);
      if (it != handlers_.end()) handler = it->second;
    }
    if (handler) {
      handler(request, response);
    } else {
      response.status = 404;
      response.set_content("not here", "text/plain");
    }
  }

  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, Handler> handlers_;
  std::vector<Seen> seen_;
  std::set<std::string> open_;
  std::set<std::string> timedOut_;
  bool stopping_ = false;
};

}  // namespace test_support
