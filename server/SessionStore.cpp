#include "server/SessionStore.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace zolfa_server {

namespace {

// 16 bytes of the kernel's random source as 32 hexadecimal digits.
std::string RandomSid() {
  unsigned char bytes[16];
  size_t got = 0;
  while (got < sizeof bytes) {
    ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("no random source for session ids");
    got += static_cast<size_t>(n);
  }
  char text[33];
  for (size_t i = 0; i < sizeof bytes; ++i) std::snprintf(text + 2 * i, 3, "%02x", bytes[i]);
  return std::string(text, 32);
}

}  // namespace

SessionStore::SessionStore(std::chrono::seconds idleLifetime, Clock clock)
    : idleLifetime_(idleLifetime), clock_(std::move(clock)), lastSweep_(clock_()) {}

std::string SessionStore::Open(const std::string& account) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto now = clock_();
  SweepLocked(now);
  std::string sid;
  do {
    sid = RandomSid();
  } while (sessions_.count(sid) != 0);
  sessions_[sid] = Session{account, now};
  return sid;
}

std::optional<std::string> SessionStore::Use(const std::string& sid) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = sessions_.find(sid);
  if (it == sessions_.end()) return std::nullopt;
  auto now = clock_();
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
  SweepLocked(clock_());
  return sessions_.size();
}

void SessionStore::SweepLocked(std::chrono::steady_clock::time_point now) {
  if (idleLifetime_.count() == 0 || now - lastSweep_ < std::chrono::seconds(1)) return;
  lastSweep_ = now;
  for (auto it = sessions_.begin(); it != sessions_.end();) {
    it = now - it->second.lastUse > idleLifetime_ ? sessions_.erase(it) : std::next(it);
  }
}

}  // namespace zolfa_server
