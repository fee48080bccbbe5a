#include "server/Router.h"

namespace zolfa_server {

void Router::AddPath(const std::string& path, std::unique_ptr<Endpoint> endpoint) {
  paths_[path] = std::move(endpoint);
}

void Router::AddPrefix(const std::string& prefix, std::unique_ptr<Endpoint> endpoint) {
  prefixes_.emplace_back(prefix, std::move(endpoint));
}

Endpoint* Router::Find(const std::string& path) const {
  auto exact = paths_.find(path);
  if (exact != paths_.end()) return exact->second.get();
  Endpoint* best = nullptr;
  size_t bestLength = 0;
  for (const auto& [prefix, endpoint] : prefixes_) {
    if (path.rfind(prefix, 0) == 0 && prefix.size() >= bestLength) {
      best = endpoint.get();
      bestLength = prefix.size();
    }
  }
  return best;
}

}  // namespace zolfa_server
