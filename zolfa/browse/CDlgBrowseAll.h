// The browse screen (template 162), tab 1 of the main screen: the online
// catalogue and the music information pages. Its navigation lives in
// BrowseNavigation; the screen shows what the navigation asks for, turns
// taps, keys and commands into navigation steps, and hands the browse
// messages of the request workers to it.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/framework/Bitmap.h"
#include "platform/framework/ListView.h"
#include "zolfa/browse/BrowseNavigation.h"
#include "zolfa/browse/CIndexGrid.h"
#include "zolfa/browse/CListCtrlBrowse.h"
#include "zolfa/browse/IBrowseQueue.h"
#include "zolfa/browse/IBrowseScreen.h"
#include "zolfa/browse/IScreenCore.h"
#include "zolfa/widgets/CTabScreen.h"
#include "zolfa/widgets/CTextHoverButton.h"

class CDlgBrowseAll : public CTabScreen, public zolfa::IBrowseScreen {
 public:
  static constexpr ce::UINT kTemplateId = 162;
  // Controls.
  static constexpr int kTopicButton = 1026;
  static constexpr int kCatalogueButton = 1027;
  static constexpr int kPhoneticButton = 1035;
  static constexpr int kStrokesButton = 1036;
  static constexpr int kLettersButton = 1037;
  static constexpr int kIndexGrid = 1038;
  static constexpr int kBackButton = 1004;
  static constexpr int kItemList = 1057;
  // Commands.
  static constexpr ce::UINT kCmdPlayAlbum = 32795;
  static constexpr ce::UINT kCmdAppendAlbum = 32857;
  static constexpr ce::UINT kCmdPlaySongs = 32793;
  static constexpr ce::UINT kCmdAppendSongs = 32858;
  static constexpr ce::UINT kCmdPlayAll = 32859;
  static constexpr ce::UINT kCmdAppendAll = 32860;
  // Keys.
  static constexpr ce::UINT kActionKey = 134;
  static constexpr ce::UINT kLeftKey = 37;
  // Colours (COLORREF) and places (pixels) of the painting.
  static constexpr ce::COLORREF kBackground = 0x00F8F5F1;
  static constexpr ce::COLORREF kModeLine = 0x00775C39;
  static constexpr ce::COLORREF kHeaderBand = 0x00D1EAC1;
  static constexpr ce::COLORREF kHeaderText = 0x000000FF;
  static constexpr ce::COLORREF kPlainLine = 0x00646464;
  static constexpr ce::UINT kIndexBandBitmap = 174;
  static constexpr ce::UINT kIndexButtonsBitmap = 202;
  static constexpr int kModeLineY = 21;
  static constexpr int kHeaderTop = 22;
  static constexpr int kHeaderBottom = 42;
  static constexpr int kPlainListTop = 43;
  static constexpr int kIndexTop = 64;
  static constexpr int kIndexButtonWidth = 21;
  static constexpr int kIndexButtonHeight = 18;
  static constexpr int kGridTop = 83;
  static constexpr int kIndexSharePercent = 39;
  static constexpr int kBackWidth = 55;
  static constexpr int kBackHeight = 22;
  static constexpr int kBackFromRight = 54;
  inline static constexpr char16_t kIndexCaption[] = u"歌手/演出者";
  inline static constexpr char16_t kNoData[] = u"無資料";

  // The core controller and the browse requests outlive the screen.
  CDlgBrowseAll(zolfa::IScreenCore& core, zolfa::IBrowseQueue& queue, ce::Window* parent);
  ~CDlgBrowseAll() override;

  void SetActive(bool active) override;
  zolfa::BrowseNavigation& Navigation() { return navigation_; }
  const std::u16string& Header() const { return header_; }
  const std::u16string& Status() const { return status_; }
  ce::UINT MenuBarShown() const { return menuBarId_; }

 protected:
  ce::BOOL OnInitDialog() override;
  ce::BOOL OnCommand(ce::WPARAM wParam, ce::LPARAM lParam) override;
  ce::BOOL OnNotify(ce::WPARAM wParam, ce::LPARAM lParam, ce::LRESULT* result) override;
  bool OnMessage(ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam,
                 ce::LRESULT* result) override;
  void OnPaint() override;
  ce::BOOL OnEraseBkgnd(ce::HDC dc) override;
  void OnTimer(ce::UINT_PTR id) override;
  void OnSize(ce::UINT type, int width, int height) override;
  void OnSettingChange(ce::UINT flag, ce::LPCWSTR section) override;
  void OnDestroy() override;

 private:
  // IBrowseScreen.
  void SetHeader(std::u16string_view title) override;
  void SetStatus(std::u16string_view status) override;
  void ClearList() override;
  void ShowItems(const std::vector<zolfa::FeedItem>& items, bool multipleSelection,
                 bool dialogWidthColumn) override;
  void ShowNoData() override;
  void SelectAllRows() override;
  void FocusList() override;
  void ShowMenuBar(uint32_t menuBarId) override;
  void SetBackButton(bool enabled) override;
  void ShowModeButtons(zolfa::BrowseMode shown) override;
  void EnableModeButtonsAndGrid() override;
  void UseLayout(zolfa::BrowseLayout layout, int32_t indexTable) override;
  void FillIndexGrid(const std::vector<zolfa::IndexGridEntry>& entries) override;
  void DeselectIndexGrid() override;
  void StartTimer(uint32_t timerId, uint32_t periodMs) override;
  void StopTimer(uint32_t timerId) override;
  std::vector<zolfa::FeedItem> FetchFeed(std::u16string_view address) override;

  void Place();
  void OnListNotify(ce::NMHDR* header);
  void OnGridNotify(ce::NMHDR* header);
  void ShowContextMenu(int row, ce::POINT screenPoint);
  void EnableSelectionCommands(ce::HMENU menu);
  ce::HWND MenuBar(ce::UINT id) const;
  void InvalidateHeader();

  zolfa::IScreenCore& core_;
  zolfa::BrowseNavigation navigation_;
  CListCtrlBrowse list_;
  CIndexGrid grid_;
  CTextHoverButton topicButton_;
  CTextHoverButton catalogueButton_;
  std::array<CTextHoverButton, 3> indexButtons_;
  CTextHoverButton backButton_;
  ce::Bitmap indexBand_;
  ce::Bitmap indexButtonsBack_;
  // Menu bars 166, 167 and 180, made at start, and the one shown.
  std::array<ce::HWND, 3> menuBars_{};
  ce::UINT menuBarId_ = zolfa::kMenuBarOther;

  zolfa::BrowseLayout layout_ = zolfa::BrowseLayout::kPlain;
  int32_t indexTable_ = 0;
  bool noData_ = false;
  std::u16string header_;
  std::u16string status_;
};
