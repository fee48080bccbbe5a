// "/bench/blob?bytes=N" answers N bytes of fixed data (byte i is i mod 251),
// produced as they are sent so that large bodies cost no memory. With
// "&chunked=1" the body goes with chunked transfer coding. Used by the HTTP
// client's benchmarks and tests.
#pragma once

#include <cstddef>

#include "server/Endpoint.h"

namespace zolfa_server {

class BlobEndpoint : public Endpoint {
 public:
  static constexpr size_t kMaxBytes = size_t{4} << 30;  // 4 GiB

  ServiceReply Handle(const ServiceRequest& request) override;
  static char ByteAt(size_t offset) { return static_cast<char>(offset % 251); }
};

}  // namespace zolfa_server
