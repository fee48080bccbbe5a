#include "server/ControlEndpoint.h"

namespace zolfa_server {

ServiceReply ControlEndpoint::Handle(const ServiceRequest& request) {
  for (const QueryString::Pair& pair : request.query.Pairs()) {
    if (pair.key == "reset") {
      context_.settings.Reset();
    } else if (pair.key == "clear") {
      context_.settings.Clear();
    } else if (pair.key == "expire") {
      if (pair.value == "all") {
        context_.sessions.EndAll();
      } else if (!context_.sessions.End(pair.value)) {
        return ServiceReply::Text(400, "expire: no session " + pair.value + "\n");
      }
    } else if (RunSettings::IsSettingOption(pair.key)) {
      std::string error = context_.settings.Apply(pair.key, pair.value, &dataDir_);
      if (!error.empty()) return ServiceReply::Text(400, error + "\n");
    } else {
      return ServiceReply::Text(400, "unknown control \"" + pair.key + "\"\n");
    }
  }
  return ServiceReply::Text(200, "ok\nsessions " + std::to_string(context_.sessions.Count()) +
                                     "\n" + context_.settings.Describe());
}

}  // namespace zolfa_server
