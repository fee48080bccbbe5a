// A top-level window on a thread of its own that pumps messages and records
// what the service manager sends it, the way the top-level dialog receives
// it. A handler may act on each message on the window's thread while the
// sender waits (as the dialog calls SetOnline there).
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Thread.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Message.h"
#include "platform/window/Window.h"
#include "tests/support/Wait.h"
#include "zolfa/service/LoginResult.h"
#include "zolfa/service/ServiceMessages.h"

namespace test_support {

class ServiceReceiver {
 public:
  struct Received {
    ce::UINT message = 0;
    std::optional<zolfa::LoginResult> result;  // a copy, for MSG_LOGIN_DONE / MSG_CHECK_DONE
    std::u16string text;                       // MSG_SESSION_ERROR
    uint64_t atMs = 0;                         // process clock
  };
  using Handler = std::function<void(const Received&)>;

  ServiceReceiver() {
    thread_ = std::thread([this] { Run(); });
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return started_; });
  }

  ~ServiceReceiver() {
    Resume();
    if (ce::IsWindow(window_)) {
      ce::PostMessage(window_, kQuit, 0, 0);
    } else {
      ce::PostThreadMessage(threadId_, kQuit, 0, 0);
    }
    thread_.join();
  }

  ServiceReceiver(const ServiceReceiver&) = delete;
  ServiceReceiver& operator=(const ServiceReceiver&) = delete;

  ce::HWND Window() const { return window_; }

  // Runs on the window's thread for every service message, after it has
  // been recorded.
  void SetHandler(Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(handler);
  }

  std::vector<Received> Messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

  std::vector<ce::UINT> Numbers() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ce::UINT> numbers;
    for (const Received& r : received_) {
      numbers.push_back(r.message);
    }
    return numbers;
  }

  // Waits until count messages have arrived.
  bool WaitForMessages(size_t count, int limitMs = kWaitLimitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return WaitUntil(lock, changed_, [&] { return received_.size() >= count; }, limitMs);
  }

  // Makes the window's thread stop handling messages: it waits inside a
  // posted message until Resume or DestroyWhileHeld. Returns once it waits.
  void Hold() {
    ce::PostMessage(window_, kHold, 0, 0);
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return held_; });
  }

  // While held: waits until a message sent to the window waits for the
  // window's thread.
  bool WaitForPendingSend(int limitMs = kWaitLimitMs) {
    ce::DWORD threadId;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      threadId = threadId_;
    }
    return ce::testing::WaitForPendingSend(threadId, limitMs);
  }

  void Resume() {
    std::lock_guard<std::mutex> lock(mutex_);
    release_ = true;
    changed_.notify_all();
  }

  // Ends a hold by destroying the window on its thread without handling
  // anything that waits for it; returns once the window is gone.
  void DestroyWhileHeld() {
    std::unique_lock<std::mutex> lock(mutex_);
    destroy_ = true;
    release_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !held_; });
  }

 private:
  static constexpr ce::UINT kQuit = ce::WM_APP + 1;
  static constexpr ce::UINT kHold = ce::WM_APP + 2;
  static constexpr char16_t kClassName[] = u"ServiceReceiver";

  void Run() {
    ce::WNDCLASS wc;
    wc.lpfnWndProc = &ServiceReceiver::Proc;
    wc.lpszClassName = kClassName;
    ce::RegisterClass(&wc);  // fails harmlessly when a previous receiver registered it
    ce::HWND window = ce::CreateWindowEx(0, kClassName, u"receiver", ce::WS_POPUP, 0, 0, 10, 10,
                                         nullptr, nullptr, nullptr, this);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      window_ = window;
      threadId_ = ce::GetCurrentThreadId();
      started_ = true;
      changed_.notify_all();
    }
    ce::MSG msg;
    while (ce::GetMessage(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == kQuit) {
        break;
      }
      ce::DispatchMessage(&msg);
    }
    if (ce::IsWindow(window)) {
      ce::DestroyWindow(window);
    }
  }

  static ce::LRESULT Proc(ce::HWND window, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam) {
    if (message == ce::WM_NCCREATE) {
      auto* create = reinterpret_cast<ce::CREATESTRUCT*>(lParam);
      ce::SetWindowLongPtr(window, ce::GWLP_USERDATA,
                           reinterpret_cast<ce::LONG_PTR>(create->lpCreateParams));
    }
    auto* self =
        reinterpret_cast<ServiceReceiver*>(ce::GetWindowLongPtr(window, ce::GWLP_USERDATA));
    if (self != nullptr && message >= zolfa::MSG_CHECK_FAILED &&
        message <= zolfa::MSG_REQUEST_FAILED) {
      self->OnServiceMessage(message, wParam);
      return 0;
    }
    if (self != nullptr && message == kHold) {
      self->OnHold(window);
      return 0;
    }
    if (self != nullptr && message == kQuit) {
      ce::DestroyWindow(window);
      ce::PostQuitMessage(0);
      return 0;
    }
    return ce::DefWindowProc(window, message, wParam, lParam);
  }

  void OnServiceMessage(ce::UINT message, ce::WPARAM wParam) {
    Received r;
    r.message = message;
    r.atMs = ce::CurrentClock().NowMs();
    if ((message == zolfa::MSG_LOGIN_DONE || message == zolfa::MSG_CHECK_DONE) && wParam != 0) {
      r.result = *reinterpret_cast<const zolfa::LoginResult*>(wParam);
    }
    if (message == zolfa::MSG_SESSION_ERROR && wParam != 0) {
      r.text = reinterpret_cast<const char16_t*>(wParam);
    }
    Handler handler;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      received_.push_back(r);
      handler = handler_;
    }
    if (handler) {
      handler(r);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    changed_.notify_all();
  }

  void OnHold(ce::HWND window) {
    bool destroy;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      release_ = false;
      destroy_ = false;
      held_ = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return release_; });
      destroy = destroy_;
    }
    if (destroy) {
      ce::DestroyWindow(window);
      ce::PostQuitMessage(0);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = false;
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Received> received_;
  Handler handler_;
  bool started_ = false;
  bool held_ = false;
  bool release_ = false;
  bool destroy_ = false;
  ce::HWND window_ = nullptr;
  ce::DWORD threadId_ = 0;
  std::thread thread_;
};

}  // namespace test_support
