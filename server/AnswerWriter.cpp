#include "server/AnswerWriter.h"

#include "server/TextCodec.h"

namespace zolfa_server {

ServiceReply AnswerWriter::Cp950(const std::string& kind, Element root, RunSettings& settings) {
  settings.Shape(kind, root);
  ServiceReply reply;
  reply.contentType = "text/xml; charset=Big5";
  reply.body = TextCodec::Utf8ToCp950(root.RenderDocument("Big5"));
  return reply;
}

ServiceReply AnswerWriter::Utf8(const std::string& kind, Element root, RunSettings& settings) {
  settings.Shape(kind, root);
  ServiceReply reply;
  reply.contentType = "text/xml; charset=UTF-8";
  reply.body = root.RenderDocument("UTF-8");
  return reply;
}

void AnswerWriter::AddSessionError(Element& root) {
  root.AddLeaf("sid_errno", "1");
  root.AddLeaf("sid_errmsg", kSessionEndedText);
}

}  // namespace zolfa_server
