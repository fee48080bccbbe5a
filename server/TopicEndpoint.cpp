#include "server/TopicEndpoint.h"

#include "server/AnswerWriter.h"
#include "server/DeviceQuery.h"

namespace zolfa_server {

std::string TopicEndpoint::CheckParameters(const QueryString& query) const {
  if (!context_.strict) return query.Get("key") ? std::string() : "missing parameter key";
  std::vector<std::string> keys = {"ver", "hw_vender", "hw_model", "hw_id", "hw_version", "key"};
  if (query.Get("item_id")) keys.push_back("item_id");
  std::string error = DeviceQuery::CheckKeys(query, keys);
  if (!error.empty()) return error;
  if (*query.Get("ver") != "01000001") return "ver must be 01000001";
  if (*query.Get("hw_vender") != "Ulda") return "hw_vender must be Ulda";
  if (*query.Get("hw_model") != "WINCE") return "hw_model must be WINCE";
  if (!DeviceQuery::IsDeviceId(*query.Get("hw_id"))) {
    return "hw_id must be 000000 or upper-case hex pairs";
  }
  if (*query.Get("hw_version") != "0002") return "hw_version must be 0002";
  return std::string();
}

ServiceReply TopicEndpoint::Handle(const ServiceRequest& request) {
  const QueryString& query = request.query;
  std::string error = CheckParameters(query);
  if (!error.empty()) return ServiceReply::Text(400, error + "\n");
  Element root = Element::Node("Topic");
  if (!context_.sessions.Use(query.Get("key").value_or(""))) {
    AnswerWriter::AddSessionError(root);
    return AnswerWriter::Utf8("topic", std::move(root), context_.settings);
  }
  // The root page is asked for without item_id; an empty item_id is a
  // folder without a name, which does not exist.
  std::optional<std::string> itemId = query.Get("item_id");
  std::optional<TopicPage> page =
      itemId && itemId->empty() ? std::nullopt : context_.catalogue.Topic(itemId.value_or(""));
  if (page) {
    for (const TopicItem& entry : page->items) {
      Element item = Element::Node("Item");
      item.AddLeaf("ItemType", entry.type);
      item.AddLeaf("ItemName", entry.name);
      item.AddLeaf("ItemID", entry.id);
      for (Element& field : item.children) field.escaped = page->escapedTags;
      root.Add(std::move(item));
    }
  }
  return AnswerWriter::Utf8("topic", std::move(root), context_.settings);
}

}  // namespace zolfa_server
