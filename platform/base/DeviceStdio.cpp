// The stdio form of device files. The stream is a cookie stream over the
// file descriptor, so the open stays registered in the share table until
// fclose, and text mode reads CR LF as LF and writes LF as CR LF, as the
// platform's C runtime does.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/base/DeviceFile.h"
#include "platform/base/detail/OpenFile.h"

namespace ce {
namespace {

constexpr size_t kReadAhead = 4096;

struct StdioCookie {
  int fd = -1;
  detail::ShareLock shareLock;
  bool text = false;
  // Text mode reads ahead so that it can look past a CR; bytes [pos, len)
  // are read from the file but not yet handed to stdio.
  char buffer[kReadAhead];
  size_t pos = 0;
  size_t len = 0;
};

ssize_t ReadRetrying(int fd, char* out, size_t size) {
  ssize_t n;
  do {
    n = ::read(fd, out, size);
  } while (n < 0 && errno == EINTR);
  return n;
}

// Moves the `keep` bytes at pos to the front and reads more behind them.
// Returns the count read, 0 at the end of the file, -1 on failure.
ssize_t Refill(StdioCookie* cookie, size_t keep) {
  std::memmove(cookie->buffer, cookie->buffer + cookie->pos, keep);
  cookie->pos = 0;
  cookie->len = keep;
  ssize_t n = ReadRetrying(cookie->fd, cookie->buffer + keep, kReadAhead - keep);
  if (n > 0) cookie->len += static_cast<size_t>(n);
  return n;
}

// Hands out at most one line per call: after a line end nothing translated
// is left in stdio's buffer, so ftell at line boundaries is the file offset.
ssize_t TextRead(StdioCookie* cookie, char* out, size_t size) {
  size_t done = 0;
  auto failed = [&] { return done > 0 ? static_cast<ssize_t>(done) : -1; };
  while (done < size) {
    if (cookie->pos == cookie->len) {
      ssize_t n = Refill(cookie, 0);
      if (n < 0) return failed();
      if (n == 0) break;
    }
    char c = cookie->buffer[cookie->pos];
    if (c == '\r') {
      if (cookie->pos + 1 == cookie->len) {
        ssize_t n = Refill(cookie, 1);
        if (n < 0) return failed();
        if (n == 0) {  // a CR at the very end stays a CR
          out[done++] = '\r';
          cookie->pos = cookie->len;
          continue;
        }
      }
      if (cookie->buffer[cookie->pos + 1] == '\n') {
        cookie->pos += 2;
        out[done++] = '\n';
        break;
      }
    }
    out[done++] = c;
    ++cookie->pos;
    if (c == '\n') break;
  }
  return static_cast<ssize_t>(done);
}

ssize_t CookieRead(void* raw, char* out, size_t size) {
  auto* cookie = static_cast<StdioCookie*>(raw);
  return cookie->text ? TextRead(cookie, out, size) : ReadRetrying(cookie->fd, out, size);
}

// Gives back what was read ahead, so that the descriptor's offset is the
// stream's position again.
bool DropReadAhead(StdioCookie* cookie) {
  size_t unread = cookie->len - cookie->pos;
  cookie->pos = cookie->len = 0;
  return unread == 0 || lseek(cookie->fd, -static_cast<off_t>(unread), SEEK_CUR) >= 0;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

ssize_t CookieWrite(void* raw, const char* data, size_t size) {
  auto* cookie = static_cast<StdioCookie*>(raw);
  if (!DropReadAhead(cookie)) return 0;
  if (!cookie->text) return WriteAll(cookie->fd, data, size) ? static_cast<ssize_t>(size) : 0;
  std::string translated;
  translated.reserve(size + size / 16);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') translated.push_back('\r');
    translated.push_back(data[i]);
  }
  // A failed write reports nothing written (stdio's convention for cookies).
  return WriteAll(cookie->fd, translated.data(), translated.size()) ? static_cast<ssize_t>(size) : 0;
}

int CookieSeek(void* raw, off64_t* offset, int whence) {
  auto* cookie = static_cast<StdioCookie*>(raw);
  off64_t target;
  if (whence == SEEK_SET) {
    target = *offset;
  } else if (whence == SEEK_CUR) {
    off64_t current = lseek(cookie->fd, 0, SEEK_CUR);
    if (current < 0) return -1;
    target = current - static_cast<off64_t>(cookie->len - cookie->pos) + *offset;
  } else if (whence == SEEK_END) {
    target = lseek(cookie->fd, *offset, SEEK_END);
  } else {
    errno = EINVAL;
    return -1;
  }
  if (target < 0) {
    errno = EINVAL;
    return -1;
  }
  if (lseek(cookie->fd, target, SEEK_SET) < 0) return -1;
  cookie->pos = cookie->len = 0;
  *offset = target;
  return 0;
}

int CookieClose(void* raw) {
  auto* cookie = static_cast<StdioCookie*>(raw);
  int result = close(cookie->fd);
  delete cookie;  // releases the share registration
  return result;
}

struct StdioMode {
  DWORD access = 0;
  DWORD disposition = 0;
  bool append = false;
  bool text = true;
  std::string streamMode;
};

bool ParseMode(const char* mode, StdioMode* parsed) {
  if (mode == nullptr) return false;
  bool plus = std::strchr(mode, '+') != nullptr;
  bool exclusive = std::strchr(mode, 'x') != nullptr;
  parsed->text = std::strchr(mode, 'b') == nullptr;
  switch (mode[0]) {
    case 'r':
      parsed->access = GENERIC_READ | (plus ? GENERIC_WRITE : 0);
      parsed->disposition = OPEN_EXISTING;
      break;
    case 'w':
      parsed->access = GENERIC_WRITE | (plus ? GENERIC_READ : 0);
      parsed->disposition = exclusive ? CREATE_NEW : CREATE_ALWAYS;
      break;
    case 'a':
      parsed->access = GENERIC_WRITE | (plus ? GENERIC_READ : 0);
      parsed->disposition = OPEN_ALWAYS;
      parsed->append = true;
      break;
    default:
      return false;
  }
  parsed->streamMode = std::string(1, mode[0]) + (plus ? "+" : "");
  return true;
}

}  // namespace

FILE* OpenDeviceStdio(std::u16string_view devicePath, const char* mode) {
  StdioMode parsed;
  if (!ParseMode(mode, &parsed)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  detail::OpenedFile opened;
  // The C runtime opens with sharing for readers and writers.
  DWORD error = detail::OpenDeviceFile(devicePath, parsed.access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       parsed.disposition, &opened);
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return nullptr;
  }
  if (parsed.append) fcntl(opened.fd, F_SETFL, fcntl(opened.fd, F_GETFL) | O_APPEND);
  auto* cookie = new StdioCookie;
  cookie->fd = opened.fd;
  cookie->shareLock = std::move(opened.shareLock);
  cookie->text = parsed.text;
  cookie_io_functions_t functions{CookieRead, CookieWrite, CookieSeek, CookieClose};
  FILE* stream = fopencookie(cookie, parsed.streamMode.c_str(), functions);
  if (stream == nullptr) {
    CookieClose(cookie);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  return stream;
}

}  // namespace ce
