#include "zolfa/library/CDlgCurPlaylist.h"

#include "platform/base/CodePage.h"
#include "platform/base/MessageBox.h"
#include "platform/controls/ListView.h"
#include "platform/framework/Dc.h"
#include "platform/framework/Menu.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Gesture.h"
#include "platform/shell/MenuBar.h"
#include "platform/window/Keys.h"
#include "zolfa/browse/PostedRecords.h"
#include "zolfa/library/CDlgNewPlaylist.h"
#include "zolfa/library/CurPlaylistMessages.h"
#include "zolfa/library/ScreenRules.h"

using namespace ce;
using zolfa::FeedItem;

namespace {

constexpr int kButtonIds[6] = {CDlgCurPlaylist::kShuffleButton, CDlgCurPlaylist::kRepeatButton,
                               CDlgCurPlaylist::kUpButton,      CDlgCurPlaylist::kDownButton,
                               CDlgCurPlaylist::kRemoveButton,  CDlgCurPlaylist::kClearButton};
constexpr UINT kButtonPictures[6] = {188, 190, 191, 192, 193, 194};
constexpr UINT kActionKey = 134;
constexpr char16_t kCaption[] = u"ZOLFA";
// Display modes.
constexpr int32_t kSongListMode = 0;
constexpr int32_t kLyricsMode = 1;
constexpr int32_t kCoverMode = 2;

}  // namespace

CDlgCurPlaylist::CDlgCurPlaylist(zolfa::IScreenCore& core, zolfa::ICurPlaylistCore& playlistCore,
                                 zolfa::IPlayerCore& playerCore, Window* parent)
    : CTabScreen(kTemplateId, parent),
      core_(core),
      playlistCore_(playlistCore),
      playerBar_(playerCore, barPlaylist_, this),
      list_(core, CListCtrlBrowse::Form::kCurrentPlaylist) {}

CDlgCurPlaylist::~CDlgCurPlaylist() = default;

BOOL CDlgCurPlaylist::OnInitDialog() {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i].SubclassDlgItem(kButtonIds[i], Handle());
    buttons_[i].SetImage(kButtonPictures[i]);
  }
  list_.Attach(kSongList, Handle());
  CreatePanels();
  if (playerBar_.Create(Handle())) playerBar_.ShowWindow(SW_SHOW);
  SHMENUBARINFO info;
  info.hwndParent = Handle();
  info.dwFlags = SHCMBF_HIDDEN;
  info.nToolBarId = kMenuBar;
  if (SHCreateMenuBar(&info)) menuBar_ = info.hwndMB;
  Place();
  // The playlist reads its play modes, its file, and shows the song list.
  playlist_ = std::make_unique<zolfa::CCoreCurPlaylist>(*this, playlistCore_);
  playlist_->Load();
  playlist_->SetDisplayMode(kSongListMode);
  return FALSE;
}

RECT CDlgCurPlaylist::PanelPlace() const {
  RECT client = GetClientRect();
  return RECT{0, kButtonHeight, client.right, client.bottom - kPlayerBarHeight};
}

RECT CDlgCurPlaylist::PlayerBarPlace() const {
  RECT client = GetClientRect();
  return RECT{0, client.bottom - kPlayerBarHeight, client.right, client.bottom};
}

void CDlgCurPlaylist::CreatePanels() {
  lyricsPanel_.Create(Handle());
  coverPanel_.Create(Handle());
  lyricsPanel_.ShowWindow(SW_HIDE);
  coverPanel_.ShowWindow(SW_HIDE);
  // Their context menus switch the display mode as the screen's own do.
  auto setMode = [this](int32_t mode) {
    if (playlist_ != nullptr) playlist_->SetDisplayMode(mode);
  };
  lyricsPanel_.SetDisplayModeHandler(setMode);
  coverPanel_.SetDisplayModeHandler(setMode);
  coverPanel_.SetLyricsHaveLines([this] { return lyricsPanel_.HasLines(); });
}

void CDlgCurPlaylist::Place() {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i].MoveWindow(static_cast<int>(i) * kButtonWidth, 0, kButtonWidth, kButtonHeight);
  }
  RECT place = PanelPlace();
  list_.MoveWindow(place.left, place.top, place.right - place.left, place.bottom - place.top);
  list_.FitColumn();
  for (Window* panel : {static_cast<Window*>(&lyricsPanel_), static_cast<Window*>(&coverPanel_)}) {
    if (panel->Handle() == nullptr) continue;
    panel->MoveWindow(place.left, place.top, place.right - place.left, place.bottom - place.top);
  }
  if (playerBar_.Handle() != nullptr) {
    RECT bar = PlayerBarPlace();
    playerBar_.MoveWindow(bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top);
  }
}

