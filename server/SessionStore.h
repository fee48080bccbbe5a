// Sessions issued at login. A session identifier is 32 lower-case
// hexadecimal digits; a session ends when it has not been used for the idle
// lifetime, or when the tests expire it through the control endpoint.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>

namespace zolfa_server {

class SessionStore {
 public:
  // idleLifetime 0 means that sessions never end by themselves.
  explicit SessionStore(std::chrono::seconds idleLifetime);

  // A new session for the account; returns its identifier.
  std::string Open(const std::string& account);

  // The account of a live session, which counts as a use of it; nothing for
  // an unknown, ended or empty identifier.
  std::optional<std::string> Use(const std::string& sid);

  // Ends one session (false when it did not exist) or all of them.
  bool End(const std::string& sid);
  void EndAll();

  size_t Count();

 private:
  struct Session {
    std::string account;
    std::chrono::steady_clock::time_point lastUse;
  };

  std::mutex mutex_;
  std::chrono::seconds idleLifetime_;
  std::map<std::string, Session> sessions_;
  std::mt19937_64 random_;
};

}  // namespace zolfa_server
