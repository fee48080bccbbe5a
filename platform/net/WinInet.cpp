#include "platform/net/WinInet.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/base/CodePage.h"
#include "platform/net/HostTable.h"
#include "platform/net/InternetHandleTable.h"
#include "platform/net/RequestTarget.h"

namespace ce {
namespace {

using Kind = InternetObject::Kind;

std::atomic<uint32_t> gDefaultConnectTimeoutMs{kDefaultConnectTimeoutMs};
std::atomic<uint32_t> gDefaultReceiveTimeoutMs{kDefaultReceiveTimeoutMs};

// The process-wide hooks. Callers get a copy, so a hook runs without the lock.
std::mutex gHookMutex;
std::shared_ptr<const InternetErrorDlgHook> gErrorDlgHook;
std::shared_ptr<const HttpObserver> gObserver;

template <typename Hook>
std::shared_ptr<const Hook> CopyHook(const std::shared_ptr<const Hook>& hook) {
  std::lock_guard<std::mutex> lock(gHookMutex);
  return hook;
}

template <typename Hook>
Hook SwapHook(std::shared_ptr<const Hook>& slot, Hook hook) {
  std::lock_guard<std::mutex> lock(gHookMutex);
  Hook previous = slot ? *slot : Hook();
  slot = hook ? std::make_shared<const Hook>(std::move(hook)) : nullptr;
  return previous;
}

HINTERNET Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

BOOL FailBool(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Header text for the wire: ANSI bytes without control characters, so a
// caller's text can never start a header line of its own.
std::string HeaderText(std::u16string_view wide) {
  std::string bytes = WideToMulti(wide, CP_ACP);
  bytes.erase(std::remove_if(bytes.begin(), bytes.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }),
              bytes.end());
  return bytes;
}

// Host names that may go into a URL: letters, digits, "-", ".", "_".
bool IsValidHost(std::string_view host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_';
  });
}

std::vector<std::string> ExtraHeaders(LPCWSTR headers, DWORD length) {
  std::vector<std::string> lines;
  if (!headers) return lines;
  std::u16string_view text = length == 0xFFFFFFFFu ? std::u16string_view(headers, WideLength(headers))
                                                   : std::u16string_view(headers, length);
  while (!text.empty()) {
    size_t end = text.find(u'\n');
    std::u16string_view line = text.substr(0, end);
    text = end == std::u16string_view::npos ? std::u16string_view() : text.substr(end + 1);
    std::string bytes = HeaderText(line);
    if (bytes.find(':') != std::string::npos && bytes.front() != ':') lines.push_back(bytes);
  }
  return lines;
}

HttpTransfer::Request BuildTransfer(InternetObject& request,
                                    const InternetObject::Settings& settings, LPCWSTR headers,
                                    DWORD headersLength) {
  HttpTransfer::Request transfer;
  std::string hostPort = request.host + ":" + std::to_string(request.port);
  transfer.url = "http://" + hostPort + "/";
  transfer.target = request.target;
  transfer.head = request.method == "HEAD";
  transfer.agent = settings.agent;
  if (request.flags & (INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE)) {
    transfer.headers.push_back("Cache-Control: no-cache");
    transfer.headers.push_back("Pragma: no-cache");
  }
  for (std::string& line : ExtraHeaders(headers, headersLength))
    transfer.headers.push_back(std::move(line));
  HostTable table;
  if (table.Load(HostTable::DefaultPath())) {
    if (auto mapped = table.Lookup(request.host, request.port))
      transfer.connectTo = hostPort + ":" + HostTable::FormatEndpoint(*mapped);
  }
  transfer.proxy = settings.proxy.ProxyFor(request.host);
  if (!transfer.proxy.empty()) {
    // A proxy is asked with the absolute form of the target.
    std::string authority =
        request.port == INTERNET_DEFAULT_HTTP_PORT ? request.host : hostPort;
    transfer.target = "http://" + authority + request.target;
  }
  transfer.connectTimeoutMs = settings.connectTimeoutMs == 0xFFFFFFFFu ? 0 : settings.connectTimeoutMs;
  transfer.receiveTimeoutMs = settings.receiveTimeoutMs == 0xFFFFFFFFu ? 0 : settings.receiveTimeoutMs;
  return transfer;
}

