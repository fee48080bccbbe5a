#include "zolfa/library/CDlgPersonalLib.h"

#include <string>

#include "platform/base/MessageBox.h"
#include "platform/controls/ListView.h"
#include "platform/framework/Dc.h"
#include "platform/framework/Menu.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Gesture.h"
#include "platform/shell/MenuBar.h"
#include "platform/window/Keys.h"
#include "platform/window/Paint.h"
#include "zolfa/library/CDlgImport.h"
#include "zolfa/library/CDlgRename.h"

using namespace ce;
using zolfa::FeedItem;
using zolfa::kLibraryViewPlaylists;
using zolfa::kLibraryViewSongs;
using Direction = zolfa::CPersonalLibrary::Direction;

namespace {

constexpr UINT kActionKey = 134;
constexpr char16_t kCaption[] = u"ZOLFA";
constexpr char16_t kInitialHeader[] = u"歌單列表";
constexpr UINT kUpPicture = 191;
constexpr UINT kDownPicture = 192;
constexpr UINT kDeletePicture = 193;
constexpr UINT kRenamePicture = 211;
constexpr UINT kBackPicture = 221;
constexpr int kBandCorner = 8;

std::u16string Counted(const char16_t* format, int count) {
  std::u16string text(format);
  const size_t at = text.find(u"%d");
  const std::string digits = std::to_string(count);
  if (at != std::u16string::npos) text.replace(at, 2, std::u16string(digits.begin(), digits.end()));
  return text;
}

std::u16string Question(const char16_t* format, const std::u16string& name) {
  std::u16string text(format);
  const size_t at = text.find(u"%s");
  if (at != std::u16string::npos) text.replace(at, 2, name);
  return text;
}

}  // namespace

CDlgPersonalLib::CDlgPersonalLib(zolfa::IScreenCore& core, zolfa::CBackupImport* import,
                                 Window* parent)
    : CTabScreen(kTemplateId, parent), core_(core), import_(import), library_(*this) {}

CDlgPersonalLib::~CDlgPersonalLib() = default;

BOOL CDlgPersonalLib::OnInitDialog() {
  header_ = kInitialHeader;
  playlists_.Attach(kPlaylistList, Handle());
  songs_.Attach(kSongList, Handle());
  upButton_.SubclassDlgItem(kUpButton, Handle());
  upButton_.SetImage(kUpPicture);
  downButton_.SubclassDlgItem(kDownButton, Handle());
  downButton_.SetImage(kDownPicture);
  deleteButton_.SubclassDlgItem(kDeleteButton, Handle());
  deleteButton_.SetImage(kDeletePicture);
  renameButton_.SubclassDlgItem(kRenameButton, Handle());
  renameButton_.SetImage(kRenamePicture);
  backButton_.SubclassDlgItem(kBackButton, Handle());
  backButton_.SetImage(kBackPicture);
  for (auto [id, bar] : {std::pair{kPlaylistsMenuBar, &playlistsBar_},
                         std::pair{kSongsMenuBar, &songsBar_}}) {
    SHMENUBARINFO info;
    info.hwndParent = Handle();
    info.dwFlags = SHCMBF_HIDDEN;
    info.nToolBarId = id;
    if (SHCreateMenuBar(&info)) *bar = info.hwndMB;
  }
  Place();
  RebuildPlaylistList();
  ShowView(kLibraryViewPlaylists);
  Select(0);
  return FALSE;
}

void CDlgPersonalLib::Place() {
  const RECT client = GetClientRect();
  upButton_.MoveWindow(0, 0, kButtonWidth, kButtonHeight);
  downButton_.MoveWindow(kButtonWidth, 0, kButtonWidth, kButtonHeight);
  deleteButton_.MoveWindow(2 * kButtonWidth, 0, kButtonWidth, kButtonHeight);
  renameButton_.MoveWindow(3 * kButtonWidth, 0, kButtonWidth, kButtonHeight);
  backButton_.MoveWindow(client.right - kBackFromRight, kBandTop, kBackWidth, kBackHeight);
  for (CListCtrlPLib* list : {&playlists_, &songs_}) {
    list->MoveWindow(0, kBandBottom, client.right, client.bottom - kBandBottom);
    list->FitColumn();
  }
}

