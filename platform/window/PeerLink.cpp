#include "platform/window/detail/PeerLink.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/window/detail/WindowSystem.h"

namespace ce::detail {
namespace {

constexpr uint32_t kMagic = 0x43455731;  // "CEW1"
constexpr int kReplyTimeoutMs = 2000;    // real time, for requests the listener answers itself
constexpr int kPollStepMs = 5;

enum class Kind : uint32_t { kPost = 1, kSend = 2, kActivate = 3, kDeactivate = 4, kBroadcast = 5 };

// Both ends run on one machine, so the layout is the host's own.
struct Request {
  uint32_t magic = kMagic;
  uint32_t kind = 0;
  uint32_t serial = 0;
  uint32_t message = 0;
  uint64_t wParam = 0;
  int64_t lParam = 0;
};

struct Reply {
  uint32_t magic = kMagic;
  uint32_t delivered = 0;
  int64_t result = 0;
};

// An abstract socket name: nothing is left in the file system, and the name
// disappears with the process.
socklen_t Address(uint32_t key, sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  int length = std::snprintf(address->sun_path + 1, sizeof address->sun_path - 1,
                             "ce-window-%08x", key);
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

uint32_t KeyOf(HWND window) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window) >> 32);
}

uint32_t SerialOf(HWND window) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window) & 0xFFFFFFFFu);
}

void SendReply(int fd, bool delivered, LRESULT result) {
  Reply reply;
  reply.delivered = delivered ? 1 : 0;
  reply.result = result;
  ::send(fd, &reply, sizeof reply, MSG_NOSIGNAL | MSG_DONTWAIT);
}

HWND LocalHandle(uint32_t serial) {
  uint32_t key = detail::ProcessKey();
  return reinterpret_cast<HWND>((static_cast<uintptr_t>(key) << 32) | serial);
}

void HandleConnection(int fd) {
  ucred credentials{};
  socklen_t length = sizeof credentials;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
      credentials.uid != ::getuid()) {
    ::close(fd);
    return;
  }
  timeval timeout{1, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  Request request;
  ssize_t n = ::recv(fd, &request, sizeof request, 0);
  if (n != static_cast<ssize_t>(sizeof request) || request.magic != kMagic) {
    ::close(fd);
    return;
  }
  HWND window = LocalHandle(request.serial);
  auto wParam = static_cast<WPARAM>(request.wParam);
  auto lParam = static_cast<LPARAM>(request.lParam);
  // The answer goes out before the lock is released: once the window's
  // thread can see the request it may end the process (WM_CLOSE), and the
  // caller must not mistake that for a refusal.
  LockedWindowSystem system;
  bool ok = false;
  switch (static_cast<Kind>(request.kind)) {
    case Kind::kPost:
      ok = PostLocked(system, window, request.message, wParam, lParam);
      break;
    case Kind::kBroadcast:
      system.Unlock();
      SendReply(fd, true, 0);
      ::close(fd);
      PostToLocalTopLevel(request.message, wParam, lParam);
      return;
    case Kind::kActivate:
      ok = system.PostTask(window, [window] { ActivateLocal(window, true); });
      break;
    case Kind::kDeactivate:
      ok = system.PostTask(window, [window] { DeactivateLocal(window); });
      break;
    case Kind::kSend:
      // The connection stays open until the window's thread has handled the
      // message; its completion answers and closes it.
      if (system.SendAsync(window, request.message, wParam, lParam,
                           [fd](LRESULT result, bool delivered) {
                             SendReply(fd, delivered, result);
                             ::close(fd);
                           })) {
        return;
      }
      break;
    default:
      break;
  }
  SendReply(fd, ok, 0);
  system.Unlock();
  ::close(fd);
}

void ListenLoop(int listenFd) {
  for (;;) {
    int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED || errno == EMFILE || errno == ENFILE) {
        if (errno == EMFILE || errno == ENFILE) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        continue;
      }
      return;
    }
    HandleConnection(fd);
  }
}

int Connect(uint32_t key) {
  int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_un address;
  socklen_t length = Address(key, &address);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Sends a request and waits for the answer. While waiting, `pump` handles
// messages sent to the calling thread (so two processes that send to each
// other do not wait for the time-out).
bool Exchange(HWND window, Kind kind, UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs,
              bool pump, Reply* reply) {
  int fd = Connect(KeyOf(window));
  if (fd < 0) return false;
  Request request;
  request.kind = static_cast<uint32_t>(kind);
  request.serial = SerialOf(window);
  request.message = message;
  request.wParam = static_cast<uint64_t>(wParam);
  request.lParam = static_cast<int64_t>(lParam);
  if (::send(fd, &request, sizeof request, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof request)) {
    ::close(fd);
    return false;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  bool answered = false;
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) break;
    pollfd entry{fd, POLLIN, 0};
    int ready = ::poll(&entry, 1, pump ? std::min<int>(kPollStepMs, static_cast<int>(left))
                                       : static_cast<int>(left));
    if (ready < 0 && errno != EINTR) break;
    if (ready > 0) {
      ssize_t n = ::recv(fd, reply, sizeof *reply, 0);
      answered = n == static_cast<ssize_t>(sizeof *reply) && reply->magic == kMagic;
      break;  // an answer, or the other process went away
    }
    if (pump) {
      LockedWindowSystem system;
      auto queue = system.CurrentQueue();
      system.HandleSentMessages(*queue);
    }
  }
  ::close(fd);
  return answered;
}

}  // namespace

bool PeerLink::Listen(uint32_t ownKey) {
  static std::once_flag once;
  static bool listening = false;
  std::call_once(once, [ownKey] {
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    sockaddr_un address;
    socklen_t length = Address(ownKey, &address);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 64) != 0) {
      ::close(fd);
      return;
    }
    // The listener lives as long as the process.
    std::thread(ListenLoop, fd).detach();
    listening = true;
  });
  return listening;
}

bool PeerLink::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Reply reply;
  return Exchange(window, Kind::kPost, message, wParam, lParam, kReplyTimeoutMs, false, &reply) &&
         reply.delivered != 0;
}

bool PeerLink::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs,
                    LRESULT* result) {
  Reply reply;
  int limit = timeoutMs > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(timeoutMs);
  bool ok = Exchange(window, Kind::kSend, message, wParam, lParam, limit, true, &reply) &&
            reply.delivered != 0;
  *result = ok ? static_cast<LRESULT>(reply.result) : 0;
  return ok;
}

bool PeerLink::Activate(HWND window) {
  Reply reply;
  return Exchange(window, Kind::kActivate, 0, 0, 0, kReplyTimeoutMs, false, &reply) &&
         reply.delivered != 0;
}

bool PeerLink::Deactivate(HWND window) {
  Reply reply;
  return Exchange(window, Kind::kDeactivate, 0, 0, 0, kReplyTimeoutMs, false, &reply) &&
         reply.delivered != 0;
}

bool PeerLink::Broadcast(uint32_t key, UINT message, WPARAM wParam, LPARAM lParam) {
  Reply reply;
  HWND any = reinterpret_cast<HWND>(static_cast<uintptr_t>(key) << 32);
  return Exchange(any, Kind::kBroadcast, message, wParam, lParam, kReplyTimeoutMs, false,
                  &reply) &&
         reply.delivered != 0;
}

}  // namespace ce::detail
