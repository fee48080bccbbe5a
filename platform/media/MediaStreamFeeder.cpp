#include "platform/media/MediaStreamFeeder.h"

#include <utility>

#include "platform/net/WinInet.h"

// Last: GStreamer's headers define TRUE and FALSE as macros.
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

namespace ce {
namespace {

// Closes the handles of one exchange in reverse order.
struct Exchange {
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
  ~Exchange() {
    if (request) InternetCloseHandle(request);
    if (connection) InternetCloseHandle(connection);
    if (session) InternetCloseHandle(session);
  }
};

DWORD QueryNumber(HINTERNET request, DWORD level) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (!HttpQueryInfo(request, level | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr)) return 0;
  return value;
}

}  // namespace

MediaStreamFeeder::MediaStreamFeeder(const MediaUrl& url, Answered answered, Failed failed) {
  thread_ = std::thread(&MediaStreamFeeder::Run, this, url, std::move(answered), std::move(failed));
}

MediaStreamFeeder::~MediaStreamFeeder() {
  Cancel();
  if (thread_.joinable()) thread_.join();
  if (source_) gst_object_unref(source_);
}

void MediaStreamFeeder::SetSource(GstElement* appsrc) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (source_) gst_object_unref(source_);
    source_ = GST_ELEMENT(gst_object_ref(appsrc));
  }
  changed_.notify_all();
}

void MediaStreamFeeder::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cancel_ = 1;
  }
  changed_.notify_all();
}

GstElement* MediaStreamFeeder::WaitForSource() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return source_ != nullptr || cancel_ != 0; });
  return cancel_ != 0 ? nullptr : GST_ELEMENT(gst_object_ref(source_));
}

void MediaStreamFeeder::Run(MediaUrl url, Answered answered, Failed failed) {
  Exchange exchange;
  exchange.session = InternetOpen(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (exchange.session) {
    exchange.connection = InternetConnect(exchange.session, url.host.c_str(), url.port, nullptr,
                                          nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  }
  if (exchange.connection) {
    exchange.request = HttpOpenRequest(exchange.connection, u"GET", url.path.c_str(), nullptr,
                                       nullptr, nullptr,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  }
  if (!exchange.request) {
    failed(0, GetLastError());
    return;
  }
  InternetSetCancelFlags(exchange.request, &cancel_, nullptr);
  if (!HttpSendRequest(exchange.request, nullptr, 0, nullptr, 0)) {
    DWORD error = GetLastError();
    if (error != ERROR_INTERNET_OPERATION_CANCELLED) failed(0, error);
    return;
  }
  DWORD status = QueryNumber(exchange.request, HTTP_QUERY_STATUS_CODE);
  if (status != 200) {
    failed(status, 0);
    return;
  }
  answered(QueryNumber(exchange.request, HTTP_QUERY_CONTENT_LENGTH));

  GstElement* source = WaitForSource();
  if (!source) return;
  GstAppSrc* appsrc = GST_APP_SRC(source);
  for (;;) {
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, kChunkBytes, nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    DWORD read = 0;
    BOOL ok = InternetReadFile(exchange.request, map.data, kChunkBytes, &read);
    gst_buffer_unmap(buffer, &map);
    if (!ok || read == 0) {
      gst_buffer_unref(buffer);
      // A stream cut short plays what arrived and then ends, as the end of
      // its bytes is all the decoder can know of it.
      if (cancel_ == 0) gst_app_src_end_of_stream(appsrc);
      break;
    }
    gst_buffer_set_size(buffer, read);
    // The source takes the buffer; a flow other than OK means the pipeline
    // stopped (flushing) and wants no more.
    if (gst_app_src_push_buffer(appsrc, buffer) != GST_FLOW_OK) break;
  }
  gst_object_unref(source);
}

}  // namespace ce
