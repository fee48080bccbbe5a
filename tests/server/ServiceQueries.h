// Request targets in the form the handset writes them.
#pragma once

#include <string>

namespace test_support {
class ServerProcess;
}  // namespace test_support

namespace zolfa_server_test {

using test_support::ServerProcess;

class ServiceQueries {
 public:
  static constexpr const char* kDemoAccount = "demo@zolfa.test";
  // MD5 of "zolfa", the sample account's password.
  static constexpr const char* kDemoDigest = "d8019480d08079521cfe745ac4aea304";

  // The device query that ends most paths.
  static std::string Device(const std::string& sid);
  // "%XX" for every byte but letters, digits, "-", "." and "_".
  static std::string Escape(const std::string& bytes);
  static std::string Login(const std::string& uid, const std::string& passwd);
  static std::string Check(const std::string& sid);
  // Logs the sample account in on a server and returns the sid ("" on
  // failure).
  static std::string LoginSid(ServerProcess& server);
};

}  // namespace zolfa_server_test
