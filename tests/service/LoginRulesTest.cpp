#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zolfa/service/LoginRules.h"

namespace {

using namespace zolfa;

LoginResult Answer(int32_t major, int32_t minor, int32_t status) {
  LoginResult r;
  r.majorVersion = major;
  r.minorVersion = minor;
  r.status = status;
  r.updateMessage = u"update";
  r.updateMessage2 = u"update2";
  return r;
}

TEST(LoginRulesTest, StatusTable) {
  struct Case {
    int32_t status;
    LoginOutcome outcome;
    std::vector<std::u16string> texts;
  };
  const Case cases[] = {
      {0, LoginOutcome::kAccepted, {}},
      {2, LoginOutcome::kAccepted, {}},
      {3, LoginOutcome::kAccepted, {}},
      {1, LoginOutcome::kRefused, {u"使用期限已過期"}},
      {-1, LoginOutcome::kRefused, {u"登入失敗,帳號不存在,請檢查帳號"}},
      {-2, LoginOutcome::kRefused, {u"登入失敗,請檢查密碼"}},
      {-3, LoginOutcome::kRefused, {}},
      {4, LoginOutcome::kRefused, {u"登入失敗,請檢查帳號/密碼"}},
      {-4, LoginOutcome::kRefused, {u"登入失敗,請檢查帳號/密碼"}},
      {200, LoginOutcome::kRefused, {u"登入失敗,請檢查帳號/密碼"}},
  };
  for (const Case& c : cases) {
    LoginVerdict v = ApplyLoginRules(Answer(100, 13, c.status));
    EXPECT_EQ(v.outcome, c.outcome) << "status " << c.status;
    EXPECT_EQ(v.texts, c.texts) << "status " << c.status;
  }
}

TEST(LoginRulesTest, OtherMinorVersionShowsSecondUpdateMessageAndGoesOn) {
  LoginResult r = Answer(100, 14, 0);
  r.loginMessage = u"hello";
  LoginVerdict v = ApplyLoginRules(r);
  EXPECT_EQ(v.outcome, LoginOutcome::kAccepted);
  EXPECT_EQ(v.texts, (std::vector<std::u16string>{u"hello", u"update2"}));

  v = ApplyLoginRules(Answer(100, 12, -2));
  EXPECT_EQ(v.outcome, LoginOutcome::kRefused);
  EXPECT_EQ(v.texts, (std::vector<std::u16string>{u"update2", u"登入失敗,請檢查密碼"}));
}

TEST(LoginRulesTest, OtherMajorVersionRefusesWithoutTheStatusRule) {
  for (int32_t major : {101, 99, 0}) {
    LoginResult r = Answer(major, 13, 0);
    r.loginMessage = u"hello";
    LoginVerdict v = ApplyLoginRules(r);
    EXPECT_EQ(v.outcome, LoginOutcome::kRefused) << major;
    EXPECT_EQ(v.texts, (std::vector<std::u16string>{u"hello", u"update"})) << major;
  }
  // A refused status adds no text of its own either.
  EXPECT_EQ(ApplyLoginRules(Answer(101, 13, 1)).texts, (std::vector<std::u16string>{u"update"}));
}

TEST(LoginRulesTest, AbsentMessagesShowNothing) {
  LoginResult r;
  r.majorVersion = 100;
  r.minorVersion = 14;
  r.status = 0;
  LoginVerdict v = ApplyLoginRules(r);
  EXPECT_EQ(v.outcome, LoginOutcome::kAccepted);
  EXPECT_TRUE(v.texts.empty());
}

}  // namespace
