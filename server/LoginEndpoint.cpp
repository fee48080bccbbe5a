#include "server/LoginEndpoint.h"

#include "server/AnswerWriter.h"
#include "server/DeviceQuery.h"
#include "server/SessionAnswer.h"
#include "server/TextCodec.h"

namespace zolfa_server {

ServiceReply LoginEndpoint::Handle(const ServiceRequest& request) {
  const QueryString& query = request.query;
  std::string error = DeviceQuery::Check(query, {"act", "uid", "passwd"}, context_.strict);
  if (error.empty() && query.Get("act").value_or("") != "login") error = "act must be login";
  if (error.empty() && (!query.Get("uid") || !query.Get("passwd"))) {
    error = "missing uid or passwd";
  }
  if (!error.empty()) return ServiceReply::Text(400, error + "\n");

  // The handset escapes both values from its ANSI code page.
  std::string account = TextCodec::Cp950ToUtf8(*query.Get("uid"));
  std::string password = TextCodec::Cp950ToUtf8(*query.Get("passwd"));
  std::string sid;
  int status = 0;
  switch (context_.accounts.Verify(account, password)) {
    case AccountStore::Check::kAccepted:
      // Only the statuses that the handset accepts (0, 2, 3) open a
      // session; an expired account (1) is refused without one.
      status = context_.accounts.Find(account)->status;
      if (status == 0 || status == 2 || status == 3) sid = context_.sessions.Open(account);
      break;
    case AccountStore::Check::kUnknownAccount:
      status = -1;
      break;
    case AccountStore::Check::kWrongPassword:
      status = -2;
      break;
  }
  return AnswerWriter::Cp950("login", SessionAnswer::Build("ce_login", sid, status, ""),
                             context_.settings);
}

}  // namespace zolfa_server
