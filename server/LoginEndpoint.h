// "/ce_login.php?act=login&uid=ACCOUNT&passwd=DIGEST&<device query>" on the
// login hosts. A known account with the right password gets a new session
// and the account's status (0 unless the accounts file says otherwise); an
// unknown account gets status -1, a wrong password -2, both with an empty
// sid (as has an account whose status the handset refuses).
#pragma once

#include "server/Endpoint.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class LoginEndpoint : public Endpoint {
 public:
  explicit LoginEndpoint(ServiceContext& context) : context_(context) {}
  ServiceReply Handle(const ServiceRequest& request) override;

 private:
  ServiceContext& context_;
};

}  // namespace zolfa_server
