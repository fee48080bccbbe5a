// One request as the endpoints see it.
#pragma once

#include <string>

#include "server/QueryString.h"

namespace zolfa_server {

struct ServiceRequest {
  std::string method;
  std::string host;    // the Host header without its port, lower case
  std::string target;  // path and query exactly as sent
  std::string path;    // the target up to "?", not decoded
  std::string agent;   // the User-Agent header; empty when none
  QueryString query;
};

}  // namespace zolfa_server
