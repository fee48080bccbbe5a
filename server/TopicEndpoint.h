// "/hw_topic.php" on the data host, in UTF-8:
//   ?ver=01000001&hw_vender=Ulda&hw_model=WINCE&hw_id=HEX&hw_version=0002&key=SID
// answers the root page, and the same with "&item_id=ID" the page of a
// folder. A page is a sequence of "<Item>" elements holding "<ItemType>"
// ("folder" or "track"), "<ItemName>" and "<ItemID>"; some pages write
// these three tags escaped. An unknown folder gives an empty page; an
// unknown or ended key gets sid_errno and sid_errmsg.
#pragma once

#include "server/Endpoint.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class TopicEndpoint : public Endpoint {
 public:
  explicit TopicEndpoint(ServiceContext& context) : context_(context) {}
  ServiceReply Handle(const ServiceRequest& request) override;

 private:
  std::string CheckParameters(const QueryString& query) const;

  ServiceContext& context_;
};

}  // namespace zolfa_server
