// The answer to a login and to a session check. The handset reads it once
// from front to back, so the elements stand in exactly the order it asks
// for them:
//   sid ds ds_port cs cs_port status major_version minor_version us us_port
//   ps ps_port update_msg update_msg2 login_msg is is_port ss ss_port
#pragma once

#include <string>

#include "server/Element.h"

namespace zolfa_server {

class SessionAnswer {
 public:
  static constexpr const char* kUpdateText = "您的版本過舊,請至官方網站下載新版本";
  static constexpr const char* kUpdateText2 = "已有新版本,建議您更新";

  // rootName is "ce_login" or "ce_check"; an empty sid is written as an
  // empty element (the handset then keeps no sid).
  static Element Build(const std::string& rootName, const std::string& sid, int status,
                       const std::string& loginMessage);
};

}  // namespace zolfa_server
