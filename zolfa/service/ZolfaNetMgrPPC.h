// The service manager: one instance for the whole program, created before
// the user interface and destroyed after it.
//
// It holds the session (sid, the servers handed out at login, the client
// identifier and the common device query string), logs in and checks the
// session on worker threads, and tells the top-level dialog the outcome by
// synchronous window messages (ServiceMessages.h). It is also the frame of
// every other request of the service: the abort flag, the per-kind request
// locks, the session values and idle-priority workers that destruction waits
// for.
//
// Threads: Login, SetOnline and the getters are called on the user interface
// thread; the login workers, the keep-alive thread and the request workers
// of other subsystems read the flags (relaxed atomics, no lock) and copy the
// session values under one small lock at their start.
//
// The manager must be destroyed after its window is gone or on a thread
// other than the window's: destruction waits for workers, and a worker may
// be waiting for the window's thread to handle its message.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/base/Thread.h"
#include "platform/base/Types.h"
#include "zolfa/service/LoginResult.h"
#include "zolfa/service/ServerEndpoints.h"
#include "zolfa/service/ServiceTransport.h"

namespace zolfa {

class ZolfaNetMgrPPC {
 public:
  // The session check runs after this many one-second pauses.
  static constexpr int kKeepAliveSeconds = 599;
  // Runs of one session check, and the pause after a failed run: kRetryBaseMs
  // plus (next random number modulo kRetrySpreadMs) milliseconds.
  static constexpr int kCheckRuns = 3;
  static constexpr ce::DWORD kRetryBaseMs = 1000;
  static constexpr int kRetrySpreadMs = 10000;

  struct Options {
    // Null: the real HttpGet.
    ServiceTransport transport;
    // Priority of the workers and the keep-alive thread. Tests that step a
    // virtual clock through many hand-overs raise it, so that a busy machine
    // cannot starve them.
    int workerPriority = ce::THREAD_PRIORITY_IDLE;
  };

  // Starts the keep-alive thread.
  ZolfaNetMgrPPC();
  explicit ZolfaNetMgrPPC(Options options);
  // Raises the abort and stop flags and waits until every worker and the
  // keep-alive thread have ended (Shutdown).
  ~ZolfaNetMgrPPC();
  ZolfaNetMgrPPC(const ZolfaNetMgrPPC&) = delete;
  ZolfaNetMgrPPC& operator=(const ZolfaNetMgrPPC&) = delete;

  // Starts a login of account with the password text to send (the digest)
  // and returns at once; the outcome reaches window as MSG_LOGIN_DONE,
  // MSG_LOGIN_FAILED or MSG_LOGIN_CANCELLED. cancel 1 cancels a login in
  // progress: only MSG_LOGIN_CANCELLED arrives, never the first outcome.
  void Login(ce::HWND window, std::u16string_view account, std::u16string_view password,
             int32_t cancel);
  // true: logged in, aborting and logging out cleared. false: sid emptied,
  // aborting and logging out raised, logged in cleared.
  void SetOnline(bool online);
  // One session check with up to kCheckRuns runs; the keep-alive thread runs
  // it every kKeepAliveSeconds. Does nothing unless logged in.
  void CheckSession();
  // Rebuilds the common device query string from the device identifier, the
  // client identifier and sid, and returns it.
  std::u16string BuildCommonQuery();
  static std::u16string DeviceIdText();
  // True, with MSG_SESSION_ERROR sent to the window carrying the server's
  // text, when the manager is logged in and answer holds sid_errno followed
  // by a non-empty sid_errmsg. Sets or clears the session error flag.
  bool CheckSessionError(std::u16string_view answer);
  // Ends the manager's service: raises abort and stop, waits for every
  // running worker (taking the locks of login, song ticket, album photo,
  // backup import and keep-alive in turn, then until every thread started by
  // the manager has returned) and clears abort, logged in and logging out.
  // The keep-alive thread does not come back.
  void Shutdown();

  // Starts fn on a worker thread at the workers' priority (idle unless the
  // options say otherwise). Destruction waits for it.
  // The worker takes the lock of its request kind itself. false when no
  // thread could be started (fn is then dropped).
  bool StartWorker(std::function<void()> fn);

