// Test helpers for the song-ticket requests: the scripted stream and data
// server in place of HttpGet, a player-screen window on its own thread that
// copies what the workers send it, and a cover sink that records the cover
// sources.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/window/Message.h"
#include "platform/window/Window.h"
#include "tests/support/ScriptedTransport.h"
#include "tests/support/Wait.h"
#include "zolfa/playback/IAlbumCoverSink.h"
#include "zolfa/playback/PlaySongRequest.h"
#include "zolfa/playback/PlaybackMessages.h"
#include "zolfa/playback/PlaybackTransport.h"

namespace test_support {

// The stream and data servers of the song-ticket requests: fetches keyed by
// the path before their "?", or by its first five characters for the "/psN_"
// paths.
class ScriptedStreamServer
    : public ScriptedTransport<zolfa::PlaybackFetch, zolfa::PlaybackReply> {
 public:
  ScriptedStreamServer()
      : ScriptedTransport([](const zolfa::PlaybackFetch& fetch) { return KeyOf(fetch.path); }) {}

  static std::u16string KeyOf(const std::u16string& path) {
    if (path.rfind(u"/ps", 0) == 0 && path.size() >= 5) return path.substr(0, 5);
    return PathKey(path);
  }

  void ReplyBytes(const std::u16string& key, int32_t result, std::string bytes) {
    Queue(key, zolfa::PlaybackReply{result, {}, std::move(bytes)});
  }
};

// The player screen: a window on a thread of its own that copies every
// ticket result while the worker waits.
class TicketReceiver {
 public:
  struct Received {
    ce::UINT message = 0;
    zolfa::PlaySongRequest request;  // a copy, for MSG_TICKET_READY
    int32_t code = 0;                // MSG_TICKET_FAILED
    std::optional<std::u16string> text;
  };

  TicketReceiver() {
    thread_ = std::thread([this] { Run(); });
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return window_ != nullptr; });
  }
  ~TicketReceiver() {
    if (ce::IsWindow(window_)) {
      ce::PostMessage(window_, kQuit, 0, 0);
    } else {
      ce::PostThreadMessage(threadId_, kQuit, 0, 0);
    }
    thread_.join();
  }
  TicketReceiver(const TicketReceiver&) = delete;
  TicketReceiver& operator=(const TicketReceiver&) = delete;

  ce::HWND Window() const { return window_; }

  // Destroys the window on its thread and waits until it is gone.
  void Close() {
    ce::SendMessage(window_, kClose, 0, 0);
  }

  std::vector<Received> Messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }
  bool WaitForMessages(size_t count, int limitMs = kWaitLimitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return WaitUntil(lock, changed_, [&] { return received_.size() >= count; }, limitMs);
  }

 private:
  static constexpr ce::UINT kQuit = ce::WM_APP + 1;
  static constexpr ce::UINT kClose = ce::WM_APP + 2;
  static constexpr char16_t kClassName[] = u"TicketReceiver";

  void Run() {
    ce::WNDCLASS wc;
    wc.lpfnWndProc = &TicketReceiver::Proc;
    wc.lpszClassName = kClassName;
    ce::RegisterClass(&wc);  // fails harmlessly when registered before
    ce::HWND window = ce::CreateWindowEx(0, kClassName, u"player", ce::WS_POPUP, 0, 0, 10, 10,
                                         nullptr, nullptr, nullptr, this);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      window_ = window;
      threadId_ = ce::GetCurrentThreadId();
      changed_.notify_all();
    }
    ce::MSG msg;
    while (ce::GetMessage(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == kQuit) break;
      ce::DispatchMessage(&msg);
    }
    if (ce::IsWindow(window)) ce::DestroyWindow(window);
  }

  static ce::LRESULT Proc(ce::HWND window, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam) {
    if (message == ce::WM_NCCREATE) {
      auto* create = reinterpret_cast<ce::CREATESTRUCT*>(lParam);
      ce::SetWindowLongPtr(window, ce::GWLP_USERDATA,
                           reinterpret_cast<ce::LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TicketReceiver*>(ce::GetWindowLongPtr(window, ce::GWLP_USERDATA));
    if (self != nullptr && (message == zolfa::MSG_TICKET_READY || message == zolfa::MSG_TICKET_FAILED)) {
      Received r;
      r.message = message;
      if (message == zolfa::MSG_TICKET_READY) {
        r.request = *reinterpret_cast<const zolfa::PlaySongRequest*>(wParam);
      } else {
        r.code = static_cast<int32_t>(static_cast<intptr_t>(wParam));
        if (lParam != 0) r.text = reinterpret_cast<const char16_t*>(lParam);
      }
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->received_.push_back(std::move(r));
      self->changed_.notify_all();
      return 0;
    }
    if (message == kClose) {
      ce::DestroyWindow(window);
      return 0;
    }
    return ce::DefWindowProc(window, message, wParam, lParam);
  }

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  ce::HWND window_ = nullptr;
  ce::DWORD threadId_ = 0;
  std::vector<Received> received_;
};

class RecordingCoverSink : public zolfa::IAlbumCoverSink {
 public:
  void SetAlbumCover(std::u16string_view source) override {
    std::lock_guard<std::mutex> lock(mutex_);
    sources_.emplace_back(source);
  }
  std::vector<std::u16string> Sources() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sources_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::u16string> sources_;
};

}  // namespace test_support