// Stops a wait when the handle is closed or a cancel flag is raised.
HttpTransfer::StopCheck StopCheckFor(InternetObject& object) {
  InternetObject::CancelFlags flags = object.Cancel();
  return [&object, a = flags.a, b = flags.b] {
    return object.closed.load() || (a && a->load(std::memory_order_relaxed) != 0) ||
           (b && b->load(std::memory_order_relaxed) != 0);
  };
}

void Notify(const InternetObject& request, DWORD status, DWORD error) {
  std::shared_ptr<const HttpObserver> observer = CopyHook(gObserver);
  if (!observer) return;
  HttpEvent event;
  event.method = request.method;
  event.host = request.host;
  event.port = request.port;
  event.target = request.target;
  event.status = status;
  event.error = error;
  (*observer)(event);
}

std::shared_ptr<InternetObject> Child(const std::shared_ptr<InternetObject>& parent, Kind kind) {
  auto child = std::make_shared<InternetObject>();
  child->kind = kind;
  child->parent = parent->id;
  child->settings = parent->SettingsCopy();
  child->host = parent->host;
  child->port = parent->port;
  return child;
}

}  // namespace

HINTERNET InternetOpen(LPCWSTR agent, DWORD accessType, LPCWSTR proxy, LPCWSTR proxyBypass,
                       DWORD flags) {
  if (flags & INTERNET_FLAG_ASYNC) return Fail(ERROR_INVALID_PARAMETER);
  auto session = std::make_shared<InternetObject>();
  session->kind = Kind::kSession;
  InternetObject::Settings& settings = session->settings;
  switch (accessType) {
    case INTERNET_OPEN_TYPE_PRECONFIG:
      settings.proxy = ProxySettings::Preconfigured();
      break;
    case INTERNET_OPEN_TYPE_DIRECT:
      break;
    case INTERNET_OPEN_TYPE_PROXY:
      if (!proxy || !*proxy) return Fail(ERROR_INVALID_PARAMETER);
      settings.proxy = ProxySettings::FromStrings(proxy, proxyBypass ? proxyBypass : u"");
      break;
    default:
      return Fail(ERROR_INVALID_PARAMETER);
  }
  if (agent) settings.agent = HeaderText(agent);
  settings.connectTimeoutMs = gDefaultConnectTimeoutMs.load();
  settings.receiveTimeoutMs = gDefaultReceiveTimeoutMs.load();
  return InternetHandleTable::Instance().Add(std::move(session));
}

HINTERNET InternetConnect(HINTERNET session, LPCWSTR host, INTERNET_PORT port, LPCWSTR user,
                          LPCWSTR password, DWORD service, DWORD, uintptr_t) {
  auto parent = InternetHandleTable::Instance().Find(session, Kind::kSession);
  if (!parent) return nullptr;
  if (service != INTERNET_SERVICE_HTTP || !host || !*host) return Fail(ERROR_INVALID_PARAMETER);
  if ((user && *user) || (password && *password)) return Fail(ERROR_NOT_SUPPORTED);
  auto connection = Child(parent, Kind::kConnection);
  connection->host = ToUtf8(host);
  connection->port = port == 0 ? INTERNET_DEFAULT_HTTP_PORT : port;
  return InternetHandleTable::Instance().Add(std::move(connection));
}

HINTERNET HttpOpenRequest(HINTERNET connection, LPCWSTR verb, LPCWSTR path, LPCWSTR, LPCWSTR,
                          LPCWSTR*, DWORD flags, uintptr_t) {
  auto parent = InternetHandleTable::Instance().Find(connection, Kind::kConnection);
  if (!parent) return nullptr;
  std::u16string_view method = verb ? std::u16string_view(verb) : u"GET";
  if (method != u"GET" && method != u"HEAD") return Fail(ERROR_INVALID_PARAMETER);
  auto request = Child(parent, Kind::kRequest);
  request->method = ToUtf8(method);
  request->target = EscapeRequestTarget(path ? std::u16string_view(path) : u"");
  request->flags = flags;
  return InternetHandleTable::Instance().Add(std::move(request));
}

