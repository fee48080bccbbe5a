// The main screen: a child of the top-level dialog, shown after the first
// accepted login. It carries the three working screens as tabs (0 current
// playlist, 1 online music, 2 personal library) under a strip of buttons
// that switches between them; the strip shows buttons for the two other
// tabs, and its painted background marks the current one.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/framework/Bitmap.h"
#include "platform/framework/Dialog.h"
#include "zolfa/app/CCore.h"
#include "zolfa/app/CurPlaylistAdapter.h"
#include "zolfa/app/IMainScreen.h"
#include "zolfa/app/PersonalLibraryAdapter.h"
#include "zolfa/browse/CDlgBrowseAll.h"
#include "zolfa/library/CDlgCurPlaylist.h"
#include "zolfa/library/CDlgPersonalLib.h"
#include "zolfa/widgets/CTabScreen.h"
#include "zolfa/widgets/CTextHoverButton.h"

namespace zolfa {

class CDlgMain : public ce::Dialog, public IMainScreen {
 public:
  static constexpr ce::UINT kTemplateId = 159;
  static constexpr ce::UINT kCurPlaylistTemplate = 160;
  static constexpr ce::UINT kPersonalLibraryTemplate = 161;
  static constexpr ce::UINT kBrowseTemplate = 162;
  // The tab buttons, in tab order, and the hidden tab control.
  static constexpr int kTabButtons[3] = {1026, 1027, 1028};
  static constexpr ce::UINT kTabBitmaps[3] = {198, 197, 199};
  static constexpr int kTabControl = 1029;
  // The strip: its height, its picture and the column stretched beyond it.
  static constexpr int kStripHeight = 22;
  static constexpr int kStripWidth = 320;
  static constexpr int kStripColumnX = 240;
  static constexpr ce::UINT kStripBitmap = 196;
  static constexpr ce::UINT kStripColumnBitmap = 229;
  static constexpr int kTabButtonWidth = 80;

  // The core controller outlives the screen.
  CDlgMain(CCore& core, ce::Window* parent);

  // IMainScreen.
  void SelectTab(int32_t tab) override;
  int32_t CurrentTab() const override { return currentTab_; }
  ICurrentPlaylist* CurrentPlaylist() override { return playlistAdapter_.get(); }
  IPersonalLibraryScreen* PersonalLibrary() override { return libraryAdapter_.get(); }
  ce::HWND BrowseWindow() const override { return browseWindow_.load(std::memory_order_acquire); }
  ce::HWND CurrentPlaylistWindow() const override {
    return curPlaylistWindow_.load(std::memory_order_acquire);
  }

  CDlgCurPlaylist& CurPlaylistScreen() { return curPlaylistScreen_; }
  CDlgBrowseAll& BrowseScreen() { return browseScreen_; }
  CDlgPersonalLib& PersonalLibraryScreen() { return personalLibraryScreen_; }

  // Tells the three screens that none of them is shown any more.
  void DeactivateScreens();
  // The window of the player screen, once one exists; null before.
  ce::HWND PlayerWindow() const { return curPlaylistScreen_.PlayerWindow(); }
  // Places the strip and the three screens in the screen's client area.
  void Layout();

 protected:
  ce::BOOL OnInitDialog() override;
  ce::BOOL OnCommand(ce::WPARAM wParam, ce::LPARAM lParam) override;
  ce::BOOL OnNotify(ce::WPARAM wParam, ce::LPARAM lParam, ce::LRESULT* result) override;
  void OnPaint() override;
  ce::BOOL OnEraseBkgnd(ce::HDC dc) override;
  void OnSettingChange(ce::UINT flag, ce::LPCWSTR section) override;
  void OnDestroy() override;

 private:
  CTabScreen& Screen(int32_t tab);
  void PlaceScreens(int width, int height);

  CCore& core_;
  // Members in their declared order: the working screens, the tab buttons,
  // the current tab.
  CDlgCurPlaylist curPlaylistScreen_;
  CDlgBrowseAll browseScreen_;
  CDlgPersonalLib personalLibraryScreen_;
  std::array<CTextHoverButton, 3> tabButtons_;
  int32_t currentTab_ = kTabCurrentPlaylist;

  std::atomic<ce::HWND> browseWindow_{nullptr};
  std::atomic<ce::HWND> curPlaylistWindow_{nullptr};
  // What the core controller reaches of the two screens while their windows
  // live.
  std::unique_ptr<CurPlaylistAdapter> playlistAdapter_;
  std::unique_ptr<PersonalLibraryAdapter> libraryAdapter_;
  ce::Bitmap strip_;
  ce::Bitmap stripColumn_;
};

}  // namespace zolfa
