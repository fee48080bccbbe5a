#include "server/AccountStore.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "server/PasswordDigest.h"

namespace zolfa_server {

namespace {

bool ParseStatus(const std::string& text, int* status) {
  if (text.empty() || text.size() > 6) return false;
  size_t start = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (start == text.size()) return false;
  for (size_t i = start; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  *status = std::stoi(text);
  return true;
}

}  // namespace

AccountStore::AccountStore() { Add(kSampleAccount, kSamplePassword, 0); }

void AccountStore::Add(const std::string& name, const std::string& password, int status) {
  accounts_[name] = Account{name, PasswordDigest::ForPassword(password), status};
}

std::string AccountStore::LoadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "cannot read " + file.string();
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream fields(line);
    std::string name, password, statusText, extra;
    if (!(fields >> name) || name[0] == '#') continue;
    std::string where = file.string() + ":" + std::to_string(lineNumber) + ": ";
    if (name == kSampleAccount) {
      return where + "\"" + name + "\" is the sample account and always has its own password";
    }
    if (!(fields >> password)) return where + "account without a password";
    int status = 0;
    if (fields >> statusText && !ParseStatus(statusText, &status)) {
      return where + "status must be a number, not \"" + statusText + "\"";
    }
    if (fields >> extra) return where + "unexpected text \"" + extra + "\"";
    if (password.rfind("md5:", 0) == 0) {
      std::string digest = password.substr(4);
      for (char& c : digest) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (!PasswordDigest::IsDigestText(digest)) {
        return where + "md5: must be followed by 32 hexadecimal digits";
      }
      accounts_[name] = Account{name, digest, status};
    } else {
      Add(name, password, status);
    }
  }
  return std::string();
}

AccountStore::Check AccountStore::Verify(const std::string& name,
                                         const std::string& sentPassword) const {
  auto it = accounts_.find(name);
  if (it == accounts_.end()) return Check::kUnknownAccount;
  return it->second.digest == sentPassword ? Check::kAccepted : Check::kWrongPassword;
}

std::optional<AccountStore::Account> AccountStore::Find(const std::string& name) const {
  auto it = accounts_.find(name);
  if (it == accounts_.end()) return std::nullopt;
  return it->second;
}

}  // namespace zolfa_server
