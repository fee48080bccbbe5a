// Sessions issued at login. A session identifier is 32 lower-case
// hexadecimal digits drawn from the system's random source; a session ends
// when it has not been used for the idle lifetime (its record is then swept
// away), or when the tests expire it through the control endpoint.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace zolfa_server {

class SessionStore {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // idleLifetime 0 means that sessions never end by themselves. clock is
  // the time source (the steady clock; tests give their own).
  explicit SessionStore(std::chrono::seconds idleLifetime,
                        Clock clock = &std::chrono::steady_clock::now);

  // A new session for the account; returns its identifier.
  std::string Open(const std::string& account);

  // The account of a live session, which counts as a use of it; nothing for
  // an unknown, ended or empty identifier.
  std::optional<std::string> Use(const std::string& sid);

  // Ends one session (false when it did not exist) or all of them.
  bool End(const std::string& sid);
  void EndAll();

  // Live sessions (ended ones are swept first).
  size_t Count();

 private:
  struct Session {
    std::string account;
    std::chrono::steady_clock::time_point lastUse;
  };

  // Removes the sessions idle for longer than the lifetime; at most once a
  // second, so that logins stay cheap with many sessions. Under mutex_.
  void SweepLocked(std::chrono::steady_clock::time_point now);

  std::mutex mutex_;
  std::chrono::seconds idleLifetime_;
  Clock clock_;
  std::map<std::string, Session> sessions_;
  std::chrono::steady_clock::time_point lastSweep_;
};

}  // namespace zolfa_server
