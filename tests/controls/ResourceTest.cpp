// Resource scripts, compiled-in resources and resource files loaded as data.
#include <gtest/gtest.h>

#include "platform/controls/Menus.h"
#include "platform/controls/ResourceScript.h"
#include "platform/controls/Resources.h"
#include "platform/gdi/Image.h"
#include "platform/testing/TestSupport.h"

namespace ce {
namespace {

TEST(ResourceScriptTest, ReadsTemplatesMenusStringsAndImages) {
  constexpr char kScript[] = R"(# a comment
STRINGTABLE
BEGIN
  101 "Connect \"alert\"\n"
END
IMAGE WideBmp "wide.png"
DIALOG 102 0 0 160 100
STYLE WS_CHILD | DS_CONTROL
BEGIN
  CONTROL "Check", 1001, BUTTON, BS_AUTOCHECKBOX | WS_TABSTOP | NOT WS_VISIBLE, 5, 6, 70, 12
  LTEXT "Label", IDC_STATIC, 5, 20, 70, 10
END
)";
  ResourceSet set;
  auto reader = [](std::string_view name, std::vector<uint8_t>* bytes) {
    if (name != "wide.png") return false;
    *bytes = {1, 2, 3};
    return true;
  };
  ASSERT_FALSE(ParseResourceScript(kScript, reader, &set).has_value());
  EXPECT_EQ(*set.String(101), u"Connect \"alert\"\n");
  ASSERT_NE(set.Image(u"widebmp"), nullptr);
  EXPECT_EQ(set.Image(u"WIDEBMP")->size(), 3u);
  const DialogTemplate* dialog = set.Dialog(102);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->style, WS_CHILD | 0x0400u);
  ASSERT_EQ(dialog->items.size(), 2u);
  EXPECT_EQ(dialog->items[0].style, WS_CHILD | 0x0003u | WS_TABSTOP);
  EXPECT_EQ(dialog->items[0].x, 5);
  EXPECT_EQ(dialog->items[0].cy, 12);
  EXPECT_EQ(dialog->items[1].id, -1);
  EXPECT_EQ(dialog->items[1].className, u"STATIC");
}

TEST(ResourceScriptTest, ErrorsNameTheirLineAndKeepEarlierStatements) {
  struct Case {
    const char* script;
    int line;
  };
  const Case kCases[] = {
      {"STRINGTABLE\nBEGIN\n  1 \"a\"\nEND\nMENU 5\nBEGIN\n  MENUITEM \"x\" BADNAME\nEND\n", 7},
      {"STRINGTABLE\nBEGIN\n  1 \"unterminated\nEND\n", 3},
      {"DIALOG 1 0 0 99999 10\nBEGIN\nEND\n", 1},
      {"IMAGE 3 \"missing.png\"\n", 1},
      {"WHAT 1\n", 1},
      {"MENU 1\nBEGIN\n  POPUP \"p\"\n  BEGIN\n", 4},
  };
  for (const Case& c : kCases) {
    ResourceSet set;
    auto error = ParseResourceScript(c.script, nullptr, &set);
    ASSERT_TRUE(error.has_value()) << c.script;
    EXPECT_EQ(error->line, c.line) << c.script << ": " << error->message;
  }
  ResourceSet set;
  ParseResourceScript(kCases[0].script, nullptr, &set);
  EXPECT_NE(set.String(1), nullptr);
  EXPECT_EQ(set.Menu(5), nullptr);
}

TEST(ResourceModuleTest, DataFileFallsBackToTheModulesOwnResources) {
  testing::TempDeviceRoot root;
  RegisterResources(u"Sample.dll", [](ResourceSet& set) {
    set.AddString(101, u"own title");
    set.AddString(102, u"own only");
  });
  HINSTANCE own = GetModuleResources(u"Sample.dll");
  ASSERT_NE(own, nullptr);
  root.WriteDeviceBytes(u"\\windows\\Sample.dll.0404.mui", "STRINGTABLE\nBEGIN\n  101 \"標題\"\nEND\n");
  HINSTANCE language = LoadResourceFile(u"\\windows\\Sample.dll.0404.mui", own);
  ASSERT_NE(language, nullptr);
  EXPECT_EQ(LoadStringText(language, 101), u"標題");
  EXPECT_EQ(LoadStringText(language, 102), u"own only");
  char16_t buffer[4];
  EXPECT_EQ(LoadString(language, 101, buffer, 2), 1);
  EXPECT_EQ(std::u16string(buffer), u"標");
  EXPECT_TRUE(FreeResourceFile(language));
  EXPECT_FALSE(FreeResourceFile(own));  // compiled-in modules stay
  EXPECT_EQ(LoadResourceFile(u"\\windows\\Missing.mui", own), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  root.WriteDeviceBytes(u"\\windows\\Bad.mui", "STRINGTABLE\nBEGIN\n 1 2\n");
  EXPECT_EQ(LoadResourceFile(u"\\windows\\Bad.mui", own), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}

}  // namespace
}  // namespace ce