void CDlgCurPlaylist::OnSize(UINT type, int width, int height) {
  CTabScreen::OnSize(type, width, height);
  if (list_.Handle() != nullptr) Place();
}

void CDlgCurPlaylist::SetActive(bool active) {
  CTabScreen::SetActive(active);
  if (menuBar_ != nullptr) ce::ShowWindow(menuBar_, active ? SW_SHOW : SW_HIDE);
  if (!active || playlist_ == nullptr) return;
  ShowDisplayMode(playlist_->DisplayMode());
  playlistCore_.SetNowPlayingFile(zolfa::CCoreCurPlaylist::FilePath());
  playlistCore_.SetNowPlayingIndex(playlist_->CurrentIndex());
  RepaintList();
}

BOOL CDlgCurPlaylist::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  if (playlist_ == nullptr) return CTabScreen::OnCommand(wParam, lParam);
  if (lParam != 0 && HIWORD(wParam) != BN_CLICKED) return CTabScreen::OnCommand(wParam, lParam);
  const int32_t selected = playlist_->SelectedIndex();
  switch (id) {
    case kShuffleButton:
      playlist_->ToggleShuffle();
      return TRUE;
    case kRepeatButton:
      playlist_->ToggleRepeat();
      return TRUE;
    case kUpButton:
    case kCmdUp:
      playlist_->MoveUp(selected);
      return TRUE;
    case kDownButton:
    case kCmdDown:
      playlist_->MoveDown(selected);
      return TRUE;
    case kRemoveButton:
    case kCmdRemove:
      playlist_->RemoveAt(selected);
      list_.FitColumn();
      return TRUE;
    case kClearButton:
    case kCmdClear:
      playlist_->ClearAll();
      return TRUE;
    case kCmdPlay:
      playlist_->PlayIndex(selected);
      return TRUE;
    case kCmdSongList:
      playlist_->SetDisplayMode(kSongListMode);
      return TRUE;
    case kCmdLyrics:
      playlist_->SetDisplayMode(kLyricsMode);
      return TRUE;
    case kCmdCover:
      playlist_->SetDisplayMode(kCoverMode);
      return TRUE;
    case kCmdSave:
      SaveAsPersonalPlaylist();
      return TRUE;
    default:
      break;
  }
  if (lParam == 0 && core_.OnCommand(id)) return TRUE;
  return CTabScreen::OnCommand(wParam, lParam);
}

void CDlgCurPlaylist::SaveAsPersonalPlaylist() {
  if (list_.RowCount() == 0) {
    ce::MessageBox(Handle(), kEmptyPlaylist, kCaption, MB_OK);
    return;
  }
  CDlgNewPlaylist dialog(this);
  if (dialog.DoModal() != IDOK) return;
  std::vector<FeedItem> items;
  for (int row = 0; row < list_.RowCount(); ++row) items.push_back(*list_.Item(row));
  core_.SaveAsPersonalPlaylist(dialog.Name(), items);
}

BOOL CDlgCurPlaylist::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header != nullptr && header->hwndFrom == list_.Handle() && playlist_ != nullptr) {
    OnListNotify(header);
    *result = 0;
    return TRUE;
  }
  return CTabScreen::OnNotify(wParam, lParam, result);
}

void CDlgCurPlaylist::OnListNotify(NMHDR* header) {
  switch (header->code) {
    case NM_CLICK: {
      auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
      if (list_.ConsumeHold()) return;
      if (click->iItem >= 0) playlist_->SelectAndPlay(click->iItem);
      list_.FitColumn();
      break;
    }
    case LVN_KEYDOWN: {
      const WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
      if (key == VK_UP) {
        playlist_->SetSelected(playlist_->SelectedIndex() - 1);
      } else if (key == VK_DOWN) {
        playlist_->SetSelected(playlist_->SelectedIndex() + 1);
      } else if (key == kActionKey) {
        playlist_->SelectAndPlay(list_.FirstSelectedRow());
      }
      list_.FitColumn();
      break;
    }
    case GN_CONTEXTMENU: {
      auto* gesture = reinterpret_cast<NMRGINFO*>(header);
      POINT client = gesture->ptAction;
      ScreenToClient(list_.Handle(), &client);
      ShowContextMenu(list_.HitTest(client), gesture->ptAction);
      break;
    }
    default:
      break;
  }
}

