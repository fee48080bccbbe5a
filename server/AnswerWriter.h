// Turns an answer tree into the bytes of a reply: the changes of the run
// are applied for the answer's kind, then the text is encoded in code page
// 950 (the service's usual encoding) or kept in UTF-8 (topic pages).
#pragma once

#include <string>

#include "server/Element.h"
#include "server/RunSettings.h"
#include "server/ServiceReply.h"

namespace zolfa_server {

class AnswerWriter {
 public:
  // The message of an answer to an unknown or ended session.
  static constexpr const char* kSessionEndedText = "連線已逾時,請重新登入";

  static ServiceReply Cp950(const std::string& kind, Element root, RunSettings& settings);
  static ServiceReply Utf8(const std::string& kind, Element root, RunSettings& settings);

  // Adds the session-error pair that the handset looks for in list answers.
  static void AddSessionError(Element& root);
};

}  // namespace zolfa_server
