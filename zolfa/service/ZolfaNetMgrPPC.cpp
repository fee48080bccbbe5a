#include "zolfa/service/ZolfaNetMgrPPC.h"

#include <chrono>
#include <utility>

#include "platform/base/Clock.h"
#include "platform/base/Debug.h"
#include "platform/base/Handles.h"
#include "platform/base/Random.h"
#include "platform/window/Message.h"
#include "platform/window/Window.h"
#include "zolfa/service/ClientId.h"
#include "zolfa/service/DeviceParameters.h"
#include "zolfa/service/FindTag.h"
#include "zolfa/service/LoginAnswer.h"
#include "zolfa/service/LoginHosts.h"
#include "zolfa/service/ServiceMessages.h"
#include "zolfa/service/UrlEncode.h"

namespace zolfa {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

constexpr char16_t kLoginAgent[] = u"ZOLFA (login)";
constexpr char16_t kCheckAgent[] = u"ZOLFA (check)";

struct WorkerStart {
  ZolfaNetMgrPPC* manager;
  int priority;
  std::function<void()> fn;
};

}  // namespace

ZolfaNetMgrPPC::ZolfaNetMgrPPC() : ZolfaNetMgrPPC(Options{}) {}

ZolfaNetMgrPPC::ZolfaNetMgrPPC(Options options)
    : transport_(options.transport ? std::move(options.transport) : ServiceTransport(HttpGetText)),
      workerPriority_(options.workerPriority) {
  if (!StartWorker([this] { KeepAliveMain(); })) {
    ce::OutputDebugString(u"ZolfaNetMgrPPC: the keep-alive thread could not be started\n");
  }
}

ZolfaNetMgrPPC::~ZolfaNetMgrPPC() {
  // The buffers (sid, query, path, servers) are members and go only after
  // Shutdown has seen every worker end, since the workers read them.
  abortRequests_.store(1, kRelaxed);
  RaiseStop();
  Shutdown();
}

void ZolfaNetMgrPPC::Login(ce::HWND window, std::u16string_view account,
                           std::u16string_view password, int32_t cancel) {
  auto record = std::make_shared<LoginResult>();
  record->window = window;
  record->serial = loginSerial_.fetch_add(1, kRelaxed) + 1;
  window_.store(window, kRelaxed);
  loginCancel_.store(cancel, kRelaxed);

  std::u16string clientId = ReadOrCreateClientId();
  {
    std::lock_guard<std::mutex> lock(sessionMutex_);
    clientId_ = clientId;
  }
  std::u16string query = BuildCommonQuery();
  // The worker gets its own copy of the path, so a check or a later login
  // that formats requestPath meanwhile cannot change what this one sends.
  std::u16string path = u"/ce_login.php?act=login&uid=" + UrlEncode(account) + u"&passwd=" +
                        UrlEncode(password) + u"&" + query;
  {
    std::lock_guard<std::mutex> lock(sessionMutex_);
    requestPath_ = path;
  }
  bool started = StartWorker([this, record, path] {
    ce::CriticalSectionLock lock(loginLock_);
    Exchange(Mode::kLogin, *record, path);
  });
  if (!started) {
    ce::OutputDebugString(u"ZolfaNetMgrPPC: no thread for the login\n");
  }
}

void ZolfaNetMgrPPC::SetOnline(bool online) {
  if (online) {
    loggedIn_.store(1, kRelaxed);
    abortRequests_.store(0, kRelaxed);
    loggingOut_.store(0, kRelaxed);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(sessionMutex_);
    sid_.clear();
  }
  abortRequests_.store(1, kRelaxed);
  loggingOut_.store(1, kRelaxed);
  loggedIn_.store(0, kRelaxed);
}

void ZolfaNetMgrPPC::CheckSession() {
  if (loggedIn_.load(kRelaxed) == 0) {
    return;
  }
  LoginResult record;  // serial 0: delivered only while no login runs
  std::u16string path = u"/ce_check.php?" + CommonQuery();
  {
    std::lock_guard<std::mutex> lock(sessionMutex_);
    requestPath_ = path;
  }
  for (int run = 1; run <= kCheckRuns; ++run) {
    if (Exchange(Mode::kCheck, record, path)) {
      return;
    }
    ce::DWORD pauseMs = kRetryBaseMs + static_cast<ce::DWORD>(ce::rand() % kRetrySpreadMs);
    if (!Pause(pauseMs)) {
      return;
    }
  }
}

