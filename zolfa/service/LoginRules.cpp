#include "zolfa/service/LoginRules.h"

#include "zolfa/service/ClientVersion.h"

namespace zolfa {

namespace {

void Show(LoginVerdict& verdict, const std::optional<std::u16string>& text) {
  if (text) {
    verdict.texts.push_back(*text);
  }
}

}  // namespace

LoginVerdict ApplyLoginRules(const LoginResult& result) {
  LoginVerdict verdict;
  Show(verdict, result.loginMessage);
  if (result.majorVersion != kClientMajorVersion) {
    Show(verdict, result.updateMessage);
    verdict.outcome = LoginOutcome::kRefused;
    return verdict;
  }
  if (result.minorVersion != kClientMinorVersion) {
    Show(verdict, result.updateMessage2);
  }
  switch (result.status) {
    case 0:
    case 2:
    case 3:
      verdict.outcome = LoginOutcome::kAccepted;
      break;
    case 1:
      verdict.texts.push_back(kTextExpired);
      break;
    case -1:
      verdict.texts.push_back(kTextNoSuchAccount);
      break;
    case -2:
      verdict.texts.push_back(kTextWrongPassword);
      break;
    case -3:
      break;
    default:
      verdict.texts.push_back(kTextLoginFailed);
      break;
  }
  return verdict;
}

}  // namespace zolfa
