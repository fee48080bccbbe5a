#include "zolfa/browse/BrowseTransport.h"

#include "zolfa/service/HttpGet.h"

namespace zolfa {

ServiceReply HttpGetBrowse(const BrowseFetch& fetch) {
  ServiceReply reply;
  void* body = nullptr;
  uint32_t length = 0;
  reply.result = HttpGet(fetch.agent, fetch.host, fetch.path, fetch.port, fetch.cancelA,
                         fetch.cancelB, true, fetch.codePage, &body, &length);
  if (reply.result == kHttpOk && body != nullptr) {
    // length counts bytes of UTF-16 text before its terminator.
    reply.text.assign(static_cast<const char16_t*>(body), length / 2);
  }
  HttpFreeBody(body);
  return reply;
}

}  // namespace zolfa
