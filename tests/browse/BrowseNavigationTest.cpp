// The browse screen's navigation with a recording screen, a recording
// request queue and a recording core controller.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/BrowseNavigation.h"
#include "zolfa/browse/IndexGrid.h"

namespace zolfa {
namespace {

std::string U8(std::u16string_view text) { return ce::ToUtf8(text); }

struct Queued {
  int32_t kind;
  BrowseParameters p;
  int32_t id;
};

class FakeQueue : public IBrowseQueue {
 public:
  int32_t QueueBrowseRequest(int32_t kind, const BrowseParameters& parameters) override {
    queued.push_back(Queued{kind, parameters, nextId});
    return nextId++;
  }
  std::vector<Queued> queued;
  int32_t nextId = 100;
};

class FakeCore : public IScreenCore {
 public:
  void AddItemsToPlaylist(const std::vector<FeedItem>& list, bool playFirst,
                          bool replace) override {
    std::string titles;
    for (const FeedItem& item : list) titles += U8(item.title) + " ";
    log.push_back("AddItems(" + titles + "play=" + std::to_string(playFirst) +
                  " replace=" + std::to_string(replace) + ")");
  }
  void AddItemToPlaylist(const FeedItem& item, bool play) override {
    log.push_back("AddItem(" + U8(item.title) + " play=" + std::to_string(play) + ")");
  }
  void SaveAsPersonalPlaylist(std::u16string_view, const std::vector<FeedItem>&) override {}
  void SelectScreen(int32_t tab) override { log.push_back("SelectScreen(" + std::to_string(tab) + ")"); }
  bool OnCommand(uint32_t) override { return false; }
  int32_t CurrentTab() const override { return 1; }
  int32_t NowPlayingIndex() const override { return -1; }
  std::u16string NowPlayingLink() const override { return {}; }
  void ScreenWindowClosing(ce::HWND) override {}
  std::vector<std::string> log;
};

class RecordingScreen : public IBrowseScreen {
 public:
  void SetHeader(std::u16string_view title) override { header = title; }
  void SetStatus(std::u16string_view text) override { status = text; }
  void ClearList() override {
    rows.clear();
    noData = false;
  }
  void ShowItems(const std::vector<FeedItem>& items, bool multiple, bool dialogWidth) override {
    rows = items;
    multipleSelection = multiple;
    dialogWidthColumn = dialogWidth;
    noData = false;
  }
  void ShowNoData() override {
    rows.clear();
    noData = true;
  }
  void SelectAllRows() override { allSelected = true; }
  void FocusList() override {}
  void ShowMenuBar(uint32_t id) override { menuBar = id; }
  void SetBackButton(bool enabled) override { backEnabled = enabled; }
  void ShowModeButtons(BrowseMode shown) override { selectedMode = shown; }
  void EnableModeButtonsAndGrid() override {}
  void UseLayout(BrowseLayout l, int32_t table) override {
    layout = l;
    hiddenTableButton = table;
  }
  void FillIndexGrid(const std::vector<IndexGridEntry>& entries) override { grid = entries; }
  void DeselectIndexGrid() override { gridDeselected = true; }
  void StartTimer(uint32_t id, uint32_t period) override { timers[id] = period; }
  void StopTimer(uint32_t id) override { timers.erase(id); }
  std::vector<FeedItem> FetchFeed(std::u16string_view address) override {
    fetched.push_back(std::u16string(address));
    return feeds[std::u16string(address)];
  }

  std::u16string header, status;
  std::vector<FeedItem> rows;
  bool noData = false, multipleSelection = false, dialogWidthColumn = false, allSelected = false;
  uint32_t menuBar = 0;
  bool backEnabled = false;
  BrowseMode selectedMode = BrowseMode::kCatalogue;
  BrowseLayout layout = BrowseLayout::kPlain;
  int32_t hiddenTableButton = -1;
  std::vector<IndexGridEntry> grid;
  bool gridDeselected = false;
  std::map<uint32_t, uint32_t> timers;  // running timers and their periods
  std::vector<std::u16string> fetched;
  std::map<std::u16string, std::vector<FeedItem>> feeds;
};

std::vector<std::u16string> Titles(const std::vector<FeedItem>& items) {
  std::vector<std::u16string> titles;
  for (const FeedItem& item : items) titles.push_back(item.title);
  return titles;
}

class BrowseNavigationTest : public ::testing::Test {
 protected:
  // Answers the request last queued with folder items as the workers post
  // them (ParseListAnswer gives "folder"), then its end.
  void Answer(const std::vector<std::pair<std::u16string, std::u16string>>& items,
              int32_t id = 0) {
    if (id == 0) id = queue.queued.back().id;
    for (const auto& [title, link] : items) {
      nav.OnItem(id, std::make_unique<FeedItem>(FeedItem{title, link, u"folder"}));
    }
    nav.OnEnd(id);
  }

