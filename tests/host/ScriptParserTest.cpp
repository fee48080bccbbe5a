// Reading script lines: every action, its arguments, comments, and the
// errors that name their line.
#include <gtest/gtest.h>

#include "platform/base/MessageBox.h"
#include "platform/host/Keypad.h"
#include "platform/host/Script.h"
#include "platform/window/Keys.h"

namespace ce {
namespace {

ScriptStep ParseOne(std::string_view line) {
  std::optional<ScriptStep> step;
  ScriptError error;
  EXPECT_TRUE(ParseScriptLine(line, 1, &step, &error)) << line << ": " << error.message;
  EXPECT_TRUE(step.has_value()) << line;
  return step.value_or(ScriptStep{});
}

TEST(ScriptParserTest, TargetsOfTapAndHold) {
  ScriptStep bare = ParseOne("tap 1001");
  EXPECT_EQ(bare.verb, ScriptVerb::kTap);
  EXPECT_FALSE(bare.target.isPoint);
  EXPECT_EQ(bare.target.controlId, 1001);
  EXPECT_TRUE(bare.target.dialog.empty());

  ScriptStep named = ParseOne("  HOLD 135/1006   # the progress label");
  EXPECT_EQ(named.verb, ScriptVerb::kHold);
  EXPECT_EQ(named.target.dialog, u"135");
  EXPECT_EQ(named.target.controlId, 1006);
  EXPECT_EQ(named.source, "HOLD 135/1006");

  ScriptStep point = ParseOne("tap 120 300");
  EXPECT_TRUE(point.target.isPoint);
  EXPECT_EQ(point.target.point, (POINT{120, 300}));
}

TEST(ScriptParserTest, KeysTextsAndNumbers) {
  ScriptStep keys = ParseOne("key 1 star pound action Soft1 soft2 enter back up down left right");
  EXPECT_EQ(keys.keys, (std::vector<UINT>{'1', VK_TSTAR, VK_TPOUND, kVkAction, VK_TSOFT1, VK_TSOFT2,
                                          VK_RETURN, VK_BACK, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}));
  EXPECT_EQ(ParseOne("type user@example.com#2").text, "user@example.com#2");
  EXPECT_EQ(ParseOne("type 帳號 # a comment").text, "帳號");
  EXPECT_EQ(ParseOne("type \"  two # words \\\"quoted\\\"\"").text, "  two # words \"quoted\"");
  EXPECT_EQ(ParseOne("menu 32795").command, 32795u);
  EXPECT_EQ(ParseOne("wait 250").ms, 250u);
  EXPECT_EQ(ParseOne("shot out/login.png").text, "out/login.png");
  EXPECT_EQ(ParseOne("dump").verb, ScriptVerb::kDump);
  EXPECT_EQ(ParseOne("rotate").verb, ScriptVerb::kRotate);
  EXPECT_EQ(ParseOne("quit").verb, ScriptVerb::kQuit);

  struct Answer {
    const char* line;
    int answer;
  };
  for (Answer a : {Answer{"answer OK", IDOK}, Answer{"answer yes", IDYES}, Answer{"answer No", IDNO},
                   Answer{"answer CANCEL", IDCANCEL}}) {
    EXPECT_EQ(ParseOne(a.line).answer, a.answer) << a.line;
  }
}

TEST(ScriptParserTest, UntilTakesItsTimeOutOnlyAfterAQuotedText) {
  ScriptStep plain = ParseOne("until show 200");
  EXPECT_EQ(plain.text, "show 200");
  EXPECT_EQ(plain.ms, kDefaultUntilMs);
  ScriptStep quoted = ParseOne("until \"msgbox caption=\\\"ZOLFA\\\"\" 2500  # the failure box");
  EXPECT_EQ(quoted.text, "msgbox caption=\"ZOLFA\"");
  EXPECT_EQ(quoted.ms, 2500u);
}

TEST(ScriptParserTest, BlankAndCommentLinesAreNoSteps) {
  std::vector<ScriptStep> steps;
  ScriptError error;
  ASSERT_TRUE(ParseScript("# login\r\n\r\n   \ntap 1001\r\n  # done\nquit", &steps, &error));
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].line, 4);
  EXPECT_EQ(steps[1].line, 6);
}

TEST(ScriptParserTest, WrongLinesAreRefusedWithTheirLine) {
  struct Case {
    const char* line;
    const char* reason;
  };
  for (const Case& c : {Case{"tapp 1001", "unknown action"},
                        Case{"tap", "expected a control id"},
                        Case{"tap 1 2 3", "expected a control id"},
                        Case{"tap x", "control id"},
                        Case{"tap /1001", "template"},
                        Case{"tap 70000", "control id"},
                        Case{"tap -4 10", "point"},
                        Case{"key", "key names"},
                        Case{"key 1 hash", "unknown key \"hash\""},
                        Case{"type", "expected a text"},
                        Case{"menu", "command id"},
                        Case{"menu 0", "command id"},
                        Case{"answer MAYBE", "OK, YES, NO or CANCEL"},
                        Case{"wait soon", "time in ms"},
                        Case{"wait 99999999999", "time in ms"},
                        Case{"until \"open", "no closing quote"},
                        Case{"until \"a\" b", "time-out"},
                        Case{"until \"a\\q\"", "unknown escape"},
                        Case{"shot \"a.png\" 5", "unexpected words"},
                        Case{"dump now", "takes no arguments"}}) {
    std::vector<ScriptStep> steps;
    ScriptError error;
    std::string script = std::string("tap 1\n# fine\n") + c.line + "\nquit";
    EXPECT_FALSE(ParseScript(script, &steps, &error)) << c.line;
    EXPECT_EQ(error.line, 3) << c.line;
    EXPECT_NE(error.message.find(c.reason), std::string::npos) << c.line << ": " << error.message;
    EXPECT_EQ(steps.size(), 1u) << "the steps before the faulty line stay";
  }
}

}  // namespace
}  // namespace ce
