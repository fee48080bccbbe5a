// The navigation of the browse screen, without its window: the catalogue
// ("音樂總覽": genres, index entry, artists, albums, songs) and the topic
// pages ("音樂情報": folders within folders, ending in tracks or feeds), each
// with its page history, the outstanding request of each mode, the loading
// animations, and the additions to the current playlist.
//
// The top page of a history is the page on screen. A request answers item
// by item; only the outstanding request of a mode is heard, so an answer
// that was abandoned (back, a newer index entry) is dropped. A feed page of
// topic mode, fetched at once, joins the topic history like a completed
// topic request: back returns to the folder that linked it.
//
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "zolfa/browse/FeedItem.h"
#include "zolfa/browse/IBrowseQueue.h"
#include "zolfa/browse/IBrowseScreen.h"
#include "zolfa/browse/IScreenCore.h"

namespace zolfa {

// Menu bars of the browse screen, chosen by the first item of the page.
constexpr uint32_t kMenuBarAlbums = 166;
constexpr uint32_t kMenuBarSongs = 167;
constexpr uint32_t kMenuBarOther = 180;
// Context menus on an album row and on a song row.
constexpr uint32_t kContextMenuAlbum = 181;
constexpr uint32_t kContextMenuSong = 173;

// Animation timers, every kAnimationPeriodMs.
constexpr uint32_t kCatalogueTimer = 2;
constexpr uint32_t kTopicTimer = 3;
constexpr uint32_t kAnimationPeriodMs = 1000;

inline constexpr char16_t kCatalogueTitle[] = u"音樂總覽";
inline constexpr char16_t kTopicTitle[] = u"音樂情報";
inline constexpr char16_t kStatusLoading[] = u"連線中";
inline constexpr char16_t kStatusDone[] = u"完成";
inline constexpr char16_t kStatusStopped[] = u"停止";

// Catalogue levels; kLevelTopic while topic mode is shown.
constexpr int32_t kLevelTopic = -1;
constexpr int32_t kLevelGenres = 0;
constexpr int32_t kLevelIndex = 1;  // a genre chosen, no index entry yet
constexpr int32_t kLevelArtists = 3;
constexpr int32_t kLevelAlbums = 4;
constexpr int32_t kLevelSongs = 5;

struct BrowsePage {
  std::u16string title;
  std::vector<FeedItem> items;
};

class BrowseNavigation {
 public:
  BrowseNavigation(IBrowseScreen& screen, IBrowseQueue& queue, IScreenCore& core);
  BrowseNavigation(const BrowseNavigation&) = delete;
  BrowseNavigation& operator=(const BrowseNavigation&) = delete;

  // The mode buttons (1027, 1026).
  void ShowCatalogue();
  void ShowTopic();
  // Index buttons (1035 to 1037) and entries of the grid (1038).
  void ChooseIndexTable(int32_t table);
  void ChooseIndexEntry(int32_t position);
  // A tap on a row: opens it on pages of one selection; on a song page the
  // tap only changes the selection.
  void TapRow(int32_t row);
  // The action key on the selected row: opens it on every page.
  void ActivateRow(int32_t row);
  // The context menu for a row (kContextMenuAlbum, kContextMenuSong, or 0
  // for none); the row becomes the menu target.
  uint32_t ContextMenuFor(int32_t row);
  // "播放專輯" / "附加專輯到播放清單": opens the menu target, else
  // firstSelected, and plays or appends its songs once they arrive.
  void OpenAlbum(int32_t firstSelected, bool play);
  // "播放歌曲" / "附加至播放清單" on the chosen rows, in row order; "全部播放" /
  // "全部附加至播放清單" choose every row first.
  void AddRows(const std::vector<int32_t>& rows, bool play);
  void AddAllRows(bool play);
  // The back button, and the left-arrow key while the button is enabled.
  void Back();

  // Notifications of the browse requests; the item is owned from here.
  void OnItem(int32_t requestId, std::unique_ptr<FeedItem> item);
  void OnEnd(int32_t requestId);
  void OnTimer(uint32_t timerId);

  BrowseMode Mode() const { return mode_; }
  int32_t Level() const { return level_; }
  int32_t SavedLevel() const { return savedLevel_; }
  int32_t IndexTable() const { return indexTable_; }
  bool Loading(BrowseMode mode) const { return State(mode).loading; }
  int32_t Outstanding(BrowseMode mode) const { return State(mode).outstanding; }
  const std::vector<BrowsePage>& History(BrowseMode mode) const { return State(mode).history; }
  const std::vector<FeedItem>& ShownItems() const { return shownItems_; }
  bool BackEnabled() const;
  bool PlayAfterLoad() const { return playAfterLoad_; }
  bool AppendAfterLoad() const { return appendAfterLoad_; }

 private:
  struct ModeState {
    int32_t outstanding = -1;
    bool loading = false;
    int32_t counter = 0;
    std::vector<FeedItem> received;
    std::u16string pendingTitle;
    std::vector<BrowsePage> history;
  };

  ModeState& State(BrowseMode mode) { return mode == BrowseMode::kTopic ? topic_ : catalogue_; }
  const ModeState& State(BrowseMode mode) const {
    return mode == BrowseMode::kTopic ? topic_ : catalogue_;
  }
  static uint32_t TimerOf(BrowseMode mode) {
    return mode == BrowseMode::kTopic ? kTopicTimer : kCatalogueTimer;
  }
  static bool RootMissing(const ModeState& state);

  void Open(const FeedItem& item);
  void OpenTopicFolder(const FeedItem& item);
  void OpenFeed(const FeedItem& item);
  // Ends the outstanding request of mode with the items received: the page
  // joins the history and is shown when its mode is.
  void CompletePage(BrowseMode mode);
  void DisplayTop(BrowseMode mode);
  void ClearList();
  void UseLayoutOfLevel();
  void StartAnimation(BrowseMode mode);
  void StopAnimation(BrowseMode mode);
  void SetStatus(std::u16string_view status);
  int32_t Queue(int32_t kind, const BrowseParameters& parameters);
  bool ValidRow(int32_t row) const {
    return row >= 0 && row < static_cast<int32_t>(shownItems_.size());
  }

  IBrowseScreen& screen_;
  IBrowseQueue& queue_;
  IScreenCore& core_;

  BrowseMode mode_ = BrowseMode::kCatalogue;
  int32_t level_ = kLevelTopic;
  int32_t savedLevel_ = kLevelTopic;
  int32_t indexTable_ = 0;
  // The choices of the catalogue path.
  std::u16string genre_;
  std::u16string indexType_;
  std::u16string index_;
  std::u16string artist_;
  std::u16string album_;

  ModeState catalogue_;
  ModeState topic_;
  std::vector<FeedItem> shownItems_;
  int32_t menuTarget_ = -1;
  bool playAfterLoad_ = false;
  bool appendAfterLoad_ = false;
};

}  // namespace zolfa
