// One HTTP exchange on libcurl, driven only from the calls of its owner.
//
// Nothing runs between calls: while the reader is away the bytes that
// arrive wait in a buffer of at most kMaxBufferedBytes, after which the
// connection is paused until the reader has taken them. Every wait polls the
// caller's stop check at least every kPollMs and ends at the connect or
// receive deadline, both measured on the process clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/Types.h"

struct curl_slist;

namespace ce {

class HttpTransfer {
 public:
  struct Request {
    std::string url;                   // "http://host:port/": whom the request is for
    std::string target;                // the request target of the request line
    bool head = false;                 // HEAD instead of GET
    std::string agent;                 // User-Agent
    std::vector<std::string> headers;  // further "Name: value" lines
    std::string connectTo;             // "host:port:address:port" or empty
    std::string proxy;                 // "host:port" or empty for a direct connection
    uint32_t connectTimeoutMs = 0;     // 0: no time-out
    uint32_t receiveTimeoutMs = 0;     // longest silence once connected; 0: none
  };
  // Asked while a call waits; true ends the wait with
  // ERROR_INTERNET_OPERATION_CANCELLED.
  using StopCheck = std::function<bool()>;

  static constexpr size_t kMaxBufferedBytes = 256 * 1024;
  // Bytes curl takes from the socket per receive.
  static constexpr long kReceiveBufferBytes = 64 * 1024;
  static constexpr int kPollMs = 25;

  HttpTransfer();
  ~HttpTransfer();
  HttpTransfer(const HttpTransfer&) = delete;
  HttpTransfer& operator=(const HttpTransfer&) = delete;

  // Starts the exchange (dropping any earlier one) and waits until the
  // answer's headers are in. Returns 0 or an ERROR_INTERNET_* code.
  DWORD Start(const Request& request, const StopCheck& stop);
  // The answer's status, 0 while none has arrived.
  DWORD Status() const { return headersDone_ ? status_ : 0; }
  const std::string& StatusText() const { return statusText_; }
  // The value of the first header with that name (case-insensitive).
  std::optional<std::string> Header(std::string_view name) const;
  // Hands over up to size body bytes, waiting only until some have arrived.
  // *read is 0 at the end of the body. Returns 0 or an ERROR_INTERNET_* code
  // (after all bytes received before the failure were handed over).
  DWORD Read(void* buffer, size_t size, size_t* read, const StopCheck& stop);

 private:
  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  static int OnConnected(void* self, char* primaryIp, char* localIp, int primaryPort,
                         int localPort);
  bool Setup(const Request& request);
  // Runs the transfer until ready() holds or it ends; 0, or the reason the
  // wait ended early (stop, time-out, failure of the multi interface).
  DWORD Drive(const std::function<bool()>& ready, const StopCheck& stop);
  void CollectDone();
  void Abort(DWORD error);
  void Release();
  size_t Buffered() const { return pending_.size() - pendingPos_; }
  DWORD EndError() const;

  void* easy_ = nullptr;   // CURL*
  void* multi_ = nullptr;  // CURLM*
  curl_slist* headerList_ = nullptr;
  curl_slist* connectToList_ = nullptr;
  Request request_;
  uint64_t startMs_ = 0;
  uint64_t lastActivityMs_ = 0;
  bool connected_ = false;
  bool headersDone_ = false;
  bool paused_ = false;
  bool done_ = false;
  int curlResult_ = 0;
  DWORD abortError_ = 0;
  DWORD status_ = 0;
  std::string statusText_;
  std::vector<std::pair<std::string, std::string>> headers_;
  std::string pending_;
  size_t pendingPos_ = 0;
};

}  // namespace ce
