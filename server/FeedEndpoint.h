// The RSS 2.0 documents that topic folders name by an "http://" address
// ("/feed/..." on the data host). The handset fetches them without a
// session and reads them in its ANSI code page, so they are sent in code
// page 950. Each item has a title, a link, an image word and a category.
#pragma once

#include "server/Endpoint.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class FeedEndpoint : public Endpoint {
 public:
  explicit FeedEndpoint(ServiceContext& context) : context_(context) {}
  ServiceReply Handle(const ServiceRequest& request) override;

 private:
  ServiceContext& context_;
};

}  // namespace zolfa_server