void CDlgPersonalLib::OnSize(UINT type, int width, int height) {
  CTabScreen::OnSize(type, width, height);
  if (playlists_.Handle() == nullptr) return;
  Place();
  // A turned screen: the column follows the screen's width.
  for (CListCtrlPLib* list : {&playlists_, &songs_}) {
    list->SetColumnWidth(0, width - CListCtrlPLib::kNarrowerThanScreen);
  }
}

void CDlgPersonalLib::SetActive(bool active) {
  CTabScreen::SetActive(active);
  if (playlistsBar_ != nullptr) {
    ce::ShowWindow(playlistsBar_, active && view_ == kLibraryViewPlaylists ? SW_SHOW : SW_HIDE);
  }
  if (songsBar_ != nullptr) {
    ce::ShowWindow(songsBar_, active && view_ == kLibraryViewSongs ? SW_SHOW : SW_HIDE);
  }
  if (active) VisibleList().Invalidate(FALSE);
}

void CDlgPersonalLib::SetHeader(std::u16string header) {
  header_ = std::move(header);
  RECT band{0, kBandTop, GetClientRect().right, kBandBottom};
  InvalidateRect(Handle(), &band, FALSE);
}

void CDlgPersonalLib::ShowView(int32_t view) {
  view_ = view;
  const bool songs = view == kLibraryViewSongs;
  playlists_.ShowWindow(songs ? SW_HIDE : SW_SHOW);
  songs_.ShowWindow(songs ? SW_SHOW : SW_HIDE);
  renameButton_.ShowWindow(songs ? SW_HIDE : SW_SHOW);
  backButton_.ShowWindow(songs ? SW_SHOW : SW_HIDE);
  if (Active()) SetActive(true);
  VisibleList().SetFocus();
}

void CDlgPersonalLib::Select(int row) {
  selectedRow_ = row;
  VisibleList().SelectRow(row);
  UpdateButtons();
}

void CDlgPersonalLib::UpdateButtons() {
  const zolfa::LibraryEnabling e =
      zolfa::LibraryEnablingFor(view_, selectedRow_, VisibleList().GetItemCount());
  upButton_.EnableWindow(e.moveUp);
  downButton_.EnableWindow(e.moveDown);
  deleteButton_.EnableWindow(e.remove);
  renameButton_.EnableWindow(e.rename);
  if (view_ == kLibraryViewPlaylists && selectedRow_ >= 0 &&
      selectedRow_ < playlists_.GetItemCount()) {
    openPlaylistId_ = static_cast<int32_t>(playlists_.GetItemData(selectedRow_));
  }
}

// IPersonalLibraryOwner.

void CDlgPersonalLib::RebuildPlaylistList() {
  if (playlists_.Handle() == nullptr) return;
  playlists_.DeleteAllItems();
  for (const auto& playlist : library_.Playlists()) {
    playlists_.AddRow(playlist->name, static_cast<LPARAM>(playlist->id));
  }
  playlists_.FitColumn();
  SetHeader(Counted(u"全部歌單(%d)", library_.Count()));
}

void CDlgPersonalLib::SelectPlaylistRow(int32_t row) {
  if (view_ == kLibraryViewPlaylists) Select(row);
}

void CDlgPersonalLib::Repaint() { Invalidate(FALSE); }

void CDlgPersonalLib::AddPlaylist(std::u16string_view name, const std::vector<FeedItem>& items) {
  library_.AddPlaylist(name, items);
}

