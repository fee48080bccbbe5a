// What one handle of the HTTP client stands for: a session, a connection or
// a request. Internal to the client.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/net/HttpTransfer.h"
#include "platform/net/ProxySettings.h"
#include "platform/net/WinInet.h"

namespace ce {

struct InternetObject {
  enum class Kind { kSession, kConnection, kRequest };

  // What a handle passes on to the handles opened from it.
  struct Settings {
    std::string agent;  // ANSI bytes, without control characters
    ProxySettings proxy;
    uint32_t connectTimeoutMs = kDefaultConnectTimeoutMs;
    uint32_t receiveTimeoutMs = kDefaultReceiveTimeoutMs;
    const std::atomic<int32_t>* cancelA = nullptr;
    const std::atomic<int32_t>* cancelB = nullptr;
  };

  Kind kind = Kind::kSession;
  uintptr_t id = 0;
  uintptr_t parent = 0;
  // Set when the handle (or one it was opened from) is closed; a call that
  // waits on the handle gives up when it sees it.
  std::atomic<bool> closed{false};

  Settings SettingsCopy() {
    std::lock_guard<std::mutex> lock(settingsMutex);
    return settings;
  }
  struct CancelFlags {
    const std::atomic<int32_t>* a = nullptr;
    const std::atomic<int32_t>* b = nullptr;
  };
  CancelFlags Cancel() {
    std::lock_guard<std::mutex> lock(settingsMutex);
    return {settings.cancelA, settings.cancelB};
  }
  std::mutex settingsMutex;
  Settings settings;  // guarded by settingsMutex

  // Connections and requests.
  std::string host;  // as the program named it
  INTERNET_PORT port = 0;

  // Requests: one call at a time holds operationMutex for its whole run.
  std::string method;
  std::string target;  // escaped request target
  DWORD flags = 0;
  std::mutex operationMutex;
  HttpTransfer transfer;
  bool sent = false;
};

}  // namespace ce
