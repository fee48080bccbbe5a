#include "zolfa/service/ServiceTransport.h"

#include "zolfa/service/HttpGet.h"

namespace zolfa {

ServiceReply HttpGetText(const ServiceRequest& request) {
  ServiceReply reply;
  void* body = nullptr;
  uint32_t length = 0;
  reply.result = HttpGet(request.agent, request.host, request.path, request.port, request.cancelA,
                         request.cancelB, true, 0, &body, &length);
  if (reply.result == kHttpOk && body != nullptr) {
    // length counts bytes of UTF-16 text before its terminator.
    reply.text.assign(static_cast<const char16_t*>(body), length / 2);
  }
  HttpFreeBody(body);
  return reply;
}

}  // namespace zolfa