std::u16string ZolfaNetMgrPPC::BuildCommonQuery() {
  std::u16string deviceId = DeviceIdText();
  std::lock_guard<std::mutex> lock(sessionMutex_);
  commonQuery_ = DeviceParameters(deviceId, clientId_, sid_);
  return commonQuery_;
}

std::u16string ZolfaNetMgrPPC::DeviceIdText() { return zolfa::DeviceIdText(); }

bool ZolfaNetMgrPPC::CheckSessionError(std::u16string_view answer) {
  if (loggedIn_.load(kRelaxed) != 0) {
    TagCursor cursor(answer);
    if (FindTag(cursor, u"<sid_errno>", u"</sid_errno>").found) {
      TagValue message = FindTag(cursor, u"<sid_errmsg>", u"</sid_errmsg>");
      if (message.HasValue()) {
        sessionError_.store(1, kRelaxed);
        // Zero-terminated copy; valid while the message is handled.
        std::u16string text(message.value);
        ce::HWND window = window_.load(kRelaxed);
        if (ce::IsWindow(window)) {
          ce::SendMessage(window, MSG_SESSION_ERROR, reinterpret_cast<ce::WPARAM>(text.c_str()), 0);
        }
        return true;
      }
    }
  }
  sessionError_.store(0, kRelaxed);
  return false;
}

void ZolfaNetMgrPPC::Shutdown() {
  abortRequests_.store(1, kRelaxed);
  // The keep-alive thread holds its lock for its whole life; it lets go
  // only once the stop flag is up.
  RaiseStop();
  for (ce::CriticalSection* lock :
       {&loginLock_, &ticketLock_, &photoLock_, &backupLock_, &keepAliveLock_}) {
    lock->Enter();
    lock->Leave();
  }
  // A worker that was started but had not yet taken its lock, or one of a
  // kind without a lock above, is waited for here.
  {
    std::unique_lock<std::mutex> lock(threadsMutex_);
    threadsChanged_.wait(lock, [this] { return runningThreads_ == 0; });
  }
  abortRequests_.store(0, kRelaxed);
  loggedIn_.store(0, kRelaxed);
  loggingOut_.store(0, kRelaxed);
}

bool ZolfaNetMgrPPC::WaitForLoginSettled(int timeoutMs) {
  std::unique_lock<std::mutex> lock(threadsMutex_);
  return threadsChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [this] { return loginSerial_.load(kRelaxed) == 0; });
}

bool ZolfaNetMgrPPC::StartWorker(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> lock(threadsMutex_);
    ++runningThreads_;
  }
  auto* start = new WorkerStart{this, workerPriority_, std::move(fn)};  // owned by the new thread
  ce::HANDLE thread = ce::CreateThread(nullptr, 0, WorkerMain, start, 0, nullptr);
  if (thread == nullptr) {
    delete start;
    WorkerEnded();
    return false;
  }
  ce::CloseHandle(thread);
  return true;
}

std::u16string ZolfaNetMgrPPC::Sid() const {
  std::lock_guard<std::mutex> lock(sessionMutex_);
  return sid_;
}

std::u16string ZolfaNetMgrPPC::CommonQuery() const {
  std::lock_guard<std::mutex> lock(sessionMutex_);
  return commonQuery_;
}

std::u16string ZolfaNetMgrPPC::RequestPath() const {
  std::lock_guard<std::mutex> lock(sessionMutex_);
  return requestPath_;
}

std::u16string ZolfaNetMgrPPC::ClientId() const {
  std::lock_guard<std::mutex> lock(sessionMutex_);
  return clientId_;
}

ServerEndpoints ZolfaNetMgrPPC::Servers() const {
  std::lock_guard<std::mutex> lock(sessionMutex_);
  return servers_;
}