  // Genres, then the genre "流行" (link g1), then the index entry ㄌ.
  void ToArtists() {
    nav.ShowCatalogue();
    Answer({{u"流行", u"g1"}, {u"搖滾", u"g2"}});
    nav.TapRow(0);
    nav.ChooseIndexEntry(8);  // ㄌ
    Answer({{u"劉德華", u"a1"}, {u"林俊傑", u"a2"}});
  }

  RecordingScreen screen;
  FakeQueue queue;
  FakeCore core;
  BrowseNavigation nav{screen, queue, core};
};

TEST_F(BrowseNavigationTest, TheCataloguePathQueuesEachLevelWithItsParameters) {
  nav.ShowCatalogue();
  ASSERT_EQ(queue.queued.size(), 1u);
  EXPECT_EQ(queue.queued[0].kind, kBrowseGenreList);
  EXPECT_EQ(screen.header, u"音樂總覽");
  EXPECT_EQ(screen.status, u"連線中");
  EXPECT_EQ(screen.timers.count(kCatalogueTimer), 1u);
  Answer({{u"流行", u"g1"}, {u"搖滾", u"g2"}});
  EXPECT_EQ(screen.status, u"完成");
  EXPECT_TRUE(screen.timers.empty());
  EXPECT_EQ(Titles(screen.rows), (std::vector<std::u16string>{u"流行", u"搖滾"}));
  EXPECT_EQ(screen.menuBar, kMenuBarOther);
  EXPECT_FALSE(screen.backEnabled);

  // A genre shows the index grid and asks nothing yet.
  nav.TapRow(0);
  EXPECT_EQ(nav.Level(), kLevelIndex);
  EXPECT_EQ(queue.queued.size(), 1u);
  EXPECT_EQ(screen.layout, BrowseLayout::kIndex);
  EXPECT_EQ(screen.hiddenTableButton, 0);
  EXPECT_EQ(screen.grid.size(), 38u);
  EXPECT_EQ(screen.header, u"流行");
  EXPECT_TRUE(screen.backEnabled);

  // "合輯" is index 99, ㄌ index 8; artist and album are "0".
  nav.ChooseIndexEntry(0);
  Answer({});
  nav.ChooseIndexEntry(8);
  ASSERT_EQ(queue.queued.size(), 3u);
  const BrowseParameters& compilations = queue.queued[1].p;
  EXPECT_EQ(queue.queued[1].kind, kBrowseArtistList);
  EXPECT_EQ(compilations.index, u"99");
  const BrowseParameters& artists = queue.queued[2].p;
  EXPECT_EQ(std::vector<std::u16string>({artists.genre, artists.indexType, artists.index,
                                         artists.artist, artists.album, artists.typeId,
                                         artists.typeFunc, artists.typeNote}),
            std::vector<std::u16string>({u"g1", u"1", u"8", u"0", u"0", u"0", u"AUTH", u""}));
  Answer({{u"劉德華", u"a1"}, {u"林俊傑", u"a2"}});
  EXPECT_EQ(screen.rows[0].category, u"artist");
  EXPECT_TRUE(screen.dialogWidthColumn);
  EXPECT_EQ(nav.History(BrowseMode::kCatalogue).size(), 2u);

  nav.TapRow(1);
  EXPECT_EQ(nav.Level(), kLevelAlbums);
  EXPECT_EQ(screen.layout, BrowseLayout::kPlain);
  EXPECT_EQ(queue.queued[3].kind, kBrowseAlbumList);
  EXPECT_EQ(queue.queued[3].p.artist, u"a2");
  EXPECT_EQ(queue.queued[3].p.album, u"0");
  Answer({{u"專輯一", u"b1"}, {u"專輯二", u"b2"}});
  EXPECT_EQ(screen.rows[1].category, u"album");
  EXPECT_EQ(screen.menuBar, kMenuBarAlbums);
  EXPECT_EQ(screen.header, u"林俊傑");
  EXPECT_FALSE(screen.multipleSelection);

  nav.ActivateRow(0);
  EXPECT_EQ(queue.queued[4].kind, kBrowseSongList);
  EXPECT_EQ(queue.queued[4].p.album, u"b1");
  EXPECT_EQ(queue.queued[4].p.artist, u"a2");
  Answer({{u"歌一", u"301"}, {u"歌二", u"302"}});
  EXPECT_EQ(screen.rows[0].link, u"zolfa://play_song_301");
  EXPECT_EQ(screen.rows[0].category, u"song");
  EXPECT_EQ(screen.menuBar, kMenuBarSongs);
  EXPECT_TRUE(screen.multipleSelection);
  EXPECT_EQ(nav.History(BrowseMode::kCatalogue).size(), 4u);

  // On a song page a tap only selects; the action key plays the row.
  nav.TapRow(1);
  EXPECT_TRUE(core.log.empty());
  nav.ActivateRow(1);
  EXPECT_EQ(core.log, (std::vector<std::string>{"AddItem(歌二 play=1)"}));
}

TEST_F(BrowseNavigationTest, ASecondIndexEntryWhileTheFirstLoadsDropsTheFirstAnswer) {
  nav.ShowCatalogue();
  Answer({{u"流行", u"g1"}});
  nav.TapRow(0);
  nav.ChooseIndexEntry(8);
  const int32_t first = queue.queued.back().id;
  nav.OnItem(first, std::make_unique<FeedItem>(FeedItem{u"早到", u"a0", u"folder"}));
  nav.ChooseIndexEntry(9);
  const int32_t second = queue.queued.back().id;
  EXPECT_EQ(queue.queued.back().p.index, u"9");
  Answer({{u"遲到", u"a9"}}, first);
  EXPECT_TRUE(nav.Loading(BrowseMode::kCatalogue));
  Answer({{u"第二", u"a2"}}, second);
  EXPECT_EQ(Titles(screen.rows), (std::vector<std::u16string>{u"第二"}));
  ASSERT_EQ(nav.History(BrowseMode::kCatalogue).size(), 2u);
  EXPECT_EQ(Titles(nav.History(BrowseMode::kCatalogue)[0].items),
            (std::vector<std::u16string>{u"流行"}));
  // A third entry on the artist page replaces that page.
  nav.ChooseIndexEntry(10);
  Answer({{u"第三", u"a3"}});
  ASSERT_EQ(nav.History(BrowseMode::kCatalogue).size(), 2u);
  EXPECT_EQ(Titles(screen.rows), (std::vector<std::u16string>{u"第三"}));
}

TEST_F(BrowseNavigationTest, BackWhileAnAlbumListLoadsStopsAndDropsTheLateAnswer) {
  ToArtists();
  nav.TapRow(0);
  const int32_t albums = queue.queued.back().id;
  EXPECT_EQ(screen.timers.count(kCatalogueTimer), 1u);
  nav.Back();
  EXPECT_TRUE(screen.timers.empty());
  EXPECT_FALSE(nav.Loading(BrowseMode::kCatalogue));
  EXPECT_EQ(nav.Level(), kLevelArtists);
  EXPECT_EQ(screen.layout, BrowseLayout::kIndex);
  EXPECT_EQ(Titles(screen.rows), (std::vector<std::u16string>{u"劉德華", u"林俊傑"}));
  EXPECT_EQ(screen.status, u"");
  Answer({{u"遲到", u"b9"}}, albums);
  EXPECT_EQ(Titles(screen.rows), (std::vector<std::u16string>{u"劉德華", u"林俊傑"}));
  EXPECT_EQ(nav.History(BrowseMode::kCatalogue).size(), 2u);
  // Back to the genres, which forgets the genre; back again does nothing.
  nav.Back();
  EXPECT_EQ(nav.Level(), kLevelGenres);
  EXPECT_TRUE(screen.gridDeselected);
  EXPECT_EQ(screen.layout, BrowseLayout::kPlain);
  EXPECT_EQ(Titles(screen.rows), (std::vector<std::u16string>{u"流行", u"搖滾"}));
  EXPECT_FALSE(screen.backEnabled);
  nav.Back();
  EXPECT_EQ(nav.History(BrowseMode::kCatalogue).size(), 1u);
}

TEST_F(BrowseNavigationTest, AlbumCommandsAndPlayAllReachTheCurrentPlaylist) {
  ToArtists();
  nav.TapRow(0);
  Answer({{u"專輯一", u"b1"}, {u"專輯二", u"b2"}});
  // "播放專輯" on the row of the context menu: its songs replace the list and
  // the first plays.
  EXPECT_EQ(nav.ContextMenuFor(1), kContextMenuAlbum);
  nav.OpenAlbum(0, true);
  EXPECT_EQ(queue.queued.back().p.album, u"b2");
  Answer({{u"甲", u"1"}, {u"乙", u"2"}});
  EXPECT_EQ(core.log.back(), "AddItems(甲 乙 play=1 replace=1)");
  nav.Back();
  // "附加專輯到播放清單" on the selected row appends without playing.
  nav.OpenAlbum(0, false);
  EXPECT_EQ(queue.queued.back().p.album, u"b1");
  Answer({{u"丙", u"3"}});
  EXPECT_EQ(core.log.back(), "AddItems(丙 play=0 replace=0)");
  // Back while an album loads for play forgets the play.
  nav.Back();
  nav.OpenAlbum(0, true);
  nav.Back();
  EXPECT_FALSE(nav.PlayAfterLoad());
  nav.OpenAlbum(0, false);
  Answer({{u"丁", u"4"}, {u"戊", u"5"}});
  core.log.clear();
  // On the song page: "全部播放" plays every song, keeping the list's songs;
  // "附加至播放清單" appends the chosen rows in row order.
  nav.AddAllRows(true);
  EXPECT_TRUE(screen.allSelected);
  nav.AddRows({1, 0}, false);
  EXPECT_EQ(core.log, (std::vector<std::string>{"AddItems(丁 戊 play=1 replace=0)",
                                                "AddItems(戊 丁 play=0 replace=0)"}));
  EXPECT_EQ(nav.ContextMenuFor(0), kContextMenuSong);
}

TEST_F(BrowseNavigationTest, TopicFoldersFeedsAndEmptyPages) {
  nav.ShowTopic();
  ASSERT_EQ(queue.queued.size(), 1u);
  EXPECT_EQ(queue.queued[0].kind, kBrowseTopicPage);
  EXPECT_EQ(screen.header, u"音樂情報");
  EXPECT_EQ(screen.timers.count(kTopicTimer), 1u);
  EXPECT_EQ(screen.selectedMode, BrowseMode::kTopic);
  Answer({{u"新歌", u"t1"}, {u"排行", u"http://feeds.test/top.xml"}, {u"空", u"t3"}});
  EXPECT_FALSE(screen.backEnabled);

  nav.TapRow(0);
  EXPECT_EQ(queue.queued.back().kind, kBrowseTopicFolder);
  EXPECT_EQ(queue.queued.back().p.genre, u"t1");
  EXPECT_TRUE(screen.backEnabled);  // one page while loading
  nav.OnItem(queue.queued.back().id,
             std::make_unique<FeedItem>(FeedItem{u"曲", u"77", u"song"}));
  nav.OnEnd(queue.queued.back().id);
  EXPECT_EQ(screen.rows[0].link, u"zolfa://play_song_77");
  nav.Back();

  // A feed link opens the feed at once: no request, a page of its own that
  // back leaves again, and loading ended.
  screen.feeds[u"http://feeds.test/top.xml"] = {FeedItem{u"第一名", u"http://m/1.mp3", u""}};
  nav.TapRow(1);
  EXPECT_EQ(queue.queued.size(), 2u);
  EXPECT_EQ(screen.fetched, (std::vector<std::u16string>{u"http://feeds.test/top.xml"}));
  EXPECT_EQ(Titles(screen.rows), (std::vector<std::u16string>{u"第一名"}));
  EXPECT_EQ(screen.header, u"排行");
  EXPECT_FALSE(nav.Loading(BrowseMode::kTopic));
  EXPECT_TRUE(screen.timers.empty());
  EXPECT_EQ(nav.History(BrowseMode::kTopic).size(), 2u);
  nav.Back();
  EXPECT_EQ(Titles(screen.rows).size(), 3u);

  // An empty page: "無資料" and menu bar 180.
  nav.TapRow(2);
  Answer({});
  EXPECT_TRUE(screen.noData);
  EXPECT_EQ(screen.menuBar, kMenuBarOther);
}

TEST_F(BrowseNavigationTest, SwitchingModesRestoresEachModeWithoutANewRequest) {
  ToArtists();
  nav.TapRow(1);
  Answer({{u"專輯", u"b1"}});
  nav.ShowTopic();
  Answer({{u"新歌", u"t1"}});
  nav.TapRow(0);  // a topic folder loads while the catalogue is shown again
  const int32_t folder = queue.queued.back().id;
  const size_t requests = queue.queued.size();
  nav.ShowCatalogue();
  EXPECT_EQ(queue.queued.size(), requests);
  EXPECT_EQ(nav.Level(), kLevelAlbums);
  EXPECT_EQ(screen.layout, BrowseLayout::kPlain);
  EXPECT_EQ(Titles(screen.rows), (std::vector<std::u16string>{u"專輯"}));
  EXPECT_EQ(screen.selectedMode, BrowseMode::kCatalogue);
  // The topic answer completes its page without touching the screen.
  nav.OnTimer(kTopicTimer);
  Answer({{u"曲", u"9"}}, folder);
  EXPECT_EQ(Titles(screen.rows), (std::vector<std::u16string>{u"專輯"}));
  EXPECT_EQ(screen.status, u"");
  nav.ShowTopic();
  EXPECT_EQ(queue.queued.size(), requests);
  EXPECT_EQ(Titles(screen.rows), (std::vector<std::u16string>{u"曲"}));
  EXPECT_EQ(nav.SavedLevel(), kLevelAlbums);
}

TEST_F(BrowseNavigationTest, TheAnimationCountsDotsOnlyWhileItsModeIsShown) {
  nav.ShowCatalogue();
  std::vector<std::u16string> shown;
  for (int i = 0; i < 6; ++i) {
    nav.OnTimer(kCatalogueTimer);
    shown.push_back(screen.status);
  }
  EXPECT_EQ(shown, (std::vector<std::u16string>{u"連線中.", u"連線中..", u"連線中...",
                                                u"連線中....", u"連線中", u"連線中."}));
  EXPECT_EQ(screen.timers[kCatalogueTimer], 1000u);
  nav.ShowTopic();
  nav.OnTimer(kCatalogueTimer);
  EXPECT_EQ(screen.status, u"連線中");
}

TEST(IndexGridTest, EntriesStandInRowsOfFourWithThePhoneticBreaks) {
  auto at = [](const std::vector<IndexGridEntry>& grid, std::u16string_view text) {
    for (const IndexGridEntry& e : grid) {
      if (e.text == text) return std::pair<int, int>(e.x, e.y);
    }
    return std::pair<int, int>(-1, -1);
  };
  const auto phonetic = IndexGridLayout(0);
  ASSERT_EQ(phonetic.size(), 38u);
  const std::vector<std::pair<std::u16string_view, std::pair<int, int>>> expected = {
      {u"合輯", {0, 0}},  {u"ㄦ", {66, 0}},   {u"ㄅ", {0, 14}},   {u"ㄈ", {66, 14}},
      {u"ㄌ", {66, 28}},  {u"ㄏ", {44, 42}},  {u"ㄐ", {0, 56}},   {u"ㄒ", {44, 56}},
      {u"ㄓ", {0, 70}},   {u"ㄖ", {66, 70}},  {u"ㄙ", {44, 84}},  {u"ㄧ", {0, 98}},
      {u"ㄩ", {44, 98}},  {u"ㄚ", {0, 112}},  {u"ㄡ", {66, 126}}, {u"ㄥ", {66, 140}}};
  for (const auto& [text, point] : expected) EXPECT_EQ(at(phonetic, text), point) << U8(text);
  EXPECT_EQ(phonetic[22].text, u"ㄧ");

  const auto strokes = IndexGridLayout(1);
  ASSERT_EQ(strokes.size(), 41u);
  EXPECT_EQ(at(strokes, u"1"), (std::pair<int, int>(0, 14)));
  EXPECT_EQ(at(strokes, u"4"), (std::pair<int, int>(66, 14)));
  EXPECT_EQ(at(strokes, u"5"), (std::pair<int, int>(0, 28)));
  EXPECT_EQ(at(strokes, u"40"), (std::pair<int, int>(66, 140)));
  const auto letters = IndexGridLayout(2);
  ASSERT_EQ(letters.size(), 37u);
  EXPECT_EQ(at(letters, u"Z"), (std::pair<int, int>(22, 98)));
  EXPECT_EQ(at(letters, u"9"), (std::pair<int, int>(66, 126)));
  EXPECT_EQ(letters[0].x + letters[0].y, 0);
}

}  // namespace
}  // namespace zolfa
