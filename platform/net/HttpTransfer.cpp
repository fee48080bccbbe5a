#include "platform/net/HttpTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/base/Clock.h"
#include "platform/net/WinInet.h"

namespace ce {
namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

DWORD MapCurlError(int code) {
  switch (static_cast<CURLcode>(code)) {
    case CURLE_OK:
      return 0;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
      return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
      return ERROR_INTERNET_TIMEOUT;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return ERROR_INTERNET_INVALID_URL;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
      return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
      return ERROR_INTERNET_CONNECTION_RESET;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
      return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_OUT_OF_MEMORY:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_INTERNET_INTERNAL_ERROR;
  }
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

std::string_view TrimLine(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                           text.back() == '\t'))
    text.remove_suffix(1);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

uint64_t Now() { return CurrentClock().NowMs(); }

}  // namespace

HttpTransfer::HttpTransfer() { GlobalInit(); }

HttpTransfer::~HttpTransfer() { Release(); }

void HttpTransfer::Release() {
  if (multi_ && easy_) curl_multi_remove_handle(multi_, easy_);
  if (easy_) curl_easy_cleanup(easy_);
  if (multi_) curl_multi_cleanup(multi_);
  curl_slist_free_all(headerList_);
  curl_slist_free_all(connectToList_);
  easy_ = nullptr;
  multi_ = nullptr;
  headerList_ = nullptr;
  connectToList_ = nullptr;
}

size_t HttpTransfer::OnHeader(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<HttpTransfer*>(self);
  size_t length = size * count;
  std::string_view line(data, length);
  transfer->lastActivityMs_ = Now();
  if (line.rfind("HTTP/", 0) == 0) {
    // A new answer begins (after an interim 1xx answer, or the first).
    transfer->status_ = 0;
    transfer->statusText_.clear();
    transfer->headers_.clear();
    size_t space = line.find(' ');
    if (space != std::string_view::npos) {
      std::string_view rest = TrimLine(line.substr(space + 1));
      size_t i = 0;
      DWORD status = 0;
      while (i < rest.size() && i < 3 && rest[i] >= '0' && rest[i] <= '9')
        status = status * 10 + static_cast<DWORD>(rest[i++] - '0');
      transfer->status_ = status;
      transfer->statusText_ = std::string(TrimLine(rest.substr(i)));
    }
  } else if (TrimLine(line).empty()) {
    if (transfer->status_ >= 200) transfer->headersDone_ = true;
  } else {
    size_t colon = line.find(':');
    if (colon != std::string_view::npos)
      transfer->headers_.emplace_back(std::string(TrimLine(line.substr(0, colon))),
                                      std::string(TrimLine(line.substr(colon + 1))));
  }
  return length;
}

size_t HttpTransfer::OnBody(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<HttpTransfer*>(self);
  size_t length = size * count;
  transfer->lastActivityMs_ = Now();
  if (transfer->Buffered() >= kMaxBufferedBytes) {
    // The reader is behind: hold the connection until it has caught up.
    transfer->paused_ = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  if (transfer->pendingPos_ > 0 && transfer->pendingPos_ >= transfer->pending_.size() / 2) {
    transfer->pending_.erase(0, transfer->pendingPos_);
    transfer->pendingPos_ = 0;
  }
  transfer->pending_.append(data, length);
  return length;
}

int HttpTransfer::OnConnected(void* self, char*, char*, int, int) {
  auto* transfer = static_cast<HttpTransfer*>(self);
  transfer->connected_ = true;
  transfer->lastActivityMs_ = Now();
  return CURL_PREREQFUNC_OK;
}

bool HttpTransfer::Setup(const Request& request) {
  easy_ = curl_easy_init();
  multi_ = curl_multi_init();
  if (!easy_ || !multi_) return false;
  request_ = request;
  headerList_ = curl_slist_append(nullptr, "Accept:");  // no accept types
  for (const std::string& header : request_.headers) {
    curl_slist* grown = curl_slist_append(headerList_, header.c_str());
    if (!grown) return false;
    headerList_ = grown;
  }
  if (!request_.connectTo.empty()) {
    connectToList_ = curl_slist_append(nullptr, request_.connectTo.c_str());
    if (!connectToList_) return false;
  }
  CURL* easy = easy_;
  bool ok = curl_easy_setopt(easy, CURLOPT_URL, request_.url.c_str()) == CURLE_OK &&
            curl_easy_setopt(easy, CURLOPT_REQUEST_TARGET, request_.target.c_str()) == CURLE_OK &&
            curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http") == CURLE_OK &&
            curl_easy_setopt(easy, CURLOPT_PROXY, request_.proxy.c_str()) == CURLE_OK;
  if (!ok) return false;
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, request_.agent.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList_);
  if (connectToList_) curl_easy_setopt(easy, CURLOPT_CONNECT_TO, connectToList_);
  if (request_.head)
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  else
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpTransfer::OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpTransfer::OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &HttpTransfer::OnConnected);
  curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);
  return curl_multi_add_handle(multi_, easy_) == CURLM_OK;
}

