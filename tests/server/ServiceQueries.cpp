#include "tests/server/ServiceQueries.h"

#include "tests/server/AnswerReader.h"
#include "tests/support/ServerProcess.h"

namespace zolfa_server_test {

using test_support::ServerProcess;

std::string ServiceQueries::Device(const std::string& sid) {
  return "hw_vendor=ULDA&hw_model=WINCE&hw_id=00112233445566778899AABBCCDDEEFF&zolfaid=ZOLFA-" +
         std::string(42, 'Q') + "&hw_version=01000013&sid=" + sid;
}

std::string ServiceQueries::Escape(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : bytes) {
    unsigned char b = static_cast<unsigned char>(c);
    if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '-' ||
        b == '.' || b == '_') {
      out.push_back(c);
    } else {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

std::string ServiceQueries::Login(const std::string& uid, const std::string& passwd) {
  return "/ce_login.php?act=login&uid=" + Escape(uid) + "&passwd=" + Escape(passwd) + "&" +
         Device("");
}

std::string ServiceQueries::Check(const std::string& sid) { return "/ce_check.php?" + Device(sid); }

std::string ServiceQueries::LoginSid(ServerProcess& server) {
  auto result = server.Get(Login(kDemoAccount, kDemoDigest), "login1.zolfa.test");
  if (!result || result->status != 200) return std::string();
  return AnswerReader(result->body).Next("sid").value_or("");
}

}  // namespace zolfa_server_test