void CDlgPersonalLib::SelectLastPlaylist() {
  ShowView(kLibraryViewPlaylists);
  Select(playlists_.GetItemCount() - 1);
  OpenPlaylist(playlists_.GetItemCount() - 1);
}

void CDlgPersonalLib::OpenPlaylist(int row) {
  if (row < 0 || row >= playlists_.GetItemCount()) return;
  openPlaylistId_ = static_cast<int32_t>(playlists_.GetItemData(row));
  SetHeader(playlists_.GetItemText(row, 0));
  ShowView(kLibraryViewSongs);
  FillSongs(-1);
}

void CDlgPersonalLib::FillSongs(int selectRow) {
  songs_.DeleteAllItems();
  const int32_t position = OpenPosition();
  if (position >= 0) {
    for (const zolfa::LibrarySong& song : library_.Playlist(position).songs) {
      songs_.AddRow(song.songName, static_cast<LPARAM>(song.songId));
    }
  }
  songs_.FitColumn();
  // With no row chosen the four buttons wait for a song row.
  Select(selectRow);
}

BOOL CDlgPersonalLib::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  if (lParam != 0 && HIWORD(wParam) != BN_CLICKED) return CTabScreen::OnCommand(wParam, lParam);
  const bool playlists = view_ == kLibraryViewPlaylists;
  switch (id) {
    case kCmdPlayPlaylist:
      if (playlists) PlaySelectedPlaylist(true);
      return TRUE;
    case kCmdAppendPlaylist:
      if (playlists) PlaySelectedPlaylist(false);
      return TRUE;
    case kCmdPlayAll:
    case kCmdPlay:
    case kCmdPlaySong:
      if (!playlists) PlayOpen(true);
      return TRUE;
    case kCmdAppendAll:
      if (!playlists) PlayOpen(false);
      return TRUE;
    case kCmdAppendSong:
    case kCmdAppendSongBar:
      if (!playlists) AppendSelectedSong(false);
      return TRUE;
    case kCmdUp:
    case kUpButton:
      Move(Direction::kUp);
      return TRUE;
    case kCmdDown:
    case kDownButton:
      Move(Direction::kDown);
      return TRUE;
    case kCmdDelete:
    case kDeleteButton:
      Delete();
      return TRUE;
    case kRenameButton:
      if (playlists) Rename();
      return TRUE;
    case kBackButton:
      if (!playlists) Back();
      return TRUE;
    case kCmdImport:
      if (playlists) Import();
      return TRUE;
    default:
      break;
  }
  if (lParam == 0 && core_.OnCommand(id)) return TRUE;
  return CTabScreen::OnCommand(wParam, lParam);
}

void CDlgPersonalLib::PlaySelectedPlaylist(bool play) {
  if (selectedRow_ < 0 || selectedRow_ >= library_.Count()) return;
  core_.AddItemsToPlaylist(library_.PlaylistItems(selectedRow_), play, play);
}

void CDlgPersonalLib::PlayOpen(bool play) {
  const int32_t position = OpenPosition();
  if (position < 0) return;
  core_.AddItemsToPlaylist(library_.PlaylistItems(position), play, play);
}

void CDlgPersonalLib::AppendSelectedSong(bool play) {
  const int32_t position = OpenPosition();
  if (position < 0) return;
  std::vector<FeedItem> items = library_.PlaylistItems(position);
  if (selectedRow_ < 0 || selectedRow_ >= static_cast<int32_t>(items.size())) return;
  core_.AddItemToPlaylist(items[static_cast<size_t>(selectedRow_)], play);
}