DWORD HttpTransfer::Start(const Request& request, const StopCheck& stop) {
  Release();
  connected_ = headersDone_ = paused_ = done_ = false;
  curlResult_ = CURLE_OK;
  abortError_ = 0;
  status_ = 0;
  statusText_.clear();
  headers_.clear();
  pending_.clear();
  pendingPos_ = 0;
  startMs_ = lastActivityMs_ = Now();
  if (!Setup(request)) {
    Abort(ERROR_INTERNET_INTERNAL_ERROR);
    return ERROR_INTERNET_INTERNAL_ERROR;
  }
  DWORD error = Drive([this] { return headersDone_; }, stop);
  if (error != 0) {
    Abort(error);
    return error;
  }
  if (!headersDone_) return EndError() != 0 ? EndError() : ERROR_HTTP_INVALID_SERVER_RESPONSE;
  return 0;
}

std::optional<std::string> HttpTransfer::Header(std::string_view name) const {
  for (const auto& [key, value] : headers_)
    if (EqualNoCase(key, name)) return value;
  return std::nullopt;
}

DWORD HttpTransfer::Read(void* buffer, size_t size, size_t* read, const StopCheck& stop) {
  *read = 0;
  if (size == 0) return 0;
  if (Buffered() == 0 && !done_) {
    if (paused_) {
      // The time the reader kept the connection paused is not silence.
      paused_ = false;
      lastActivityMs_ = Now();
      curl_easy_pause(easy_, CURLPAUSE_CONT);
    }
    DWORD error = Drive([this] { return Buffered() > 0; }, stop);
    if (error != 0) {
      if (error == ERROR_INTERNET_TIMEOUT) Abort(error);
      return error;
    }
  }
  size_t count = std::min(size, Buffered());
  if (count > 0) {
    std::memcpy(buffer, pending_.data() + pendingPos_, count);
    pendingPos_ += count;
    if (pendingPos_ == pending_.size()) {
      pending_.clear();
      pendingPos_ = 0;
    }
    *read = count;
    return 0;
  }
  return EndError();
}

DWORD HttpTransfer::Drive(const std::function<bool()>& ready, const StopCheck& stop) {
  for (;;) {
    if (!done_) {
      int running = 0;
      if (curl_multi_perform(multi_, &running) != CURLM_OK) return ERROR_INTERNET_INTERNAL_ERROR;
      CollectDone();
    }
    if (ready() || done_) return 0;
    if (stop && stop()) return ERROR_INTERNET_OPERATION_CANCELLED;
    uint64_t now = Now();
    uint32_t limit = connected_ ? request_.receiveTimeoutMs : request_.connectTimeoutMs;
    uint64_t since = connected_ ? lastActivityMs_ : startMs_;
    if (limit != 0 && now >= since + limit) return ERROR_INTERNET_TIMEOUT;
    if (curl_multi_poll(multi_, nullptr, 0, kPollMs, nullptr) != CURLM_OK)
      return ERROR_INTERNET_INTERNAL_ERROR;
  }
}

void HttpTransfer::CollectDone() {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
    if (message->msg == CURLMSG_DONE) {
      done_ = true;
      curlResult_ = message->data.result;
    }
  }
}

void HttpTransfer::Abort(DWORD error) {
  if (multi_ && easy_) curl_multi_remove_handle(multi_, easy_);
  done_ = true;
  paused_ = false;
  if (abortError_ == 0) abortError_ = error;
}

DWORD HttpTransfer::EndError() const {
  return abortError_ != 0 ? abortError_ : MapCurlError(curlResult_);
}

}  // namespace ce
