// The accounts the service knows: account name, the password text a client
// sends for it (the digest), and the login status the account is answered
// with. The sample account always exists.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace zolfa_server {

class AccountStore {
 public:
  static constexpr const char* kSampleAccount = "demo@zolfa.test";
  static constexpr const char* kSamplePassword = "zolfa";

  struct Account {
    std::string name;
    std::string digest;  // what the client sends as passwd
    int status = 0;      // login status of an accepted password (0, 1, 2, 3)
  };

  enum class Check { kAccepted, kUnknownAccount, kWrongPassword };

  AccountStore();

  // Adds the accounts of a text file, one per line:
  //   account password [status]
  // separated by spaces or tabs; "#" starts a comment line. A password
  // written as "md5:" and 32 hexadecimal digits is taken as the digest
  // itself (needed for passwords that contain blanks). Returns an error text
  // naming the line, or an empty text.
  std::string LoadFile(const std::filesystem::path& file);

  // Adds or replaces one account given with its clear password.
  void Add(const std::string& name, const std::string& password, int status);

  // Checks the account name (UTF-8) and the sent password text.
  Check Verify(const std::string& name, const std::string& sentPassword) const;

  std::optional<Account> Find(const std::string& name) const;

 private:
  std::map<std::string, Account> accounts_;
};

}  // namespace zolfa_server
