// The list of both views of the personal-library screen: kind 1 lists the
// playlists (item data: playlist id), kind 2 the songs of one playlist (item
// data: song id). One column, no header, single selection, every row drawn
// by the list itself with its icon from pictures 200 and 201.
#pragma once

#include <string>

#include "platform/framework/Bitmap.h"
#include "zolfa/widgets/CStripedListCtrl.h"

class CListCtrlPLib : public CStripedListCtrl {
 public:
  static constexpr int kKindPlaylists = 1;
  static constexpr int kKindSongs = 2;
  static constexpr ce::UINT kIconsPicture = 200;
  static constexpr ce::UINT kSelectedIconsPicture = 201;
  static constexpr int kIconSize = 16;
  static constexpr int kSongIconX = 32;  // pixels into the pictures
  static constexpr int kTextIndent = 18;
  static constexpr int kNarrowerThanScreen = 13;
  static constexpr ce::COLORREF kSelectedText = 0x00FFFFFF;
  static constexpr ce::COLORREF kText = 0x00000000;
  static constexpr ce::COLORREF kTextShadow = 0x00DCDCDC;

  explicit CListCtrlPLib(int kind) : kind_(kind) {}

  bool Attach(int id, ce::HWND dialog);
  int AddRow(const std::u16string& text, ce::LPARAM data);
  void SelectRow(int row);
  int SelectedRow() const { return GetNextItem(-1, ce::LVNI_SELECTED); }
  // As wide as the list, less a scroll bar when the rows do not all fit.
  void FitColumn();
  int Kind() const { return kind_; }
  bool ConsumeHold();

 protected:
  void DrawRow(ce::HDC dc, const ce::RECT& rect, int row, bool selected) const override;
  int FallbackRowHeight() const override { return kIconSize + 2; }
  void OnLButtonDown(ce::UINT flags, ce::POINT point) override;
  void OnKeyDown(ce::UINT key, ce::UINT repeat, ce::UINT flags) override;

 private:

  int kind_;
  ce::Bitmap icons_;
  ce::Bitmap selectedIcons_;
  bool held_ = false;
};
