// Chooses the endpoint of a request by its path alone: one server answers
// for every host name of the service, and the host table of the handset
// sends them all here.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "server/Endpoint.h"

namespace zolfa_server {

class Router {
 public:
  // An endpoint for exactly this path ("/ce_login.php").
  void AddPath(const std::string& path, std::unique_ptr<Endpoint> endpoint);
  // An endpoint for every path that starts with prefix ("/feed/"); the
  // longest matching prefix wins, an exact path before any prefix.
  void AddPrefix(const std::string& prefix, std::unique_ptr<Endpoint> endpoint);

  // The endpoint for a path, or null.
  Endpoint* Find(const std::string& path) const;

 private:
  std::map<std::string, std::unique_ptr<Endpoint>> paths_;
  std::vector<std::pair<std::string, std::unique_ptr<Endpoint>>> prefixes_;
};

}  // namespace zolfa_server