void CDlgPersonalLib::Move(Direction direction) {
  const zolfa::LibraryEnabling e =
      zolfa::LibraryEnablingFor(view_, selectedRow_, VisibleList().GetItemCount());
  if (!(direction == Direction::kUp ? e.moveUp : e.moveDown)) return;
  const int target = direction == Direction::kUp ? selectedRow_ - 1 : selectedRow_ + 1;
  CListCtrlPLib& list = VisibleList();
  if (view_ == kLibraryViewPlaylists) {
    library_.MovePlaylist(selectedRow_, direction);
    for (int row : {selectedRow_, target}) {
      const zolfa::LibraryPlaylist& playlist = library_.Playlist(row);
      list.SetItemText(row, 0, playlist.name);
      list.SetItemData(row, static_cast<LPARAM>(playlist.id));
    }
  } else {
    const int32_t position = OpenPosition();
    if (position < 0) return;
    library_.MoveSong(position, selectedRow_, direction);
    const auto& songs = library_.Playlist(position).songs;
    for (int row : {selectedRow_, target}) {
      list.SetItemText(row, 0, songs[static_cast<size_t>(row)].songName);
      list.SetItemData(row, static_cast<LPARAM>(songs[static_cast<size_t>(row)].songId));
    }
  }
  Select(target);
}

void CDlgPersonalLib::Delete() {
  if (view_ == kLibraryViewPlaylists) {
    if (!zolfa::LibraryEnablingFor(view_, selectedRow_, playlists_.GetItemCount()).remove) return;
    const std::u16string text =
        Question(u"確定要刪除歌單: %s ? ", playlists_.GetItemText(selectedRow_, 0));
    if (ce::MessageBox(Handle(), text.c_str(), kCaption, MB_YESNO) != IDYES) return;
    const int row = selectedRow_;
    library_.DeletePlaylist(row);
    playlists_.DeleteItem(row);
    const int count = playlists_.GetItemCount();
    Select(row < count ? row : count - 1);
    return;
  }
  if (songs_.GetItemCount() == 0 || selectedRow_ < 0) {
    UpdateButtons();
    return;
  }
  const std::u16string text =
      Question(u"確定要刪除歌曲: %s ? ", songs_.GetItemText(selectedRow_, 0));
  if (ce::MessageBox(Handle(), text.c_str(), kCaption, MB_YESNO) != IDYES) return;
  const int row = selectedRow_;
  library_.DeleteSong(OpenPosition(), row);
  const int32_t position = OpenPosition();
  const int count =
      position >= 0 ? static_cast<int>(library_.Playlist(position).songs.size()) : 0;
  FillSongs(count == 0 ? -1 : (row < count ? row : count - 1));
}

void CDlgPersonalLib::Rename() {
  if (!zolfa::LibraryEnablingFor(view_, selectedRow_, playlists_.GetItemCount()).rename) return;
  CDlgRename dialog(playlists_.GetItemText(selectedRow_, 0), this);
  if (dialog.DoModal() != IDOK) return;
  library_.RenamePlaylist(library_.FindPlaylist(openPlaylistId_), dialog.Name());
  playlists_.SetItemText(selectedRow_, 0, dialog.Name());
}

void CDlgPersonalLib::Import() {
  if (import_ == nullptr) return;
  CDlgImport dialog(*import_, library_, this);
  dialog.DoModal();
}

void CDlgPersonalLib::Back() {
  ShowView(kLibraryViewPlaylists);
  SetHeader(Counted(u"歌單列表(%d)", library_.Count()));
  Select(std::max(0, library_.FindPlaylist(openPlaylistId_)));
}

BOOL CDlgPersonalLib::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header != nullptr && (header->hwndFrom == playlists_.Handle() ||
                            header->hwndFrom == songs_.Handle())) {
    OnListNotify(header->hwndFrom == songs_.Handle() ? songs_ : playlists_, header);
    *result = 0;
    return TRUE;
  }
  return CTabScreen::OnNotify(wParam, lParam, result);
}

