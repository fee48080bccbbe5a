#include "zolfa/app/CDlgMain.h"

#include "platform/controls/TabControl.h"
#include "platform/controls/Metrics.h"
#include "platform/framework/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Display.h"
#include "platform/shell/Shell.h"

namespace zolfa {

using namespace ce;

namespace {

void DrawBitmap(HDC target, const Bitmap& bitmap, int x, int y, int width, int height, int sourceWidth,
                int sourceHeight) {
  if (bitmap.Empty()) return;
  HDC source = CreateCompatibleDC(target);
  HGDIOBJ old = SelectObject(source, bitmap.Handle());
  StretchBlt(target, x, y, width, height, source, 0, 0, sourceWidth, sourceHeight, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

}  // namespace

CDlgMain::CDlgMain(CCore& core, Window* parent)
    : Dialog(kTemplateId, parent),
      core_(core),
      curPlaylistScreen_(core, core, core, this),
      browseScreen_(core, core.BrowseQueue(), this),
      personalLibraryScreen_(core, core.BackupImport(), this) {}

BOOL CDlgMain::OnInitDialog() {
  strip_.LoadResource(kStripBitmap);
  stripColumn_.LoadResource(kStripColumnBitmap);
  for (size_t i = 0; i < tabButtons_.size(); ++i) {
    tabButtons_[i].SubclassDlgItem(kTabButtons[i], Handle());
    tabButtons_[i].SetImage(kTabBitmaps[i]);
    tabButtons_[i].MoveWindow(static_cast<int>(i) * kTabButtonWidth, 0, kTabButtonWidth, kStripHeight);
  }
  ce::ShowWindow(GetDlgItem(kTabControl), SW_HIDE);
  curPlaylistScreen_.Create(Handle());
  if (CCoreCurPlaylist* playlist = curPlaylistScreen_.Playlist()) {
    playlistAdapter_ = std::make_unique<CurPlaylistAdapter>(*playlist);
  }
  browseScreen_.Create(Handle());
  // The library is read before its screen's window is made.
  personalLibraryScreen_.LoadLibrary();
  personalLibraryScreen_.Create(Handle());
  libraryAdapter_ = std::make_unique<PersonalLibraryAdapter>(personalLibraryScreen_);
  // Published before the browse screen can queue a request and before a
  // cover can be found; they never change.
  browseWindow_.store(browseScreen_.Handle(), std::memory_order_release);
  curPlaylistWindow_.store(curPlaylistScreen_.Handle(), std::memory_order_release);
  core_.AttachMainScreen(*this);
  Layout();
  return TRUE;
}

CTabScreen& CDlgMain::Screen(int32_t tab) {
  switch (tab) {
    case kTabOnlineMusic:
      return browseScreen_;
    case kTabPersonalLibrary:
      return personalLibraryScreen_;
    default:
      return curPlaylistScreen_;
  }
}

void CDlgMain::SelectTab(int32_t tab) {
  currentTab_ = tab;
  for (CTextHoverButton& button : tabButtons_) button.ShowWindow(SW_SHOW);
  if (currentTab_ >= 0 && currentTab_ < static_cast<int32_t>(tabButtons_.size())) {
    tabButtons_[static_cast<size_t>(currentTab_)].ShowWindow(SW_HIDE);
  }
  for (int32_t i = 0; i < 3; ++i) {
    Screen(i).SetActive(false);
    Screen(i).ShowWindow(SW_HIDE);
  }
  CTabScreen& shown = Screen(currentTab_);
  shown.ShowWindow(SW_SHOW);
  shown.SetFocus();
  shown.SetActive(true);
  Invalidate();
}

void CDlgMain::DeactivateScreens() {
  for (int32_t i = 0; i < 3; ++i) Screen(i).SetActive(false);
}

void CDlgMain::Layout() {
  RECT client = GetClientRect();
  PlaceScreens(client.right, client.bottom - kStripHeight);
}

void CDlgMain::PlaceScreens(int width, int height) {
  for (int32_t i = 0; i < 3; ++i) Screen(i).MoveWindow(0, kStripHeight, width, height);
}

BOOL CDlgMain::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  for (size_t i = 0; i < tabButtons_.size(); ++i) {
    if (id == kTabButtons[i] && HIWORD(wParam) == BN_CLICKED) {
      SelectTab(static_cast<int32_t>(i));
      return TRUE;
    }
  }
  // The menu commands of the working screens that lead elsewhere.
  if (HIWORD(wParam) == 0 && core_.OnCommand(static_cast<uint32_t>(id))) return TRUE;
  return Dialog::OnCommand(wParam, lParam);
}

BOOL CDlgMain::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header != nullptr && header->idFrom == static_cast<UINT_PTR>(kTabControl) &&
      header->code == TCN_SELCHANGE) {
    SelectTab(currentTab_);
    *result = 0;
    return TRUE;
  }
  return Dialog::OnNotify(wParam, lParam, result);
}

BOOL CDlgMain::OnEraseBkgnd(HDC) { return TRUE; }

void CDlgMain::OnPaint() {
  PaintDc dc(Handle());
  RECT client = GetClientRect();
  SIZE strip = strip_.Size();
  DrawBitmap(dc, strip_, 0, 0, kStripWidth, kStripHeight, strip.cx, strip.cy);
  SIZE column = stripColumn_.Size();
  if (client.right > kStripColumnX) {
    DrawBitmap(dc, stripColumn_, kStripColumnX, 0, client.right - kStripColumnX, kStripHeight, 1,
               column.cy);
  }
}

void CDlgMain::OnSettingChange(UINT flag, LPCWSTR section) {
  if (flag != SETTINGCHANGE_RESET) {
    Dialog::OnSettingChange(flag, section);
    return;
  }
  // The screen turned: the screens take the new screen's size less the
  // title bar, the menu bar and the strip, and lay out their own controls.
  PlaceScreens(GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN) - kTitleBarHeight - kMenuBarHeight - kStripHeight);
  for (int32_t i = 0; i < 3; ++i) {
    ce::SendMessage(Screen(i).Handle(), WM_SETTINGCHANGE, flag, reinterpret_cast<LPARAM>(section));
  }
  Invalidate();
}

void CDlgMain::OnDestroy() {
  // Before the screens go: workers that answer later find no window.
  core_.DetachMainScreen();
  playlistAdapter_.reset();
  libraryAdapter_.reset();
  Dialog::OnDestroy();
}

}  // namespace zolfa
