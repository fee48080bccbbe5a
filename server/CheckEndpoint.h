// "/ce_check.php?<device query>" on the session host. A live session is
// answered like a login (same sid, the account's status); an unknown or
// ended one with an empty sid, status -3 and a login message that tells the
// user to log in again.
#pragma once

#include "server/Endpoint.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class CheckEndpoint : public Endpoint {
 public:
  explicit CheckEndpoint(ServiceContext& context) : context_(context) {}
  ServiceReply Handle(const ServiceRequest& request) override;

 private:
  ServiceContext& context_;
};

}  // namespace zolfa_server