bool ZolfaNetMgrPPC::Exchange(Mode mode, LoginResult& record, const std::u16string& path) {
  const bool check = mode == Mode::kCheck;
  const int attempts = check ? 1 : 2;
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    ServiceReply reply;
    if (check) {
      ServerEndpoints servers = Servers();
      ServiceRequest request{
          kCheckAgent,     servers.ss, path, static_cast<uint32_t>(servers.ssPort),
          &stopKeepAlive_, nullptr};
      reply = transport_(request);
    } else if (loginCancel_.load(kRelaxed) == 0) {
      ServiceRequest request{kLoginAgent,   attempt == 1 ? kPrimaryLoginHost : kSecondaryLoginHost,
                             path,          kLoginPort,
                             &loginCancel_, &stopKeepAlive_};
      reply = transport_(request);
    }
    // A manager that is being destroyed delivers nothing more.
    if (stopKeepAlive_.load(kRelaxed) != 0) {
      return false;
    }
    if (check && loggedIn_.load(kRelaxed) == 0) {
      return false;
    }
    if (loginCancel_.load(kRelaxed) != 0) {
      if (record.serial == loginSerial_.load(kRelaxed) && ce::IsWindow(window_.load(kRelaxed))) {
        ce::SendMessage(window_.load(kRelaxed), check ? MSG_CHECK_CANCELLED : MSG_LOGIN_CANCELLED,
                        0, 0);
      }
      return false;
    }
    if (reply.result == 200 && !reply.text.empty()) {
      LoginAnswer answer = LoginAnswer::Parse(reply.text);
      {
        std::lock_guard<std::mutex> lock(sessionMutex_);
        answer.ApplyTo(sid_, servers_);
      }
      BuildCommonQuery();
      answer.ApplyTo(record);
      if (Deliver(record, check ? MSG_CHECK_DONE : MSG_LOGIN_DONE,
                  reinterpret_cast<ce::WPARAM>(&record))) {
        // Only the login that was delivered ends the logging-in state; a
        // login started while this message was handled keeps its serial.
        int32_t delivered = record.serial;
        if (loginSerial_.compare_exchange_strong(delivered, 0, kRelaxed)) {
          std::lock_guard<std::mutex> lock(threadsMutex_);
          threadsChanged_.notify_all();
        }
      }
      return true;
    }
    if (check || attempt == attempts) {
      Deliver(record, check ? MSG_CHECK_FAILED : MSG_LOGIN_FAILED, 0);
      return false;
    }
    if (loginCancel_.load(kRelaxed) != 0) {
      return false;
    }
  }
  return false;
}

bool ZolfaNetMgrPPC::Deliver(const LoginResult& record, ce::UINT message, ce::WPARAM wParam) {
  ce::HWND window = window_.load(kRelaxed);
  if (!ce::IsWindow(window) || record.serial != loginSerial_.load(kRelaxed) ||
      loginCancel_.load(kRelaxed) != 0) {
    return false;
  }
  ce::SendMessage(window, message, wParam, 0);
  return true;
}

void ZolfaNetMgrPPC::KeepAliveMain() {
  ce::CriticalSectionLock lock(keepAliveLock_);
  for (;;) {
    for (int second = 0; second < kKeepAliveSeconds; ++second) {
      if (stopKeepAlive_.load(kRelaxed) != 0) {
        return;
      }
      Pause(1000);
    }
    CheckSession();
  }
}

bool ZolfaNetMgrPPC::Pause(ce::DWORD ms) {
  ce::Clock& clock = ce::CurrentClock();
  std::unique_lock<std::mutex> lock(stopMutex_);
  const uint64_t deadline = clock.NowMs() + ms;
  while (stopKeepAlive_.load(kRelaxed) == 0) {
    if (!clock.WaitUntil(lock, stopChanged_, deadline) || clock.NowMs() >= deadline) {
      return stopKeepAlive_.load(kRelaxed) == 0;
    }
  }
  return false;
}

void ZolfaNetMgrPPC::RaiseStop() {
  std::lock_guard<std::mutex> lock(stopMutex_);
  stopKeepAlive_.store(1, kRelaxed);
  stopChanged_.notify_all();
}

void ZolfaNetMgrPPC::WorkerEnded() {
  // Notified under the lock: once the waiter sees zero it may destroy the
  // manager, and nothing of it is touched after the lock is released.
  std::lock_guard<std::mutex> lock(threadsMutex_);
  --runningThreads_;
  threadsChanged_.notify_all();
}

ce::DWORD ZolfaNetMgrPPC::WorkerMain(void* parameter) {
  auto* start = static_cast<WorkerStart*>(parameter);
  ce::SetThreadPriority(ce::GetCurrentThread(), start->priority);
  start->fn();
  start->fn = nullptr;  // captured records go before the manager may
  ZolfaNetMgrPPC* manager = start->manager;
  delete start;
  manager->WorkerEnded();
  return 0;
}

}  // namespace zolfa
