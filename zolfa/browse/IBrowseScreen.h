// What the browse navigation asks of the screen that shows it: the header
// and status texts, the item list, the index grid and layout, the menu bar,
// the buttons, the animation timers and the feed fetch of topic mode.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "zolfa/browse/FeedItem.h"
#include "zolfa/browse/IndexGrid.h"

namespace zolfa {

enum class BrowseMode { kCatalogue, kTopic };

// Plain: the list under the header across the whole width. Index: the
// index buttons and grid on the left, the list beside them.
enum class BrowseLayout { kPlain, kIndex };

class IBrowseScreen {
 public:
  virtual ~IBrowseScreen() = default;

  virtual void SetHeader(std::u16string_view title) = 0;
  virtual void SetStatus(std::u16string_view status) = 0;

  // Removes every row.
  virtual void ClearList() = 0;
  // Shows the list with one row per item in order, the first row selected
  // and focused. multipleSelection: song pages let several rows be chosen.
  // dialogWidthColumn: the column spans the dialog's width (artist pages)
  // instead of the list's.
  virtual void ShowItems(const std::vector<FeedItem>& items, bool multipleSelection,
                         bool dialogWidthColumn) = 0;
  // Hides the list and draws "無資料" in its place.
  virtual void ShowNoData() = 0;
  virtual void SelectAllRows() = 0;
  virtual void FocusList() = 0;

  // Menu bar 166, 167 or 180.
  virtual void ShowMenuBar(uint32_t menuBarId) = 0;
  virtual void SetBackButton(bool enabled) = 0;
  // The mode button drawn selected.
  virtual void ShowModeButtons(BrowseMode shown) = 0;
  virtual void EnableModeButtonsAndGrid() = 0;

  // indexTable: the table in use, whose button is hidden in the index layout.
  virtual void UseLayout(BrowseLayout layout, int32_t indexTable) = 0;
  virtual void FillIndexGrid(const std::vector<IndexGridEntry>& entries) = 0;
  virtual void DeselectIndexGrid() = 0;

  virtual void StartTimer(uint32_t timerId, uint32_t periodMs) = 0;
  virtual void StopTimer(uint32_t timerId) = 0;

  // Fetches a feed document (a full "http://" address) and gives its items
  // in order; empty when it cannot be fetched.
  virtual std::vector<FeedItem> FetchFeed(std::u16string_view address) = 0;
};

}  // namespace zolfa
