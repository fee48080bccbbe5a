#include <gtest/gtest.h>

#include <string>

#include "zolfa/service/FindTag.h"
#include "zolfa/service/LoginAnswer.h"

namespace {

using namespace zolfa;

TEST(FindTagTest, ReadsValuesInOrderAndMovesPastTheClosingTag) {
  std::u16string answer = u"<a>1</a><b>22</b><a>3</a>";
  TagCursor cursor(answer);
  TagValue a = FindTag(cursor, u"<a>", u"</a>");
  ASSERT_TRUE(a.HasValue());
  EXPECT_EQ(a.value, u"1");
  EXPECT_EQ(a.start, 3u);
  EXPECT_EQ(a.length, 1);
  EXPECT_EQ(cursor.position, 8u);
  EXPECT_EQ(FindTag(cursor, u"<b>", u"</b>").value, u"22");
  EXPECT_EQ(FindTag(cursor, u"<a>", u"</a>").value, u"3");
  // Nothing lies behind the cursor's position any more.
  EXPECT_FALSE(FindTag(cursor, u"<b>", u"</b>").found);
  EXPECT_EQ(cursor.position, answer.size());
}

TEST(FindTagTest, MissingOpeningTagLeavesTheCursor) {
  std::u16string answer = u"<b>2</b><a>1</a>";
  TagCursor cursor(answer);
  EXPECT_FALSE(FindTag(cursor, u"<c>", u"</c>").found);
  EXPECT_EQ(cursor.position, 0u);
  EXPECT_EQ(FindTag(cursor, u"<a>", u"</a>").value, u"1");
}

TEST(FindTagTest, MissingClosingTagMakesTheCursorAbsent) {
  std::u16string answer = u"<a>1<b>2</b>";
  TagCursor cursor(answer);
  EXPECT_FALSE(FindTag(cursor, u"<a>", u"</a>").found);
  EXPECT_TRUE(cursor.IsAbsent());
  EXPECT_FALSE(FindTag(cursor, u"<b>", u"</b>").found);
  EXPECT_TRUE(cursor.IsAbsent());
}

TEST(FindTagTest, ClosingTagIsSearchedFromTheCursorNotFromTheOpeningTag) {
  // The first "</a>" lies before "<a>": the length is negative and the
  // cursor moves past that earlier closing tag only.
  std::u16string answer = u"x</a>y<a>v</a>";
  TagCursor cursor(answer);
  TagValue first = FindTag(cursor, u"<a>", u"</a>");
  EXPECT_TRUE(first.found);
  EXPECT_FALSE(first.HasValue());
  EXPECT_EQ(first.length, 1 - 9);  // closing tag at 1, value start 9
  EXPECT_EQ(cursor.position, 5u);
  EXPECT_EQ(FindTag(cursor, u"<a>", u"</a>").value, u"v");
}

TEST(FindTagTest, EmptyValueAndCaseSensitivity) {
  std::u16string answer = u"<A>1</A><a></a>";
  TagCursor cursor(answer);
  TagValue empty = FindTag(cursor, u"<a>", u"</a>");
  EXPECT_TRUE(empty.found);
  EXPECT_EQ(empty.start, 11u);  // "<A>" does not match "<a>"
  EXPECT_EQ(empty.length, 0);
  EXPECT_FALSE(empty.HasValue());
}

TEST(FindTagTest, AnswerEndsAtItsFirstZero) {
  std::u16string answer(u"<a>1</a>\0<b>2</b>", 17);
  TagCursor cursor(answer);
  EXPECT_EQ(FindTag(cursor, u"<a>", u"</a>").value, u"1");
  EXPECT_FALSE(FindTag(cursor, u"<b>", u"</b>").found);
}

TEST(FindTagTest, TagNumberReadsLeadingDigits) {
  struct Case {
    std::u16string text;
    int32_t number;
  };
  const Case cases[] = {
      {u"80", 80},
      {u"-2", -2},
      {u" +7x", 7},
      {u"12abc", 12},
      {u"abc", 0},
      {u"-", 0},
      {u"2147483647", 2147483647},
      {u"99999999999", 2147483647},
      {u"-2147483648", -2147483647 - 1},
      {u"-99999999999", -2147483647 - 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TagNumber(c.text), c.number) << std::string(c.text.begin(), c.text.end());
  }
}

std::u16string FullAnswer() {
  return u"<sid>S1</sid><ds>d.test</ds><ds_port>81</ds_port><cs>c.test</cs>"
         u"<cs_port>82</cs_port><status>0</status><major_version>100</major_version>"
         u"<minor_version>13</minor_version><us>u.test</us><us_port>83</us_port>"
         u"<ps>p.test</ps><ps_port>84</ps_port><update_msg>U1</update_msg>"
         u"<update_msg2>U2</update_msg2><login_msg>L</login_msg><is>i.test</is>"
         u"<is_port>85</is_port><ss>s.test</ss><ss_port>86</ss_port>";
}

TEST(LoginAnswerTest, ReadsEveryElementInOrder) {
  LoginAnswer a = LoginAnswer::Parse(FullAnswer());
  std::u16string sid;
  ServerEndpoints servers;
  a.ApplyTo(sid, servers);
  LoginResult record;
  a.ApplyTo(record);
  EXPECT_EQ(sid, u"S1");
  EXPECT_EQ(servers.ds, u"d.test");
  EXPECT_EQ(servers.dsPort, 81);
  EXPECT_EQ(servers.cs, u"c.test");
  EXPECT_EQ(servers.csPort, 82);
  EXPECT_EQ(servers.us, u"u.test");
  EXPECT_EQ(servers.usPort, 83);
  EXPECT_EQ(servers.ps, u"p.test");
  EXPECT_EQ(servers.psPort, 84);
  EXPECT_EQ(servers.is, u"i.test");
  EXPECT_EQ(servers.isPort, 85);
  EXPECT_EQ(servers.ss, u"s.test");
  EXPECT_EQ(servers.ssPort, 86);
  EXPECT_EQ(record.status, 0);
  EXPECT_EQ(record.majorVersion, 100);
  EXPECT_EQ(record.minorVersion, 13);
  EXPECT_EQ(record.updateMessage, u"U1");
  EXPECT_EQ(record.updateMessage2, u"U2");
  EXPECT_EQ(record.loginMessage, u"L");
}

TEST(LoginAnswerTest, StatusBeforeSidIsLost) {
  // Looking for sid first carries the cursor past status and past what the
  // answer put before sid; the status then stays at 200, which the status
  // rule refuses.
  LoginAnswer a = LoginAnswer::Parse(
      u"<ds>d.test</ds><status>0</status><sid>S1</sid><cs>c.test</cs>"
      u"<major_version>100</major_version><ss>s.test</ss>");
  EXPECT_EQ(a.sid, u"S1");
  EXPECT_FALSE(a.ds);
  EXPECT_EQ(a.status, 200);
  EXPECT_EQ(a.cs, u"c.test");
  EXPECT_EQ(a.majorVersion, 100);
  EXPECT_EQ(a.ss, u"s.test");
}

TEST(LoginAnswerTest, OpeningDsWithoutClosingTagLeavesTheRestUnread) {
  LoginAnswer a = LoginAnswer::Parse(
      u"<sid>S1</sid><ds>d.test<status>0</status><major_version>100</major_version>"
      u"<ss>s.test</ss><ss_port>86</ss_port>");
  EXPECT_EQ(a.sid, u"S1");
  EXPECT_FALSE(a.ds);
  EXPECT_EQ(a.status, 200);
  EXPECT_EQ(a.majorVersion, 0);
  EXPECT_FALSE(a.ss);
  EXPECT_FALSE(a.ssPort);
}

TEST(LoginAnswerTest, MissingElementsKeepTheSessionFields) {
  LoginAnswer a = LoginAnswer::Parse(u"<sid></sid><cs>new.test</cs>");
  EXPECT_EQ(a.status, 200);
  std::u16string sid = u"old";
  ServerEndpoints servers;
  servers.ds = u"d.old";
  servers.dsPort = 8080;
  a.ApplyTo(sid, servers);
  EXPECT_EQ(sid, u"old");  // empty values are ignored
  EXPECT_EQ(servers.ds, u"d.old");
  EXPECT_EQ(servers.dsPort, 8080);
  EXPECT_EQ(servers.cs, u"new.test");
}

TEST(LoginAnswerTest, OverlongValuesAreCutToTheirFields) {
  std::u16string longSid(100, u'x');
  std::u16string longHost(300, u'h');
  // A surrogate pair straddling the limit is dropped whole.
  std::u16string pairHost = std::u16string(254, u'h') + u"\U0001F600";
  LoginAnswer a = LoginAnswer::Parse(u"<sid>" + longSid + u"</sid><ds>" + longHost + u"</ds><cs>" +
                                     pairHost + u"</cs>");
  EXPECT_EQ(a.sid, std::u16string(64, u'x'));
  EXPECT_EQ(a.ds, std::u16string(255, u'h'));
  EXPECT_EQ(a.cs, std::u16string(254, u'h'));
}

}  // namespace
