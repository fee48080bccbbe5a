// "/_control?..." changes the run while the server runs; only tests use
// it. Its parameters are applied in the order given:
//   reset            back to the settings of the command line
//   clear            no faults and no answer changes at all
//   expire=SID|all   end one session or all of them
//   fault=SPEC, fail-host=HOST=STATUS, delay-host=HOST=MS, delay-path=PATH=MS,
//   set=RULE, drop=RULE, unclose=RULE, order=RULE
//                    add a setting, as the command-line option of that name
// Values are percent-encoded UTF-8. The answer is 200 with "ok" and the
// settings now in force, or 400 with the first error (settings before it
// stay applied). Faults never apply to this path. A fault's body-file must
// be a file of the server's data folder: any local client may call here.
#pragma once

#include <filesystem>

#include "server/Endpoint.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class ControlEndpoint : public Endpoint {
 public:
  ControlEndpoint(ServiceContext& context, std::filesystem::path dataDir)
      : context_(context), dataDir_(std::move(dataDir)) {}
  ServiceReply Handle(const ServiceRequest& request) override;

 private:
  ServiceContext& context_;
  std::filesystem::path dataDir_;
};

}  // namespace zolfa_server