void CDlgCurPlaylist::ShowContextMenu(int row, POINT screenPoint) {
  Menu menu;
  if (!menu.LoadMenu(kContextMenu)) return;
  HMENU popup = menu.GetSubMenu(0);
  if (popup == nullptr) return;
  if (row >= 0) {
    playlist_->SetSelected(row);
    list_.SelectRow(row);
  } else {
    // On the blank part only the display modes are offered.
    for (UINT id : {kCmdPlay, kCmdUp, kCmdDown, kCmdRemove, kCmdClear}) {
      DeleteMenu(popup, id, MF_BYCOMMAND);
    }
    while (GetMenuItemCount(popup) > 0 && GetMenuItemID(popup, 0) == 0) {
      DeleteMenu(popup, 0, MF_BYPOSITION);  // a separator left at the top
    }
  }
  EnableMenu(popup);
  TrackPopupMenu(popup, TPM_LEFTALIGN, screenPoint.x, screenPoint.y, 0, Handle(), nullptr);
}

void CDlgCurPlaylist::EnableMenu(HMENU menu) {
  const zolfa::CurPlaylistEnabling e = zolfa::CurPlaylistEnablingFor(
      playlist_->SelectedIndex(), static_cast<int32_t>(playlist_->Items().size()),
      playlist_->DisplayMode(), !lyrics_.empty(), playlist_->SongStarted());
  auto set = [menu](UINT id, bool enabled) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  };
  set(kCmdUp, e.moveUp);
  set(kCmdDown, e.moveDown);
  set(kCmdClear, e.clear);
  set(kCmdSongList, e.songList);
  set(kCmdLyrics, e.lyrics);
  set(kCmdCover, e.cover);
}

bool CDlgCurPlaylist::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case zolfa::MSG_ALBUM_COVER: {
      // The worker allocated the source for this screen, which frees it.
      std::unique_ptr<std::u16string> source(reinterpret_cast<std::u16string*>(lParam));
      if (playlist_ != nullptr && source != nullptr) playlist_->SetAlbumCover(*source);
      *result = 0;
      return true;
    }
    case WM_INITMENUPOPUP:
      if (playlist_ != nullptr) EnableMenu(reinterpret_cast<HMENU>(wParam));
      *result = 0;
      return true;
    default:
      return CTabScreen::OnMessage(message, wParam, lParam, result);
  }
}

BOOL CDlgCurPlaylist::OnEraseBkgnd(HDC) { return TRUE; }

