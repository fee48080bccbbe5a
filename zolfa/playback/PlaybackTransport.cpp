#include "zolfa/playback/PlaybackTransport.h"

#include "zolfa/service/HttpGet.h"

namespace zolfa {

PlaybackReply HttpGetPlayback(const PlaybackFetch& fetch) {
  PlaybackReply reply;
  void* body = nullptr;
  uint32_t length = 0;
  reply.result = HttpGet(fetch.agent, fetch.host, fetch.path, fetch.port, fetch.cancelA,
                         fetch.cancelB, !fetch.binary, 0, &body, &length);
  if (reply.result == kHttpOk && body != nullptr) {
    if (fetch.binary) {
      reply.bytes.assign(static_cast<const char*>(body), length);
    } else {
      // length counts bytes of UTF-16 text before its terminator.
      reply.text.assign(static_cast<const char16_t*>(body), length / 2);
    }
  }
  HttpFreeBody(body);
  return reply;
}

}  // namespace zolfa
