#include "server/CheckEndpoint.h"

#include "server/AnswerWriter.h"
#include "server/DeviceQuery.h"
#include "server/SessionAnswer.h"

namespace zolfa_server {

ServiceReply CheckEndpoint::Handle(const ServiceRequest& request) {
  std::string error = DeviceQuery::Check(request.query, {}, context_.strict);
  if (!error.empty()) return ServiceReply::Text(400, error + "\n");
  std::string sid = request.query.Get("sid").value_or("");
  std::optional<std::string> account = context_.sessions.Use(sid);
  Element answer;
  if (account) {
    auto known = context_.accounts.Find(*account);
    answer = SessionAnswer::Build("ce_check", sid, known ? known->status : 0, "");
  } else {
    answer = SessionAnswer::Build("ce_check", "", -3, AnswerWriter::kSessionEndedText);
  }
  return AnswerWriter::Cp950("check", std::move(answer), context_.settings);
}

}  // namespace zolfa_server