BOOL HttpSendRequest(HINTERNET handle, LPCWSTR headers, DWORD headersLength, void* optional,
                     DWORD optionalLength) {
  auto request = InternetHandleTable::Instance().Find(handle, Kind::kRequest);
  if (!request) return FALSE;
  if (optional && optionalLength > 0) return FailBool(ERROR_INVALID_PARAMETER);
  std::lock_guard<std::mutex> lock(request->operationMutex);
  request->sent = true;
  InternetObject::Settings settings = request->SettingsCopy();
  DWORD error = 0;
  if (!IsValidHost(request->host)) {
    error = ERROR_INTERNET_NAME_NOT_RESOLVED;
  } else {
    HttpTransfer::Request transfer = BuildTransfer(*request, settings, headers, headersLength);
    error = request->transfer.Start(transfer, StopCheckFor(*request));
  }
  Notify(*request, error == 0 ? request->transfer.Status() : 0, error);
  if (error != 0) return FailBool(error);
  return TRUE;
}

BOOL HttpQueryInfo(HINTERNET handle, DWORD infoLevel, void* buffer, DWORD* bufferLength, DWORD*) {
  auto request = InternetHandleTable::Instance().Find(handle, Kind::kRequest);
  if (!request) return FALSE;
  if (!bufferLength) return FailBool(ERROR_INVALID_PARAMETER);
  std::lock_guard<std::mutex> lock(request->operationMutex);
  if (!request->sent) return FailBool(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  const HttpTransfer& transfer = request->transfer;
  if (transfer.Status() == 0) return FailBool(ERROR_HTTP_HEADER_NOT_FOUND);
  std::optional<std::string> value;
  switch (infoLevel & 0xFFFF) {
    case HTTP_QUERY_STATUS_CODE:
      value = std::to_string(transfer.Status());
      break;
    case HTTP_QUERY_STATUS_TEXT:
      value = transfer.StatusText();
      break;
    case HTTP_QUERY_CONTENT_LENGTH:
      value = transfer.Header("Content-Length");
      break;
    case HTTP_QUERY_CONTENT_TYPE:
      value = transfer.Header("Content-Type");
      break;
    default:
      return FailBool(ERROR_INVALID_PARAMETER);
  }
  if (!value) return FailBool(ERROR_HTTP_HEADER_NOT_FOUND);
  if (infoLevel & HTTP_QUERY_FLAG_NUMBER) {
    if (value->empty() || value->size() > 10 ||
        !std::all_of(value->begin(), value->end(), [](char c) { return c >= '0' && c <= '9'; }))
      return FailBool(ERROR_HTTP_INVALID_SERVER_RESPONSE);
    uint64_t number = std::stoull(*value);
    if (number > 0xFFFFFFFFu) return FailBool(ERROR_HTTP_INVALID_SERVER_RESPONSE);
    if (!buffer || *bufferLength < sizeof(DWORD)) {
      *bufferLength = sizeof(DWORD);
      return FailBool(ERROR_INSUFFICIENT_BUFFER);
    }
    auto dword = static_cast<DWORD>(number);
    std::memcpy(buffer, &dword, sizeof(dword));
    *bufferLength = sizeof(DWORD);
    return TRUE;
  }
  std::u16string wide = MultiToWide(*value, CP_ACP);
  DWORD needed = static_cast<DWORD>((wide.size() + 1) * sizeof(char16_t));
  if (!buffer || *bufferLength < needed) {
    *bufferLength = needed;
    return FailBool(ERROR_INSUFFICIENT_BUFFER);
  }
  std::memcpy(buffer, wide.c_str(), needed);
  *bufferLength = needed - sizeof(char16_t);
  return TRUE;
}

BOOL InternetReadFile(HINTERNET handle, void* buffer, DWORD toRead, DWORD* read) {
  if (read) *read = 0;
  auto request = InternetHandleTable::Instance().Find(handle, Kind::kRequest);
  if (!request) return FALSE;
  if (!read || (!buffer && toRead > 0)) return FailBool(ERROR_INVALID_PARAMETER);
  std::lock_guard<std::mutex> lock(request->operationMutex);
  if (!request->sent || request->transfer.Status() == 0)
    return FailBool(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  size_t count = 0;
  DWORD error = request->transfer.Read(buffer, toRead, &count, StopCheckFor(*request));
  if (error != 0) return FailBool(error);
  *read = static_cast<DWORD>(count);
  return TRUE;
}

BOOL InternetCloseHandle(HINTERNET handle) {
  return InternetHandleTable::Instance().Close(handle) ? TRUE : FALSE;
}

BOOL InternetSetOption(HINTERNET handle, DWORD option, void* buffer, DWORD bufferLength) {
  if (option != INTERNET_OPTION_CONNECT_TIMEOUT && option != INTERNET_OPTION_RECEIVE_TIMEOUT)
    return FailBool(ERROR_INTERNET_INVALID_OPTION);
  if (!buffer || bufferLength < sizeof(DWORD)) return FailBool(ERROR_INVALID_PARAMETER);
  DWORD value = 0;
  std::memcpy(&value, buffer, sizeof(value));
  if (!handle) {
    (option == INTERNET_OPTION_CONNECT_TIMEOUT ? gDefaultConnectTimeoutMs : gDefaultReceiveTimeoutMs)
        .store(value);
    return TRUE;
  }
  auto object = InternetHandleTable::Instance().Find(handle);
  if (!object) return FALSE;
  std::lock_guard<std::mutex> lock(object->settingsMutex);
  (option == INTERNET_OPTION_CONNECT_TIMEOUT ? object->settings.connectTimeoutMs
                                             : object->settings.receiveTimeoutMs) = value;
  return TRUE;
}

BOOL InternetQueryOption(HINTERNET handle, DWORD option, void* buffer, DWORD* bufferLength) {
  if (option != INTERNET_OPTION_CONNECT_TIMEOUT && option != INTERNET_OPTION_RECEIVE_TIMEOUT)
    return FailBool(ERROR_INTERNET_INVALID_OPTION);
  if (!bufferLength) return FailBool(ERROR_INVALID_PARAMETER);
  if (!buffer || *bufferLength < sizeof(DWORD)) {
    *bufferLength = sizeof(DWORD);
    return FailBool(ERROR_INSUFFICIENT_BUFFER);
  }
  DWORD value = 0;
  bool connect = option == INTERNET_OPTION_CONNECT_TIMEOUT;
  if (!handle) {
    value = (connect ? gDefaultConnectTimeoutMs : gDefaultReceiveTimeoutMs).load();
  } else {
    auto object = InternetHandleTable::Instance().Find(handle);
    if (!object) return FALSE;
    InternetObject::Settings settings = object->SettingsCopy();
    value = connect ? settings.connectTimeoutMs : settings.receiveTimeoutMs;
  }
  std::memcpy(buffer, &value, sizeof(value));
  *bufferLength = sizeof(DWORD);
  return TRUE;
}

DWORD InternetErrorDlg(HWND owner, HINTERNET request, DWORD error, DWORD flags, void**) {
  if (!InternetHandleTable::Instance().Find(request, Kind::kRequest)) return ERROR_INVALID_HANDLE;
  std::shared_ptr<const InternetErrorDlgHook> hook = CopyHook(gErrorDlgHook);
  return hook ? (*hook)(owner, request, error, flags) : ERROR_SUCCESS;
}

InternetErrorDlgHook SetInternetErrorDlgHook(InternetErrorDlgHook hook) {
  return SwapHook(gErrorDlgHook, std::move(hook));
}

HttpObserver SetHttpObserver(HttpObserver observer) {
  return SwapHook(gObserver, std::move(observer));
}

BOOL InternetSetCancelFlags(HINTERNET handle, const std::atomic<int32_t>* cancelA,
                            const std::atomic<int32_t>* cancelB) {
  auto object = InternetHandleTable::Instance().Find(handle);
  if (!object) return FALSE;
  std::lock_guard<std::mutex> lock(object->settingsMutex);
  object->settings.cancelA = cancelA;
  object->settings.cancelB = cancelB;
  return TRUE;
}

int InternetOpenHandleCount() { return InternetHandleTable::Instance().Count(); }

}  // namespace ce