void CDlgCurPlaylist::OnPaint() {
  PaintDc dc(Handle());
  RECT client = GetClientRect();
  HBRUSH brush = CreateSolidBrush(kBackground);
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  if (!titleLine_.empty() && playlist_ != nullptr && playlist_->DisplayMode() != kSongListMode) {
    RECT line{0, 0, client.right, kButtonHeight};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTitleColour);
    DrawText(dc, titleLine_.c_str(), static_cast<int>(titleLine_.size()), &line,
             DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
}

void CDlgCurPlaylist::OnDestroy() {
  core_.ScreenWindowClosing(Handle());
  zolfa::FreePostedRecords<std::u16string>(Handle(), zolfa::MSG_ALBUM_COVER);
  // The playlist goes with the window and saves its state on the way.
  playlist_.reset();
  if (menuBar_ != nullptr && IsWindow(menuBar_)) ce::DestroyWindow(menuBar_);
  menuBar_ = nullptr;
  CTabScreen::OnDestroy();
}

// ICurPlaylistOwner.

void CDlgCurPlaylist::AddRow(const FeedItem& entry) { list_.AddRow(entry); }

void CDlgCurPlaylist::DeleteRow(int32_t row) { list_.DeleteRow(row); }

void CDlgCurPlaylist::DeleteAllRows() { list_.DeleteAllRows(); }

void CDlgCurPlaylist::FillRows(const std::vector<FeedItem>& entries) {
  list_.FillRows(entries);
  list_.FitColumn();
}

void CDlgCurPlaylist::SetRowText(int32_t row, std::u16string_view text) {
  list_.SetRowText(row, std::u16string(text));
}

void CDlgCurPlaylist::SelectRow(int32_t row) { list_.SelectRow(row); }

void CDlgCurPlaylist::MakeRowVisible(int32_t row) {
  if (row >= 0 && row < list_.RowCount()) list_.EnsureVisible(row);
}

int32_t CDlgCurPlaylist::FirstSelectedRow() { return list_.FirstSelectedRow(); }

void CDlgCurPlaylist::RepaintList() { list_.Invalidate(FALSE); }

void CDlgCurPlaylist::ShowDisplayMode(int32_t mode) {
  // The lyrics and album-cover panels take the list's place, under the
  // title line.
  list_.ShowWindow(SW_HIDE);
  if (lyricsPanel_.Handle() != nullptr) {
    lyricsPanel_.ShowWindow(mode == kLyricsMode ? SW_SHOW : SW_HIDE);
  }
  if (coverPanel_.Handle() != nullptr) {
    coverPanel_.ShowWindow(mode == kCoverMode ? SW_SHOW : SW_HIDE);
  }
  for (CTextHoverButton& button : buttons_) button.ShowWindow(SW_HIDE);
  if (mode == kSongListMode) {
    list_.ShowWindow(SW_SHOW);
    for (CTextHoverButton& button : buttons_) button.ShowWindow(SW_SHOW);
    if (playlist_ != nullptr) {
      SetShuffleButton(playlist_->ShuffleMode() == zolfa::kShuffleOn);
      SetRepeatButton(playlist_->RepeatMode() == zolfa::kRepeatOn);
    }
    RepaintList();
    titleLine_.clear();
  } else if (playlist_ != nullptr) {
    titleLine_ = playlist_->CurrentItem().title;
  }
  Invalidate(FALSE);
}

void CDlgCurPlaylist::SetTitleLine(std::u16string_view title) {
  titleLine_.assign(title);
  Invalidate(FALSE);
}

// The alternate face shows a toggle that is on: the pressed face belongs to
// the stylus, whose release would take it away again.
void CDlgCurPlaylist::SetShuffleButton(bool pressed) { buttons_[0].SetAlternate(pressed); }

void CDlgCurPlaylist::SetRepeatButton(bool pressed) { buttons_[1].SetAlternate(pressed); }

void CDlgCurPlaylist::ShowAlbumCover(std::u16string_view source) {
  // Handed here on this screen's thread (MSG_ALBUM_COVER).
  if (coverPanel_.Handle() == nullptr) return;
  coverPanel_.SetCover(source);
  coverPanel_.Invalidate(FALSE);
}

void CDlgCurPlaylist::SetLyrics(std::u16string_view text) {
  lyrics_.assign(text);
  // The lyrics view reads the system multibyte code page.
  if (lyricsPanel_.Handle() != nullptr) lyricsPanel_.SetLyrics(ce::WideToMulti(text));
}

void CDlgCurPlaylist::SetLyricsPosition(int32_t seconds) {
  if (lyricsPanel_.Handle() != nullptr) lyricsPanel_.SetPosition(seconds);
}

bool CDlgCurPlaylist::ConfirmYesNo(std::u16string_view question) {
  const std::u16string text(question);
  return ce::MessageBox(Handle(), text.c_str(), kCaption, MB_YESNO) == IDYES;
}

// The playlist and the lyrics panel as the player bar sees them; before the
// playlist exists and after it is gone there is nothing to play.

void CDlgCurPlaylist::BarPlaylist::Stop() {
  if (screen_.playlist_ != nullptr) screen_.playlist_->Stop();
}

int32_t CDlgCurPlaylist::BarPlaylist::SelectedIndex() {
  return screen_.playlist_ != nullptr ? screen_.playlist_->SelectedIndex() : -1;
}

void CDlgCurPlaylist::BarPlaylist::SetCurrent(int32_t index) {
  if (screen_.playlist_ != nullptr) screen_.playlist_->SetCurrent(index);
}

FeedItem CDlgCurPlaylist::BarPlaylist::CurrentItem() {
  return screen_.playlist_ != nullptr ? screen_.playlist_->CurrentItem() : FeedItem{};
}

int CDlgCurPlaylist::BarPlaylist::PlayNextSong() {
  return screen_.playlist_ != nullptr ? screen_.playlist_->PlayNextSong() : 0;
}

int CDlgCurPlaylist::BarPlaylist::PlayPrevSong() {
  return screen_.playlist_ != nullptr ? screen_.playlist_->PlayPrevSong() : 0;
}

void CDlgCurPlaylist::BarPlaylist::SetSongStarted(bool started) {
  if (screen_.playlist_ != nullptr) screen_.playlist_->SetSongStarted(started);
}

int32_t CDlgCurPlaylist::BarPlaylist::Count() {
  return screen_.playlist_ != nullptr ? static_cast<int32_t>(screen_.playlist_->Items().size())
                                      : 0;
}

int32_t CDlgCurPlaylist::BarPlaylist::DisplayMode() {
  return screen_.playlist_ != nullptr ? screen_.playlist_->DisplayMode() : 0;
}

void CDlgCurPlaylist::BarPlaylist::SetDisplayMode(int32_t mode) {
  if (screen_.playlist_ != nullptr) screen_.playlist_->SetDisplayMode(mode);
}
