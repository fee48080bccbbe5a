// Rows and icons of list controls as script targets, and the rows a dump
// lists: a report list longer than its place and an icon grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Button.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Resources.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/ListView.h"
#include "platform/host/Host.h"
#include "platform/shell/ShellDialogs.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"

namespace ce::testing {
namespace {

constexpr UINT kListDialog = 400;
constexpr int kSongs = 1057;
constexpr int kIndex = 1061;
constexpr int kButton = 1001;

void RegisterListDialog() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterResources(u"", [](ResourceSet& set) {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_VISIBLE;
    dialog.cx = 160;
    dialog.cy = 178;
    auto add = [&](const char16_t* cls, int id, DWORD style, int x, int y, int cx, int cy) {
      dialog.items.push_back(DialogItemTemplate{cls, u"", id, WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy});
    };
    add(WC_LISTVIEW, kSongs, LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL, 0, 0, 160, 80);
    add(WC_LISTVIEW, kIndex, LVS_ICON | LVS_SINGLESEL, 0, 84, 160, 60);
    add(WC_BUTTON, kButton, BS_PUSHBUTTON, 4, 150, 40, 14);
    set.AddDialog(kListDialog, dialog);
  });
}

class ListDialog : public Dialog {
 public:
  static constexpr UINT_PTR kLateRowTimer = 7;
  static constexpr UINT kLateRowMs = 150;

  ListDialog() : Dialog(kListDialog) {}

 protected:
  BOOL OnInitDialog() override {
    SHINITDLGINFO info{SHIDIM_FLAGS, Handle(), SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    songs_.SubclassDlgItem(kSongs, Handle());
    songs_.InsertColumn(0, u"", 150);
    songs_.InsertColumn(1, u"", 60);
    for (int i = 0; i < 20; ++i) {
      songs_.InsertItem(i, u"歌曲 " + std::u16string(1, static_cast<char16_t>(u'A' + i)));
      songs_.SetItemText(i, 1, u"歌手");
    }
    index_.SubclassDlgItem(kIndex, Handle());
    int next = 0;
    for (const char16_t* entry : {u"ㄅ", u"ㄆ", u"ㄇ", u"ㄈ", u"ㄉ", u"ㄊ"}) index_.InsertItem(next++, entry);
    // One more song arrives later, as an answer would.
    SetTimer(kLateRowTimer, kLateRowMs);
    return TRUE;
  }

  void OnTimer(UINT_PTR id) override {
    if (id != kLateRowTimer) return Dialog::OnTimer(id);
    KillTimer(kLateRowTimer);
    songs_.InsertItem(20, u"晚到的歌");
    SetDlgItemText(Handle(), kButton, u"晚到了");
  }

 private:
  ListView songs_;
  ListView index_;
};

class ListTargetTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterListDialog(); }

  // Runs the script against the dialog; returns the failure ("" when it
  // succeeded). The transcript's lines are kept.
  std::string Drive(const std::string& script) {
    HostOptions options;
    options.headless = true;
    std::string error;
    std::unique_ptr<Host> host = Host::Start(options, &error);
    if (host == nullptr) return "no host: " + error;
    ListDialog dialog;
    EXPECT_TRUE(dialog.Create());
    ScriptError problem;
    EXPECT_TRUE(host->Script().Load(script, &problem)) << problem.message;
    host->RunScriptToEnd(5000);
    PumpUntilIdle();
    auto firstSelected = [&](int id) {
      return static_cast<int>(SendMessage(dialog.GetDlgItem(id), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                          LVNI_SELECTED));
    };
    selectedSong_ = firstSelected(kSongs);
    selectedIndex_ = firstSelected(kIndex);
    std::string failure = host->Script().Failure();
    lines_ = host->GetTranscript().Lines();
    dialog.DestroyWindow();
    host.reset();
    PumpUntilIdle();
    return failure;
  }

  std::vector<std::string> LinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : lines_) {
      if (line.rfind(prefix, 0) == 0) found.push_back(line);
    }
    return found;
  }

  TempDeviceRoot root_;
  std::vector<std::string> lines_;
  int selectedSong_ = -1;
  int selectedIndex_ = -1;
};

TEST_F(ListTargetTest, ARowAndAnIconAreTappedAndADumpListsTheVisibleRows) {
  ASSERT_EQ(Drive("tap 400/1057 row 2\ntap 1061 item 4\ndump\n"), "");
  EXPECT_EQ(selectedSong_, 2);
  EXPECT_EQ(selectedIndex_, 4);
  std::vector<std::string> rows = LinesStartingWith("row ");
  ASSERT_GE(rows.size(), 3u);
  EXPECT_LT(rows.size(), 20u) << "only the rows on the screen";
  EXPECT_EQ(rows[0], "row 400/1057 0 \"歌曲 A\" \"歌手\"");
  EXPECT_EQ(rows[2], "row 400/1057 2 \"歌曲 C\" \"歌手\" selected");
  std::vector<std::string> items = LinesStartingWith("item ");
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[4], "item 400/1061 4 \"ㄉ\" selected");
}

TEST_F(ListTargetTest, AwaitRunsUntilTheListHoldsTheEntry) {
  // Row 20 arrives after a while; rows out of sight count.
  ASSERT_EQ(Drive("await 400/1057 row 20\nawait 1061 item 5 0\n"), "");
  std::string failure = Drive("await 1057 row 21 300\n");
  EXPECT_NE(failure.find("list 1057 has no row 21 (it has 21) after 300 ms"), std::string::npos) << failure;
  EXPECT_EQ(Drive("await text 晚到\n"), "") << "the button's new caption shows once the row is in";
  failure = Drive("await text \"不存在\" 100\n");
  EXPECT_NE(failure.find("the screen did not show \"不存在\" within 100 ms"), std::string::npos) << failure;
  ScriptError problem;
  std::optional<ScriptStep> step;
  EXPECT_FALSE(ParseScriptLine("await 1057", 1, &step, &problem));
  EXPECT_FALSE(ParseScriptLine("await text", 1, &step, &problem));
  EXPECT_FALSE(ParseScriptLine("await 1057 row 1 soon", 1, &step, &problem));
}

TEST_F(ListTargetTest, AnEntryThatCannotBeTappedFailsTheLineAndSaysWhy) {
  struct Case {
    const char* line;
    const char* failure;
  };
  const Case cases[] = {
      {"tap 1057 row 20", "list 1057 has no row 20 (it has 20)"},
      {"tap 1057 row 19", "row 19 of list 1057 is not on the screen"},
      {"tap 1057 item 0", "list 1057 shows rows: name a row"},
      {"hold 1061 row 0", "list 1061 shows icons: name an item"},
      {"tap 1001 row 0", "control 1001 is not a list"},
  };
  for (const Case& c : cases) {
    std::string failure = Drive(std::string(c.line) + "\n");
    EXPECT_NE(failure.find(c.failure), std::string::npos) << c.line << ": " << failure;
  }
  ScriptError problem;
  std::optional<ScriptStep> step;
  EXPECT_FALSE(ParseScriptLine("tap 1057 row x", 1, &step, &problem));
  EXPECT_EQ(problem.message, "expected the number of the row (from 0)");
}

}  // namespace
}  // namespace ce::testing
