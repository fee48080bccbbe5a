#include "zolfa/service/HttpGet.h"

#include <algorithm>
#include <cstdlib>

#include "platform/base/CodePage.h"
#include "platform/net/WinInet.h"

namespace zolfa {
namespace {

// Bodies are read in chunks of at most this many bytes; the buffer always
// keeps room for one more chunk and the terminating zero byte.
constexpr uint32_t kChunkBytes = 4096;
constexpr uint32_t kSpareBytes = kChunkBytes + 1;
// When the buffer must grow it grows by at least a quarter of its size, so a
// large body is read with a few dozen reallocations instead of one per chunk
// (each of which remaps the whole block); the buffer then holds at most a
// quarter more than the body.
constexpr uint32_t kGrowthDivisor = 4;

// The buffer size that keeps room for one more chunk after `filled` bytes.
size_t GrownSize(size_t capacity, size_t filled) {
  size_t needed = filled + kSpareBytes;
  if (needed <= capacity) return capacity;
  return std::max(needed, capacity + capacity / kGrowthDivisor);
}

constexpr ce::DWORD kRequestFlags =
    ce::INTERNET_FLAG_RELOAD | ce::INTERNET_FLAG_KEEP_CONNECTION | ce::INTERNET_FLAG_HYPERLINK;
constexpr ce::DWORD kErrorDlgFlags = ce::FLAGS_ERROR_UI_FILTER_FOR_ERRORS |
                                     ce::FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS |
                                     ce::FLAGS_ERROR_UI_FLAGS_GENERATE_DATA;

HttpReallocFn gRealloc = nullptr;

void* Grow(void* block, size_t size) { return gRealloc ? gRealloc(block, size) : std::realloc(block, size); }

bool Cancelled(const std::atomic<int32_t>* cancelA, const std::atomic<int32_t>* cancelB) {
  return (cancelA && cancelA->load(std::memory_order_relaxed) != 0) ||
         (cancelB && cancelB->load(std::memory_order_relaxed) != 0);
}

// The handles of one call, closed in reverse order of opening on every path.
struct Handles {
  ce::HINTERNET session = nullptr;
  ce::HINTERNET connection = nullptr;
  ce::HINTERNET request = nullptr;
  ~Handles() {
    if (request) ce::InternetCloseHandle(request);
    if (connection) ce::InternetCloseHandle(connection);
    if (session) ce::InternetCloseHandle(session);
  }
};

// Reads the whole body into a malloc'ed buffer followed by a zero byte.
// Returns 200, kHttpCancelled or kHttpNoMemory; *bytes is null unless 200.
int32_t ReadBody(ce::HINTERNET request, const std::atomic<int32_t>* cancelA,
                 const std::atomic<int32_t>* cancelB, char** bytes, uint32_t* fill) {
  *bytes = nullptr;
  *fill = 0;
  auto* buffer = static_cast<char*>(Grow(nullptr, kSpareBytes));
  if (!buffer) return kHttpNoMemory;
  size_t capacity = kSpareBytes;
  uint32_t filled = 0;
  for (;;) {
    ce::DWORD read = 0;
    if (!ce::InternetReadFile(request, buffer + filled, kChunkBytes, &read)) {
      // A failed read ends the body where it stands, unless the failure is
      // a cancel taking effect during the wait.
      if (Cancelled(cancelA, cancelB)) {
        std::free(buffer);
        return kHttpCancelled;
      }
      break;
    }
    if (read == 0) break;
    if (Cancelled(cancelA, cancelB)) {
      std::free(buffer);
      return kHttpCancelled;
    }
    filled += read;
    if (filled > UINT32_MAX - kSpareBytes) {
      std::free(buffer);
      return kHttpNoMemory;
    }
    size_t wanted = GrownSize(capacity, filled);
    if (wanted == capacity) continue;
    auto* grown = static_cast<char*>(Grow(buffer, wanted));
    if (!grown) {
      std::free(buffer);
      return kHttpNoMemory;
    }
    buffer = grown;
    capacity = wanted;
  }
  buffer[filled] = '\0';
  *bytes = buffer;
  *fill = filled;
  return kHttpOk;
}

// Decodes the bytes (up to their first zero) into a malloc'ed UTF-16 text
// with a terminator. Returns false when the text buffer cannot be allocated.
bool ToText(const char* bytes, uint32_t codePage, char16_t** text, uint32_t* length) {
  int units = ce::MultiByteToWideChar(codePage, 0, bytes, -1, nullptr, 0);
  if (units <= 0) units = 1;  // an unknown code page decodes to empty text
  auto* wide = static_cast<char16_t*>(Grow(nullptr, static_cast<size_t>(units) * 2));
  if (!wide) return false;
  int written = units > 1 ? ce::MultiByteToWideChar(codePage, 0, bytes, -1, wide, units) : 0;
  if (written <= 0) written = 1;
  wide[written - 1] = u'\0';
  *text = wide;
  *length = static_cast<uint32_t>(written - 1) * 2;
  return true;
}

}  // namespace

int32_t HttpGet(const std::u16string& agent, const std::u16string& host, const std::u16string& path,
                uint32_t port, const std::atomic<int32_t>* cancelA,
                const std::atomic<int32_t>* cancelB, bool toText, uint32_t codePage, void** body,
                uint32_t* length) {
  *body = nullptr;
  *length = 0;
  Handles handles;
  handles.session =
      ce::InternetOpen(agent.c_str(), ce::INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!handles.session) return kHttpOpenFailed;
  // The flags are also polled inside the client's waits, so a cancel does
  // not have to wait for a slow connect or a silent server.
  ce::InternetSetCancelFlags(handles.session, cancelA, cancelB);
  handles.connection =
      ce::InternetConnect(handles.session, host.c_str(), static_cast<ce::INTERNET_PORT>(port & 0xFFFF),
                          nullptr, nullptr, ce::INTERNET_SERVICE_HTTP, 0, 0);
  if (!handles.connection) return kHttpConnectFailed;
  if (Cancelled(cancelA, cancelB)) return kHttpCancelled;
  handles.request = ce::HttpOpenRequest(handles.connection, u"GET", path.c_str(), nullptr, nullptr,
                                        nullptr, kRequestFlags, 0);
  if (!handles.request) return kHttpRequestFailed;
  if (Cancelled(cancelA, cancelB)) return kHttpCancelled;
  for (;;) {
    // The send's own result is not examined: a failed send shows up when
    // the status code is read.
    ce::HttpSendRequest(handles.request, nullptr, 0, nullptr, 0);
    ce::DWORD answer =
        ce::InternetErrorDlg(nullptr, handles.request, ce::ERROR_SUCCESS, kErrorDlgFlags, nullptr);
    if (Cancelled(cancelA, cancelB)) return kHttpCancelled;
    if (answer != ce::ERROR_INTERNET_FORCE_RETRY) break;
  }
  ce::DWORD status = 0;
  ce::DWORD size = sizeof(status);
  if (!ce::HttpQueryInfo(handles.request, ce::HTTP_QUERY_STATUS_CODE | ce::HTTP_QUERY_FLAG_NUMBER,
                         &status, &size, nullptr))
    return kHttpStatusFailed;
  if (Cancelled(cancelA, cancelB)) return kHttpCancelled;
  if (status != 200) return static_cast<int32_t>(status);

  char* bytes = nullptr;
  uint32_t fill = 0;
  int32_t result = ReadBody(handles.request, cancelA, cancelB, &bytes, &fill);
  if (result != kHttpOk) return result;
  if (!toText) {
    *body = bytes;
    *length = fill;
    return kHttpOk;
  }
  char16_t* text = nullptr;
  uint32_t textLength = 0;
  bool converted = ToText(bytes, codePage, &text, &textLength);
  std::free(bytes);
  if (!converted) return kHttpNoMemory;
  *body = text;
  *length = textLength;
  return kHttpOk;
}

void HttpFreeBody(void* body) { std::free(body); }

void SetHttpReallocForTesting(HttpReallocFn fn) { gRealloc = fn; }

}  // namespace zolfa
