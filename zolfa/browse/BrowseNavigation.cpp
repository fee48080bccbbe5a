#include "zolfa/browse/BrowseNavigation.h"

#include <utility>

#include "zolfa/browse/BrowseIndexTables.h"
#include "zolfa/browse/BrowseKind.h"
#include "zolfa/browse/BrowseRequestParameters.h"
#include "zolfa/browse/IndexGrid.h"

namespace zolfa {

namespace {

constexpr std::u16string_view kFeedPrefix = u"http://";
constexpr int kMaxDots = 5;

bool FirstIs(const std::vector<FeedItem>& items, std::u16string_view category) {
  return !items.empty() && items.front().category == category;
}

uint32_t MenuBarFor(const std::vector<FeedItem>& items) {
  if (FirstIs(items, kCategoryAlbum)) return kMenuBarAlbums;
  if (FirstIs(items, kCategorySong)) return kMenuBarSongs;
  return kMenuBarOther;
}

}  // namespace

BrowseNavigation::BrowseNavigation(IBrowseScreen& screen, IBrowseQueue& queue, IScreenCore& core)
    : screen_(screen), queue_(queue), core_(core) {}

bool BrowseNavigation::RootMissing(const ModeState& state) {
  return state.history.empty() || (state.history.size() == 1 && state.history[0].items.empty());
}

void BrowseNavigation::ShowCatalogue() {
  if (mode_ == BrowseMode::kCatalogue && catalogue_.loading) return;
  const bool fromTopic = mode_ == BrowseMode::kTopic;
  mode_ = BrowseMode::kCatalogue;
  screen_.ShowModeButtons(mode_);
  if (RootMissing(catalogue_)) {
    StartAnimation(BrowseMode::kCatalogue);
    catalogue_.pendingTitle = kCatalogueTitle;
    screen_.SetHeader(kCatalogueTitle);
    ClearList();
    catalogue_.history.clear();
    catalogue_.received.clear();
    level_ = kLevelGenres;
    UseLayoutOfLevel();
    screen_.ShowMenuBar(kMenuBarOther);
    screen_.SetBackButton(BackEnabled());
    catalogue_.outstanding = Queue(kBrowseGenreList, GenreListParameters());
    return;
  }
  if (fromTopic) level_ = savedLevel_;
  UseLayoutOfLevel();
  if (level_ == kLevelIndex) {
    StopAnimation(BrowseMode::kCatalogue);
    screen_.SetHeader(kCatalogueTitle);
    ClearList();
    screen_.ShowMenuBar(kMenuBarOther);
    screen_.SetBackButton(BackEnabled());
  } else if (catalogue_.loading) {
    screen_.SetHeader(catalogue_.pendingTitle);
    SetStatus(kStatusLoading);
    ClearList();
    screen_.SetBackButton(BackEnabled());
  } else {
    SetStatus(u"");
    DisplayTop(BrowseMode::kCatalogue);
  }
}

void BrowseNavigation::ShowTopic() {
  if (mode_ == BrowseMode::kTopic && topic_.loading) return;
  if (mode_ != BrowseMode::kTopic) savedLevel_ = level_;
  mode_ = BrowseMode::kTopic;
  level_ = kLevelTopic;
  screen_.ShowModeButtons(mode_);
  UseLayoutOfLevel();
  if (RootMissing(topic_)) {
    StartAnimation(BrowseMode::kTopic);
    topic_.pendingTitle = kTopicTitle;
    screen_.SetHeader(kTopicTitle);
    topic_.history.clear();
    topic_.received.clear();
    ClearList();
    screen_.ShowMenuBar(kMenuBarOther);
    screen_.SetBackButton(BackEnabled());
    topic_.outstanding = Queue(kBrowseTopicPage, TopicPageParameters());
  } else if (topic_.loading) {
    screen_.SetHeader(topic_.pendingTitle);
    SetStatus(kStatusLoading);
    ClearList();
    screen_.SetBackButton(BackEnabled());
  } else {
    SetStatus(u"");
    DisplayTop(BrowseMode::kTopic);
  }
}

void BrowseNavigation::ChooseIndexTable(int32_t table) {
  if (table < 0 || table >= kIndexTableCount) return;
  indexTable_ = table;
  screen_.FillIndexGrid(IndexGridLayout(table));
  if (mode_ == BrowseMode::kCatalogue && (level_ == kLevelIndex || level_ == kLevelArtists)) {
    screen_.UseLayout(BrowseLayout::kIndex, indexTable_);
  }
}

void BrowseNavigation::ChooseIndexEntry(int32_t position) {
  if (mode_ != BrowseMode::kCatalogue || (level_ != kLevelIndex && level_ != kLevelArtists)) return;
  if (position < 0 || position >= static_cast<int32_t>(IndexTableEntries(indexTable_).size())) {
    return;
  }
  // What the earlier artist list delivered so far is dropped, and its late
  // answer finds its request no longer outstanding.
  if (catalogue_.loading) catalogue_.received.clear();
  StartAnimation(BrowseMode::kCatalogue);
  IndexQuery query = IndexQueryOf(indexTable_, position);
  indexType_ = std::move(query.indexType);
  index_ = std::move(query.index);
  if (level_ == kLevelArtists && catalogue_.history.size() > 1) catalogue_.history.pop_back();
  level_ = kLevelArtists;
  ClearList();
  screen_.SetBackButton(BackEnabled());
  catalogue_.outstanding =
      Queue(kBrowseArtistList, ArtistListParameters(genre_, indexType_, index_));
}

void BrowseNavigation::TapRow(int32_t row) {
  if (!ValidRow(row)) return;
  if (FirstIs(shownItems_, kCategorySong)) return;  // the tap only selects
  FeedItem item = shownItems_[row];
  Open(item);
}

void BrowseNavigation::ActivateRow(int32_t row) {
  if (!ValidRow(row)) return;
  FeedItem item = shownItems_[row];
  Open(item);
}

uint32_t BrowseNavigation::ContextMenuFor(int32_t row) {
  if (!ValidRow(row)) return 0;
  const std::u16string& category = shownItems_[row].category;
  if (category == kCategoryAlbum) {
    menuTarget_ = row;
    return kContextMenuAlbum;
  }
  if (category == kCategorySong) {
    menuTarget_ = row;
    return kContextMenuSong;
  }
  return 0;
}

void BrowseNavigation::OpenAlbum(int32_t firstSelected, bool play) {
  int32_t row = menuTarget_ >= 0 ? menuTarget_ : firstSelected;
  menuTarget_ = -1;
  if (!ValidRow(row)) return;
  FeedItem item = shownItems_[row];
  Open(item);
  if (play) {
    playAfterLoad_ = true;
  } else {
    appendAfterLoad_ = true;
  }
}

void BrowseNavigation::AddRows(const std::vector<int32_t>& rows, bool play) {
  menuTarget_ = -1;
  std::vector<FeedItem> items;
  for (int32_t row : rows) {
    if (ValidRow(row)) items.push_back(shownItems_[row]);
  }
  core_.AddItemsToPlaylist(items, play, false);
}

void BrowseNavigation::AddAllRows(bool play) {
  screen_.SelectAllRows();
  std::vector<int32_t> rows;
  for (int32_t row = 0; row < static_cast<int32_t>(shownItems_.size()); ++row) rows.push_back(row);
  AddRows(rows, play);
}

void BrowseNavigation::Open(const FeedItem& item) {
  if (item.link.empty()) return;
  if (IsPlayable(item)) {
    core_.AddItemToPlaylist(item, true);
    return;
  }
  ModeState& state = State(mode_);
  state.pendingTitle = item.title;
  screen_.SetHeader(item.title);
  if (mode_ == BrowseMode::kTopic) {
    OpenTopicFolder(item);
    return;
  }
  switch (level_) {
    case kLevelGenres:
      genre_ = item.link;
      ClearList();
      level_ = kLevelIndex;
      UseLayoutOfLevel();
      screen_.FillIndexGrid(IndexGridLayout(indexTable_));
      screen_.ShowMenuBar(kMenuBarOther);
      screen_.SetBackButton(BackEnabled());
      break;
    case kLevelArtists:
      artist_ = item.link;
      level_ = kLevelAlbums;
      UseLayoutOfLevel();
      StartAnimation(BrowseMode::kCatalogue);
      ClearList();
      screen_.SetBackButton(BackEnabled());
      catalogue_.outstanding =
          Queue(kBrowseAlbumList, AlbumListParameters(genre_, indexType_, index_, artist_));
      break;
    case kLevelAlbums:
      album_ = item.link;
      level_ = kLevelSongs;
      StartAnimation(BrowseMode::kCatalogue);
      ClearList();
      screen_.SetBackButton(BackEnabled());
      catalogue_.outstanding = Queue(kBrowseSongList, SongListParameters(genre_, indexType_, index_,
                                                                         artist_, album_));
      break;
    default:
      break;
  }
}

void BrowseNavigation::OpenTopicFolder(const FeedItem& item) {
  StartAnimation(BrowseMode::kTopic);
  ClearList();
  if (item.link.compare(0, kFeedPrefix.size(), kFeedPrefix) == 0) {
    OpenFeed(item);
    return;
  }
  screen_.SetBackButton(BackEnabled());
  topic_.outstanding = Queue(kBrowseTopicFolder, TopicFolderParameters(item.link));
}

void BrowseNavigation::OpenFeed(const FeedItem& item) {
  // The feed is read at once, so nothing else may still answer for topic
  // mode: an earlier folder request is forgotten, and the feed page ends the
  // loading as a completed request does.
  topic_.outstanding = -1;
  topic_.received = screen_.FetchFeed(item.link);
  CompletePage(BrowseMode::kTopic);
}

void BrowseNavigation::OnItem(int32_t requestId, std::unique_ptr<FeedItem> item) {
  if (item == nullptr || requestId <= 0) return;
  if (requestId == catalogue_.outstanding) {
    const int32_t level = mode_ == BrowseMode::kCatalogue ? level_ : savedLevel_;
    if (level == kLevelSongs) {
      item->link = std::u16string(kPlaySongPrefix) + item->link;
      item->category = kCategorySong;
    } else if (level == kLevelAlbums) {
      item->category = kCategoryAlbum;
    } else if (level == kLevelArtists) {
      item->category = kCategoryArtist;
    }
    catalogue_.received.push_back(std::move(*item));
  } else if (requestId == topic_.outstanding) {
    if (item->category == kCategorySong) item->link = std::u16string(kPlaySongPrefix) + item->link;
    topic_.received.push_back(std::move(*item));
  }
}

void BrowseNavigation::OnEnd(int32_t requestId) {
  if (requestId <= 0) return;
  if (requestId == catalogue_.outstanding) {
    CompletePage(BrowseMode::kCatalogue);
  } else if (requestId == topic_.outstanding) {
    CompletePage(BrowseMode::kTopic);
  }
}

void BrowseNavigation::CompletePage(BrowseMode mode) {
  ModeState& state = State(mode);
  state.outstanding = -1;
  state.history.push_back(BrowsePage{state.pendingTitle, std::move(state.received)});
  state.received.clear();
  StopAnimation(mode);
  if (mode_ == mode) SetStatus(kStatusDone);
  if (mode == BrowseMode::kCatalogue) {
    const bool play = playAfterLoad_;
    const bool append = appendAfterLoad_;
    playAfterLoad_ = false;
    appendAfterLoad_ = false;
    if (play) {
      core_.AddItemsToPlaylist(state.history.back().items, true, true);
    } else if (append) {
      core_.AddItemsToPlaylist(state.history.back().items, false, false);
    }
  }
  if (mode_ == mode) DisplayTop(mode);
}

void BrowseNavigation::DisplayTop(BrowseMode mode) {
  const ModeState& state = State(mode);
  static const BrowsePage kNoPage;
  const BrowsePage& page = state.history.empty() ? kNoPage : state.history.back();
  menuTarget_ = -1;
  shownItems_ = page.items;
  screen_.SetHeader(page.title);
  if (!page.items.empty()) {
    const bool songs = FirstIs(page.items, kCategorySong);
    screen_.ShowItems(page.items, songs, mode == BrowseMode::kCatalogue && level_ == kLevelArtists);
  } else {
    screen_.ShowNoData();
  }
  screen_.ShowMenuBar(MenuBarFor(page.items));
  screen_.SetBackButton(BackEnabled());
  screen_.FocusList();
}

void BrowseNavigation::Back() {
  if (mode_ == BrowseMode::kCatalogue) {
    playAfterLoad_ = false;
    appendAfterLoad_ = false;
  }
  ModeState& state = State(mode_);
  if (state.loading) {
    SetStatus(kStatusStopped);
    StopAnimation(mode_);
    state.outstanding = -1;
    state.received.clear();
    // The empty page stands for the page that never arrived; the steps
    // below drop it like a page that did.
    state.history.push_back(BrowsePage{state.pendingTitle, {}});
  }
  if (mode_ == BrowseMode::kTopic) {
    ClearList();
    topic_.outstanding = -1;
    if (topic_.history.size() >= 2) topic_.history.pop_back();
    DisplayTop(BrowseMode::kTopic);
    SetStatus(u"");
    return;
  }
  switch (level_) {
    case kLevelIndex:
    case kLevelArtists: {
      const bool artists = level_ == kLevelArtists;
      ClearList();
      genre_.clear();
      indexType_.clear();
      index_.clear();
      artist_.clear();
      album_.clear();
      level_ = kLevelGenres;
      UseLayoutOfLevel();
      screen_.DeselectIndexGrid();
      catalogue_.outstanding = -1;
      if (artists && catalogue_.history.size() > 1) catalogue_.history.pop_back();
      break;
    }
    case kLevelAlbums:
      artist_.clear();
      album_.clear();
      level_ = kLevelArtists;
      UseLayoutOfLevel();
      if (catalogue_.history.size() > 1) catalogue_.history.pop_back();
      break;
    case kLevelSongs:
      album_.clear();
      level_ = kLevelAlbums;
      if (catalogue_.history.size() > 1) catalogue_.history.pop_back();
      break;
    default:
      return;
  }
  DisplayTop(BrowseMode::kCatalogue);
  SetStatus(u"");
}

void BrowseNavigation::OnTimer(uint32_t timerId) {
  const BrowseMode mode = timerId == kTopicTimer ? BrowseMode::kTopic : BrowseMode::kCatalogue;
  if (timerId != kTopicTimer && timerId != kCatalogueTimer) return;
  ModeState& state = State(mode);
  if (mode_ != mode) return;
  ++state.counter;
  SetStatus(std::u16string(kStatusLoading) + std::u16string(state.counter % kMaxDots, u'.'));
}

bool BrowseNavigation::BackEnabled() const {
  if (mode_ == BrowseMode::kCatalogue) return level_ > kLevelGenres;
  return topic_.history.size() >= 2 || (topic_.history.size() == 1 && topic_.loading);
}

void BrowseNavigation::ClearList() {
  shownItems_.clear();
  menuTarget_ = -1;
  screen_.ClearList();
}

void BrowseNavigation::UseLayoutOfLevel() {
  const bool index = mode_ == BrowseMode::kCatalogue &&
                     (level_ == kLevelIndex || level_ == kLevelArtists);
  screen_.UseLayout(index ? BrowseLayout::kIndex : BrowseLayout::kPlain, indexTable_);
}

void BrowseNavigation::StartAnimation(BrowseMode mode) {
  ModeState& state = State(mode);
  state.loading = true;
  state.counter = 0;
  screen_.StartTimer(TimerOf(mode), kAnimationPeriodMs);
  if (mode_ == mode) SetStatus(kStatusLoading);
}

void BrowseNavigation::StopAnimation(BrowseMode mode) {
  ModeState& state = State(mode);
  state.loading = false;
  screen_.StopTimer(TimerOf(mode));
  if (mode_ == mode) SetStatus(u"");
  screen_.EnableModeButtonsAndGrid();
}

void BrowseNavigation::SetStatus(std::u16string_view status) { screen_.SetStatus(status); }

int32_t BrowseNavigation::Queue(int32_t kind, const BrowseParameters& parameters) {
  return queue_.QueueBrowseRequest(kind, parameters);
}

}  // namespace zolfa
