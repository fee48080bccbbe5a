// The platform's HTTP client in the shape of WinINet, on libcurl.
//
// A session (InternetOpen) holds the agent label and the proxy; a connection
// (InternetConnect) names a host and port; a request (HttpOpenRequest) names
// the method and the path. HttpSendRequest waits until the answer's status
// line and headers have arrived, InternetReadFile hands the body over in the
// pieces in which it arrives. Every call is synchronous.
//
// Handles are ids in a table owned by this layer, never pointers, so a stale
// or closed handle is always safe to pass back (the call fails with
// ERROR_INVALID_HANDLE). Closing a handle also closes the handles opened from
// it. A handle may be closed from another thread while a call on it waits;
// that call then fails with ERROR_INTERNET_OPERATION_CANCELLED.
//
// Differences from the device's client, all deliberate:
//   - The host name and port of a connection are looked up in the device's
//     host table (HostTable.h) and, when mapped, the transfer connects to the
//     mapped address; the Host header still carries the name asked for.
//   - The request path is converted to the ANSI code page and its raw control
//     characters, spaces and bytes >= 0x80 are percent-encoded
//     (RequestTarget.h); everything else goes out as given.
//   - Redirects are not followed: a 3xx answer is returned as it is.
//   - Nothing is cached, so INTERNET_FLAG_RELOAD only adds the no-cache
//     request headers that tell caches on the way not to answer either.
//   - Waits are bounded by the connect time-out (60 s until the connection
//     stands) and the receive time-out (30 s without any byte arriving), both
//     measured on the process clock, and they end within about 50 ms when a
//     cancel flag given with InternetSetCancelFlags becomes non-zero.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/base/Types.h"

