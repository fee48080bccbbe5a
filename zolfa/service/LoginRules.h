// What a delivered login or check answer means: the version rule and the
// status rule. The top-level dialog shows the texts in order, then calls
// SetOnline with whether the answer was accepted.
#pragma once

#include <string>
#include <vector>

#include "zolfa/service/LoginResult.h"

namespace zolfa {

enum class LoginOutcome { kAccepted, kRefused };

struct LoginVerdict {
  LoginOutcome outcome = LoginOutcome::kRefused;
  // Message box texts in the order they are shown: the login message, the
  // update message of the version rule, then the status text.
  std::vector<std::u16string> texts;
};

// Status texts.
inline constexpr char16_t kTextExpired[] = u"使用期限已過期";
inline constexpr char16_t kTextNoSuchAccount[] = u"登入失敗,帳號不存在,請檢查帳號";
inline constexpr char16_t kTextWrongPassword[] = u"登入失敗,請檢查密碼";
inline constexpr char16_t kTextLoginFailed[] = u"登入失敗,請檢查帳號/密碼";
// Shown for a failed login or check that brought no text of its own.
inline constexpr char16_t kTextNoConnection[] = u"無法連線\n請檢查網路連線設定";

// A major version other than the client's shows update_msg and refuses
// without looking at the status; a minor version other than the client's
// shows update_msg2 and goes on. Status 0, 2 and 3 accept; 1, -1, -2 refuse
// with their texts, -3 refuses silently, anything else (200 included)
// refuses with the general login failure text. Absent messages show nothing.
LoginVerdict ApplyLoginRules(const LoginResult& result);

}  // namespace zolfa
