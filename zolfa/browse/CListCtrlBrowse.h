// The item list of the browse screen, and of the current-playlist screen in
// its current-playlist form: one column of FeedItems, each row with the
// icon of its kind, drawn striped by the list itself.
//
// The list keeps a private copy of every row's item, freed with the row.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "zolfa/widgets/CStripedListCtrl.h"
#include "zolfa/browse/FeedItem.h"
#include "zolfa/browse/IScreenCore.h"

class CListCtrlBrowse : public CStripedListCtrl {
 public:
  // Bitmap of the 16 x 16 icons: 0 other, 1 artist, 2 playable, 3 playing.
  static constexpr ce::UINT kIconsBitmap = 146;
  static constexpr ce::COLORREF kIconsTransparent = 0x00FF00FF;
  static constexpr int kIconSize = 16;
  static constexpr int kIconOther = 0;
  static constexpr int kIconArtist = 1;
  static constexpr int kIconPlayable = 2;
  static constexpr int kIconPlaying = 3;
  static constexpr ce::COLORREF kSelectedText = 0x00FFFFFF;
  static constexpr ce::COLORREF kText = 0x00000000;
  static constexpr int kTextIndent = 18;  // pixels from the row's left edge
  static constexpr int kScreenWidth = 240;

  // Browse: a row whose link is the playing song's link shows the playing
  // icon. Current playlist: the playable row at the playing position does,
  // while that tab is shown.
  enum class Form { kBrowse, kCurrentPlaylist };

  CListCtrlBrowse(zolfa::IScreenCore& core, Form form) : core_(core), form_(form) {}
  ~CListCtrlBrowse() override;

  // Takes over the list view of the dialog: one column, full-row select,
  // white background, the icons.
  bool Attach(int id, ce::HWND dialog);

  void AddRow(const zolfa::FeedItem& item);
  void FillRows(const std::vector<zolfa::FeedItem>& items);
  void DeleteRow(int row);
  void DeleteAllRows();
  void SetRowText(int row, const std::u16string& text);
  // The item of a row; null outside the list.
  const zolfa::FeedItem* Item(int row) const;
  int RowCount() const { return static_cast<int>(items_.size()); }
  // Selected rows in row order.
  std::vector<int> SelectedRows() const;
  int FirstSelectedRow() const { return GetNextItem(-1, ce::LVNI_SELECTED); }
  void SelectRow(int row);
  // The column as wide as width, or the list less a scroll bar when the rows
  // do not all fit (width < 0).
  void FitColumn(int width = -1);
  int IconOf(int row) const;
  // True once after a tap-and-hold was recognised on the list: the release
  // that follows is not a tap.
  bool ConsumeHold();

 protected:
  // A held stylus or action key is a tap-and-hold: the parent hears of it
  // as GN_CONTEXTMENU (NMRGINFO).
  void OnLButtonDown(ce::UINT flags, ce::POINT point) override;
  void OnKeyDown(ce::UINT key, ce::UINT repeat, ce::UINT flags) override;
  void DrawRow(ce::HDC dc, const ce::RECT& rect, int row, bool selected) const override;
  int FallbackRowHeight() const override { return kIconSize + 2; }
  int RowsShown() const override { return RowCount(); }
  void OnDestroy() override;

 private:

  zolfa::IScreenCore& core_;
  Form form_;
  ce::HIMAGELIST icons_ = nullptr;
  std::vector<std::unique_ptr<zolfa::FeedItem>> items_;  // row order
  bool held_ = false;
};
