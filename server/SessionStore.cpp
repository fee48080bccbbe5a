#include "server/SessionStore.h"

#include <cstdio>

namespace zolfa_server {

SessionStore::SessionStore(std::chrono::seconds idleLifetime)
    : idleLifetime_(idleLifetime), random_(std::random_device{}()) {}

std::string SessionStore::Open(const std::string& account) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string sid;
  do {
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx",
                  static_cast<unsigned long long>(random_()),
                  static_cast<unsigned long long>(random_()));
    sid = text;
  } while (sessions_.count(sid) != 0);
  sessions_[sid] = Session{account, std::chrono::steady_clock::now()};
  return sid;
}

std::optional<std::string> SessionStore::Use(const std::string& sid) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = sessions_.find(sid);
  if (it == sessions_.end()) return std::nullopt;
  auto now = std::chrono::steady_clock::now();
  if (idleLifetime_.count() > 0 && now - it->second.lastUse > idleLifetime_) {
    sessions_.erase(it);
    return std::nullopt;
  }
  it->second.lastUse = now;
  return it->second.account;
}

bool SessionStore::End(const std::string& sid) {
  std::lock_guard<std::mutex> lock(mutex_);
  return sessions_.erase(sid) != 0;
}

void SessionStore::EndAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  sessions_.clear();
}

size_t SessionStore::Count() {
  std::lock_guard<std::mutex> lock(mutex_);
  return sessions_.size();
}

}  // namespace zolfa_server
