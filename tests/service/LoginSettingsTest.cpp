// The login screen's rules without the screen: how the remembered accounts
// move, and how the progress text grows.
#include <gtest/gtest.h>

#include "platform/base/CodePage.h"
#include "zolfa/service/LoginSettings.h"

namespace {

using zolfa::AccountList;

TEST(LoginSettingsTest, TheRememberedAccountsMoveAsALoginNeedsThem) {
  struct Case {
    const char* name;
    AccountList before;
    std::u16string account;
    AccountList after;
  };
  const Case cases[] = {
      {"a known account moves to the front", {u"a", u"b", u"c", u"d"}, u"c", {u"c", u"a", u"b", u"d"}},
      {"the first account stays", {u"a", u"b", u"c", u"d"}, u"a", {u"a", u"b", u"c", u"d"}},
      {"the last account moves up", {u"a", u"b", u"c", u"d"}, u"d", {u"d", u"a", u"b", u"c"}},
      {"a fifth account pushes out the last", {u"a", u"b", u"c", u"d"}, u"e", {u"e", u"a", u"b", u"c"}},
      {"the first login", {u"", u"", u"", u""}, u"a", {u"a", u"", u"", u""}},
      {"the comparison is exact", {u"A@x", u"b", u"", u""}, u"a@x", {u"a@x", u"A@x", u"b", u""}},
      {"an account twice moves the first of them", {u"a", u"b", u"b", u"c"}, u"b", {u"b", u"a", u"b", u"c"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(zolfa::RememberAccount(c.before, c.account), c.after) << c.name;
  }
}

TEST(LoginSettingsTest, TheProgressTextCountsFourDotsAndStartsAgain) {
  std::u16string text;
  std::vector<std::string> shown;
  for (int tick = 0; tick < 7; ++tick) {
    text = zolfa::NextProgressText(text);
    shown.push_back(ce::ToUtf8(text));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"登入中", "登入中.", "登入中..", "登入中...", "登入中....",
                                             "登入中", "登入中."}));
  EXPECT_EQ(zolfa::NextProgressText(u"123456"), u"123456.");
  EXPECT_EQ(zolfa::NextProgressText(u"1234567"), u"登入中");
}

}  // namespace
