// A song ticket that the tests ask the service to refuse, for one song or
// for every song asked for by one account. Written as
//   song:ID=CODE       refuse tickets for this song id
//   account:NAME=CODE  refuse tickets asked for by this account
// CODE is one of the refusal codes 1, 2, 3, 4, -1, -3.
#pragma once

#include <string>

namespace zolfa_server {

struct RefusalRule {
  bool forAccount = false;
  std::string name;  // the song id or the account
  int code = 0;

  static std::string Parse(const std::string& text, RefusalRule* rule);
  bool Matches(const std::string& account, const std::string& songId) const;
  std::string Describe() const;
};

}  // namespace zolfa_server
