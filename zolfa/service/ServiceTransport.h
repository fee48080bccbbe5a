// The one exchange the service manager needs of the transport: a GET whose
// body comes back as UTF-16 text decoded from the device's ANSI code page.
// The manager uses HttpGet; tests put a scripted transport in its place.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace zolfa {

struct ServiceRequest {
  std::u16string agent;  // "ZOLFA (login)" or "ZOLFA (check)"
  std::u16string host;
  std::u16string path;  // path and query, already escaped
  uint32_t port = 80;
  // Cancel flags owned by the manager; either may be null.
  const std::atomic<int32_t>* cancelA = nullptr;
  const std::atomic<int32_t>* cancelB = nullptr;
};

struct ServiceReply {
  int32_t result = -1;  // 200, another HTTP status, -1 cancelled, or a transport failure
  std::u16string text;  // the body on 200
};

using ServiceTransport = std::function<ServiceReply(const ServiceRequest&)>;

// The real transport: HttpGet with text decoding in code page 0.
ServiceReply HttpGetText(const ServiceRequest& request);

}  // namespace zolfa
