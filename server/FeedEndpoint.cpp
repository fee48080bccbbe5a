#include "server/FeedEndpoint.h"

#include "server/AnswerWriter.h"

namespace zolfa_server {

ServiceReply FeedEndpoint::Handle(const ServiceRequest& request) {
  std::optional<Feed> feed = context_.catalogue.FeedAt(request.path);
  if (!feed) return ServiceReply::Text(404, "no feed at " + request.path + "\n");
  // The handset finds the document by the literal start tag
  // '<rss version="2.0">', so the tag carries no other attribute.
  Element rss = Element::Node("rss");
  rss.attributes = "version=\"2.0\"";
  Element& channel = rss.Add(Element::Node("channel"));
  channel.AddLeaf("title", feed->title);
  for (const FeedEntry& entry : feed->entries) {
    Element& item = channel.Add(Element::Node("item"));
    item.AddLeaf("title", entry.title);
    item.AddLeaf("link", entry.link);
    item.AddLeaf("zolfa:image", entry.category == "song" ? "file:\\song.gif"
                                                         : "file:\\directory.gif");
    item.AddLeaf("zolfa:category", entry.category);
  }
  return AnswerWriter::Cp950("feed", std::move(rss), context_.settings);
}

}  // namespace zolfa_server
