// The HTTP server under the service: cpp-httplib's server with the serving
// of each connection taken over, so that
//   - the whole of a request (line, headers and body) must arrive within a
//     deadline, and a client that trickles bytes is cut off at it;
//   - answer threads are started as connections need them, up to a limit,
//     so a few slow clients cannot hold every thread;
//   - the listening socket has a deep backlog and no port sharing, so a
//     burst of connections waits in the kernel and a second server on the
//     same port fails to start instead of splitting the traffic;
//   - byte ranges are left to the service: the library's own handling of
//     them answers past the end of a body and refuses what HTTP says to
//     ignore, so a request's Range header reaches the handlers renamed to
//     kRangeHeader.
#pragma once

#include <httplib.h>

#include <chrono>
#include <string>

namespace zolfa_server {

class HttpServer : public httplib::Server {
 public:
  // Connections waiting for a thread wait in the kernel's queue up to this
  // many.
  static constexpr int kBacklog = 1024;
  // The name under which handlers find a request's Range header.
  static constexpr const char* kRangeHeader = "X-Zolfa-Range";

  HttpServer(size_t maxThreads, std::chrono::milliseconds requestDeadline);

  // Binds the address and port (0: a free one). Returns the port, or -1
  // with the reason in *error ("the port is in use", ...).
  int Bind(const std::string& address, int port, std::string* error);

 private:
  bool process_and_close_socket(socket_t sock) override;
  // Waits up to the keep-alive time for the next request to begin; false
  // when none comes or the server stops.
  bool WaitForRequest(socket_t sock) const;

  std::chrono::milliseconds requestDeadline_;
};

}  // namespace zolfa_server
