// One path of the service. Endpoints are called from several server threads
// at once and keep whatever state they share behind their own locks.
#pragma once

#include "server/ServiceReply.h"
#include "server/ServiceRequest.h"

namespace zolfa_server {

class Endpoint {
 public:
  virtual ~Endpoint() = default;
  virtual ServiceReply Handle(const ServiceRequest& request) = 0;
};

}  // namespace zolfa_server
