#include "server/RefusalRule.h"

#include <algorithm>
#include <stdexcept>

namespace zolfa_server {

namespace {

constexpr int kCodes[] = {1, 2, 3, 4, -1, -3};

}  // namespace

std::string RefusalRule::Parse(const std::string& text, RefusalRule* rule) {
  const size_t colon = text.find(':');
  const size_t equals = text.rfind('=');
  if (colon == std::string::npos || equals == std::string::npos || equals < colon) {
    return "expected song:ID=CODE or account:NAME=CODE";
  }
  RefusalRule result;
  const std::string target = text.substr(0, colon);
  if (target == "account") {
    result.forAccount = true;
  } else if (target != "song") {
    return "refuse a song or an account, not \"" + target + "\"";
  }
  result.name = text.substr(colon + 1, equals - colon - 1);
  if (result.name.empty()) return "no " + target + " named";
  const std::string code = text.substr(equals + 1);
  try {
    size_t used = 0;
    result.code = std::stoi(code, &used);
    if (used != code.size()) throw std::invalid_argument(code);
  } catch (const std::exception&) {
    return "bad refusal code \"" + code + "\"";
  }
  if (std::find(std::begin(kCodes), std::end(kCodes), result.code) == std::end(kCodes)) {
    return "the refusal codes are 1, 2, 3, 4, -1 and -3";
  }
  *rule = std::move(result);
  return std::string();
}

bool RefusalRule::Matches(const std::string& account, const std::string& songId) const {
  return forAccount ? account == name : songId == name;
}

std::string RefusalRule::Describe() const {
  return std::string("refuse ") + (forAccount ? "account:" : "song:") + name + "=" +
         std::to_string(code);
}

}  // namespace zolfa_server