namespace ce {

struct HINTERNET__;
using HINTERNET = HINTERNET__*;
using INTERNET_PORT = WORD;

// Access types of InternetOpen.
constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;  // the device's proxy settings
constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;     // proxy given by the caller
constexpr DWORD INTERNET_FLAG_ASYNC = 0x10000000u;  // not supported: InternetOpen fails

constexpr DWORD INTERNET_SERVICE_HTTP = 3;
constexpr INTERNET_PORT INTERNET_DEFAULT_HTTP_PORT = 80;

// Request flags of HttpOpenRequest. They are recorded on the request;
// RELOAD and PRAGMA_NOCACHE add "Cache-Control: no-cache" and
// "Pragma: no-cache" to the request.
constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000u;
constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000u;
constexpr DWORD INTERNET_FLAG_KEEP_CONNECTION = 0x00400000u;
constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000u;
constexpr DWORD INTERNET_FLAG_HYPERLINK = 0x00000400u;
constexpr DWORD INTERNET_FLAG_PRAGMA_NOCACHE = 0x00000100u;

// HttpQueryInfo levels and modifiers.
constexpr DWORD HTTP_QUERY_CONTENT_TYPE = 1;
constexpr DWORD HTTP_QUERY_CONTENT_LENGTH = 5;
constexpr DWORD HTTP_QUERY_STATUS_CODE = 19;
constexpr DWORD HTTP_QUERY_STATUS_TEXT = 20;
constexpr DWORD HTTP_QUERY_FLAG_NUMBER = 0x20000000u;

// Options of InternetSetOption / InternetQueryOption (DWORD milliseconds).
// 0 and 0xFFFFFFFF mean no time-out.
constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
constexpr DWORD kDefaultConnectTimeoutMs = 60000;
constexpr DWORD kDefaultReceiveTimeoutMs = 30000;

// InternetErrorDlg flags and answers.
constexpr DWORD FLAGS_ERROR_UI_FILTER_FOR_ERRORS = 0x01;
constexpr DWORD FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS = 0x02;
constexpr DWORD FLAGS_ERROR_UI_FLAGS_GENERATE_DATA = 0x04;
constexpr DWORD ERROR_CANCELLED = 1223;

// Errors of the client (GetLastError after a failed call).
constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
constexpr DWORD ERROR_INTERNET_INVALID_OPTION = 12009;
constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;
constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;
constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
constexpr DWORD ERROR_INTERNET_FORCE_RETRY = 12032;
constexpr DWORD ERROR_HTTP_HEADER_NOT_FOUND = 12150;
constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;

// Opens a session. With INTERNET_OPEN_TYPE_PRECONFIG the proxy comes from
// the registry (ProxySettings.h); none is used by default.
HINTERNET InternetOpen(LPCWSTR agent, DWORD accessType, LPCWSTR proxy, LPCWSTR proxyBypass,
                       DWORD flags);
// Makes a connection object for host and port. Nothing is sent yet; a host
// that cannot be reached makes HttpSendRequest fail. user and password must
// be null (authentication is not supported).
HINTERNET InternetConnect(HINTERNET session, LPCWSTR host, INTERNET_PORT port, LPCWSTR user,
                          LPCWSTR password, DWORD service, DWORD flags, uintptr_t context);
// verb "GET" (also when null) or "HEAD"; path null or empty means "/".
// version, referrer and acceptTypes are accepted and ignored (HTTP/1.1, no
// Referer, no Accept header).
HINTERNET HttpOpenRequest(HINTERNET connection, LPCWSTR verb, LPCWSTR path, LPCWSTR version,
                          LPCWSTR referrer, LPCWSTR* acceptTypes, DWORD flags, uintptr_t context);
// Sends the request (again, when called a second time) and waits for the
// answer's headers. headers: extra "Name: value" lines separated by CR LF,
// headersLength in characters or -1 (0xFFFFFFFF) for zero-terminated. A body
// is not supported (optional must be null).
BOOL HttpSendRequest(HINTERNET request, LPCWSTR headers, DWORD headersLength, void* optional,
                     DWORD optionalLength);
// HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER fills a DWORD; without the
// number flag the value is wide text with a terminator (*bufferLength in
// bytes, in: size, out: bytes without the terminator; ERROR_INSUFFICIENT_BUFFER
// with the needed size when too small).
BOOL HttpQueryInfo(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* bufferLength,
                   DWORD* index);
// Reads up to toRead body bytes: returns as soon as some have arrived, with
// *read 0 at the end of the body. FALSE when the transfer failed, timed out
// or was cancelled (the bytes before the failure have all been handed out).
BOOL InternetReadFile(HINTERNET request, void* buffer, DWORD toRead, DWORD* read);
BOOL InternetCloseHandle(HINTERNET handle);

// Time-out options on a handle (inherited by the handles opened from it) or,
// with a null handle, the process-wide defaults for handles opened later.
BOOL InternetSetOption(HINTERNET handle, DWORD option, void* buffer, DWORD bufferLength);
BOOL InternetQueryOption(HINTERNET handle, DWORD option, void* buffer, DWORD* bufferLength);

// The error dialog. On the device it may ask the user for credentials and
// answer ERROR_INTERNET_FORCE_RETRY, after which the caller sends again.
// Here a hook decides; without one the answer is always ERROR_SUCCESS.
DWORD InternetErrorDlg(HWND owner, HINTERNET request, DWORD error, DWORD flags, void** data);
using InternetErrorDlgHook =
    std::function<DWORD(HWND owner, HINTERNET request, DWORD error, DWORD flags)>;
// Installs the hook for the process (empty removes it); returns the previous.
InternetErrorDlgHook SetInternetErrorDlgHook(InternetErrorDlgHook hook);

// Cancel flags polled while a call on the handle (or on a handle opened from
// it later) waits: when either is non-zero the call fails with
// ERROR_INTERNET_OPERATION_CANCELLED. The flags are owned by the caller and
// must outlive the handle; either may be null.
BOOL InternetSetCancelFlags(HINTERNET handle, const std::atomic<int32_t>* cancelA,
                            const std::atomic<int32_t>* cancelB);

// One request as it went out, reported when its send ended.
struct HttpEvent {
  std::string method;  // "GET"
  std::string host;    // the name the program asked for
  INTERNET_PORT port = 0;
  std::string target;  // the request target as sent (escaped)
  DWORD status = 0;    // HTTP status, 0 when no answer arrived
  DWORD error = 0;     // 0, or the ERROR_INTERNET_* code of the failed send
};
using HttpObserver = std::function<void(const HttpEvent&)>;
// Installs an observer for the process (empty removes it); returns the
// previous one. It is called on the thread that sent the request, without
// any lock of the client held.
HttpObserver SetHttpObserver(HttpObserver observer);

// Number of open handles of all kinds, for tests and diagnostics.
int InternetOpenHandleCount();

}  // namespace ce