  // Session values, copied under the session lock.
  std::u16string Sid() const;
  std::u16string CommonQuery() const;
  std::u16string RequestPath() const;
  std::u16string ClientId() const;
  ServerEndpoints Servers() const;
  ce::HWND Window() const { return window_.load(std::memory_order_relaxed); }

  // Flags and counters shared without locks (relaxed order). Request workers
  // pass AbortRequestsFlag to HttpGet as a cancel flag.
  std::atomic<int32_t>& AbortRequestsFlag() { return abortRequests_; }
  std::atomic<int32_t>& LoggedInFlag() { return loggedIn_; }
  std::atomic<int32_t>& StopKeepAliveFlag() { return stopKeepAlive_; }
  std::atomic<int32_t>& LoggingOutFlag() { return loggingOut_; }
  std::atomic<int32_t>& SessionErrorFlag() { return sessionError_; }
  std::atomic<int32_t>& LoginCancelFlag() { return loginCancel_; }
  std::atomic<int32_t>& LoginSerial() { return loginSerial_; }
  // Waits until the logging-in state has ended (the login serial is 0 again,
  // which the worker whose outcome was delivered sets once its send has
  // returned), or timeoutMs of real time passed (false). Any thread but the
  // window's.
  bool WaitForLoginSettled(int timeoutMs);

  // The locks of the request kinds; a worker holds its kind's lock for its
  // whole run, so requests of one kind run one after another.
  ce::CriticalSection& LoginLock() { return loginLock_; }
  ce::CriticalSection& BrowseLock() { return browseLock_; }
  ce::CriticalSection& TicketLock() { return ticketLock_; }
  ce::CriticalSection& PhotoLock() { return photoLock_; }
  ce::CriticalSection& BackupLock() { return backupLock_; }
  ce::CriticalSection& KeepAliveLock() { return keepAliveLock_; }

 private:
  enum class Mode { kLogin, kCheck };

  // One login (two attempts) or check run; true when an answer was read.
  // Its transfers also stop when the manager stops, so destruction need not
  // wait for a slow server; an exchange ended that way delivers nothing.
  bool Exchange(Mode mode, LoginResult& record, const std::u16string& path);
  // Sends message to the window when it exists, the record's serial is the
  // current login serial and no cancel is pending.
  bool Deliver(const LoginResult& record, ce::UINT message, ce::WPARAM wParam);
  void KeepAliveMain();
  // Waits ms on the process clock; false (at once) when the manager stops.
  bool Pause(ce::DWORD ms);
  void RaiseStop();
  void WorkerEnded();
  static ce::DWORD WorkerMain(void* parameter);

  // Fields of the session, in their order.
  std::atomic<int32_t> abortRequests_{0};
  std::atomic<int32_t> loggedIn_{0};
  std::atomic<int32_t> stopKeepAlive_{0};
  std::atomic<int32_t> loggingOut_{0};
  std::atomic<int32_t> sessionError_{0};
  std::atomic<int32_t> loginCancel_{0};
  std::atomic<int32_t> loginSerial_{0};
  std::atomic<ce::HWND> window_{nullptr};
  // Guarded by sessionMutex_.
  mutable std::mutex sessionMutex_;
  std::u16string sid_;
  std::u16string commonQuery_;
  std::u16string requestPath_;
  std::u16string clientId_;
  ServerEndpoints servers_;

  ServiceTransport transport_;
  int workerPriority_;

  ce::CriticalSection loginLock_;
  ce::CriticalSection browseLock_;
  ce::CriticalSection ticketLock_;
  ce::CriticalSection photoLock_;
  ce::CriticalSection backupLock_;
  ce::CriticalSection keepAliveLock_;

  // Wakes the pauses of the keep-alive thread when stopKeepAlive_ rises.
  std::mutex stopMutex_;
  std::condition_variable stopChanged_;

  // Threads started by the manager that have not returned yet; the
  // condition is also notified when the login serial returns to 0.
  std::mutex threadsMutex_;
  std::condition_variable threadsChanged_;
  int runningThreads_ = 0;
};

}  // namespace zolfa