void CDlgPersonalLib::OnListNotify(CListCtrlPLib& list, NMHDR* header) {
  const bool songs = &list == &songs_;
  switch (header->code) {
    case NM_CLICK: {
      auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
      if (list.ConsumeHold()) return;
      if (click->iItem < 0) return;
      Select(click->iItem);
      if (songs) {
        AppendSelectedSong(true);
      } else {
        OpenPlaylist(click->iItem);
      }
      break;
    }
    case LVN_ITEMCHANGED:
      selectedRow_ = list.SelectedRow();
      UpdateButtons();
      break;
    case LVN_KEYDOWN: {
      const WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
      if (key == kActionKey && list.SelectedRow() >= 0) {
        if (songs) {
          AppendSelectedSong(true);
        } else {
          OpenPlaylist(list.SelectedRow());
        }
      } else if (key == VK_LEFT && songs) {
        Back();
      }
      break;
    }
    case GN_CONTEXTMENU: {
      auto* gesture = reinterpret_cast<NMRGINFO*>(header);
      POINT client = gesture->ptAction;
      ScreenToClient(list.Handle(), &client);
      ShowContextMenu(list.HitTest(client), gesture->ptAction);
      break;
    }
    default:
      break;
  }
}

void CDlgPersonalLib::ShowContextMenu(int row, POINT screenPoint) {
  UINT id = kPlaylistContextMenu;
  if (view_ == kLibraryViewSongs) {
    id = row >= 0 ? kSongContextMenu : kBlankSongsContextMenu;
  } else if (row < 0) {
    return;
  }
  if (row >= 0) Select(row);
  Menu menu;
  if (!menu.LoadMenu(id)) return;
  HMENU popup = menu.GetSubMenu(0);
  if (popup == nullptr) return;
  EnableMenu(popup);
  TrackPopupMenu(popup, TPM_LEFTALIGN, screenPoint.x, screenPoint.y, 0, Handle(), nullptr);
}

void CDlgPersonalLib::EnableMenu(HMENU menu) {
  const zolfa::LibraryEnabling e =
      zolfa::LibraryEnablingFor(view_, selectedRow_, VisibleList().GetItemCount());
  auto set = [menu](UINT id, bool enabled) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  };
  set(kCmdUp, e.moveUp);
  set(kCmdDown, e.moveDown);
  set(kCmdDelete, e.remove);
  if (view_ == kLibraryViewPlaylists) {
    set(kCmdPlayPlaylist, e.selectionCommands);
    set(kCmdAppendPlaylist, e.selectionCommands);
  } else {
    set(kCmdPlaySong, e.selectionCommands);
    set(kCmdAppendSongBar, e.selectionCommands);
    set(kCmdAppendSong, e.selectionCommands);
  }
}

bool CDlgPersonalLib::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_INITMENUPOPUP) {
    EnableMenu(reinterpret_cast<HMENU>(wParam));
    *result = 0;
    return true;
  }
  return CTabScreen::OnMessage(message, wParam, lParam, result);
}

BOOL CDlgPersonalLib::OnEraseBkgnd(HDC) { return TRUE; }

void CDlgPersonalLib::OnPaint() {
  PaintDc dc(Handle());
  const RECT client = GetClientRect();
  HBRUSH background = CreateSolidBrush(kBackground);
  FillRect(dc, &client, background);
  DeleteObject(background);
  HPEN pen = CreatePen(PS_SOLID, 1, kBandPen);
  HBRUSH fill = CreateSolidBrush(kBandFill);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  RoundRect(dc, 0, kBandTop, client.right, kBandBottom, kBandCorner, kBandCorner);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(fill);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kHeaderText);
  RECT text{kHeaderTextX, kBandTop, client.right - kHeaderTextFromRight, kBandBottom};
  DrawText(dc, header_.c_str(), static_cast<int>(header_.size()), &text,
           DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void CDlgPersonalLib::OnDestroy() {
  if (library_.Modified()) library_.SaveLibrary();
  for (HWND* bar : {&playlistsBar_, &songsBar_}) {
    if (*bar != nullptr && IsWindow(*bar)) ce::DestroyWindow(*bar);
    *bar = nullptr;
  }
  CTabScreen::OnDestroy();
}
