#include "zolfa/app/CCore.h"

#include <exception>
#include <memory>
#include <utility>

#include "platform/base/CodePage.h"
#include "platform/base/MessageBox.h"
#include "platform/window/Message.h"
#include "zolfa/app/AppendLog.h"
#include "zolfa/app/TopDialogMessages.h"
#include "zolfa/app/ZolfaPaths.h"
#include "zolfa/browse/BrowseMessages.h"
#include "zolfa/library/CurPlaylistMessages.h"
#include "zolfa/playback/PlaySongRequests.h"

namespace zolfa {

namespace {

constexpr char16_t kUnknownFailureText[] = u"unknown exception";

// At most kMaxLoggedTextLength units, never ending in half a surrogate pair.
std::u16string LoggedText(std::u16string text) {
  if (text.size() > kMaxLoggedTextLength) {
    size_t length = kMaxLoggedTextLength;
    if (text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
    text.resize(length);
  }
  return text;
}

ce::WPARAM RequestIdParameter(int32_t requestId) {
  return static_cast<ce::WPARAM>(static_cast<uint32_t>(requestId));
}

}  // namespace

void CCore::AttachMainScreen(IMainScreen& mainScreen) {
  {
    // A new main screen brings windows of its own.
    std::lock_guard lock(mainScreenMutex_);
    closingWindows_.clear();
  }
  currentPlaylist_.store(mainScreen.CurrentPlaylist(), std::memory_order_release);
  mainScreen_.store(&mainScreen, std::memory_order_release);
}

void CCore::DetachMainScreen() {
  std::lock_guard lock(mainScreenMutex_);
  mainScreen_.store(nullptr, std::memory_order_release);
  currentPlaylist_.store(nullptr, std::memory_order_release);
}

void CCore::AttachTopDialog(ITopDialog& topDialog) { topDialog_ = &topDialog; }

void CCore::DetachTopDialog() { topDialog_ = nullptr; }

void CCore::AttachRequests(IBrowseQueue& browseQueue, CBackupImport& backupImport) {
  browseQueue_.target = &browseQueue;
  backupImport_ = &backupImport;
}

IBrowseQueue& CCore::BrowseQueue() { return browseQueue_; }

void CCore::SetAboutLauncher(std::function<void()> launcher) {
  aboutLauncher_ = std::move(launcher);
}

void CCore::SelectScreen(int32_t tab) {
  if (IMainScreen* main = MainScreen()) main->SelectTab(tab);
}

void CCore::RequestScreen(int32_t screen) {
  requestedScreen_ = screen;
  if (topDialog_ != nullptr) topDialog_->ShowScreen(screen);
}

int32_t CCore::CurrentTab() const {
  IMainScreen* main = MainScreen();
  return main != nullptr ? main->CurrentTab() : kTabCurrentPlaylist;
}

void CCore::AddItemsToPlaylist(const std::vector<FeedItem>& list, bool playFirst, bool replace) {
  // A failure of the playlist or the screens must not end the program: it is
  // logged and the user sees nothing.
  std::u16string failure;
  try {
    if (ICurrentPlaylist* playlist = CurrentPlaylist()) {
      playlist->AddItems(list, playFirst, replace);
    }
    SelectScreen(kTabCurrentPlaylist);
    return;
  } catch (const std::exception& e) {
    failure = ce::FromUtf8(e.what());
  } catch (...) {
    failure = kUnknownFailureText;
  }
  AppendLog(kCoreLogFileName, LoggedText(std::move(failure)), true);
}

void CCore::AddItemToPlaylist(const FeedItem& item, bool play) {
  if (ICurrentPlaylist* playlist = CurrentPlaylist()) playlist->AddItem(item, play);
  SelectScreen(kTabCurrentPlaylist);
}

void CCore::SaveAsPersonalPlaylist(std::u16string_view name, const std::vector<FeedItem>& items) {
  IMainScreen* main = MainScreen();
  if (IPersonalLibraryScreen* library = main != nullptr ? main->PersonalLibrary() : nullptr) {
    library->AddPlaylist(name, items);
    library->SelectLastPlaylist();
  }
  SelectScreen(kTabPersonalLibrary);
}

void CCore::SetNowPlayingFile(std::u16string_view path) { nowPlayingFile_ = path; }

void CCore::SetNowPlayingIndex(int32_t index) {
  nowPlayingIndex_.store(index, std::memory_order_relaxed);
}

void CCore::SetPlayState(int32_t state) {
  const bool known = state >= kPlayStateOther && state <= kPlayStatePlaying;
  playState_.store(known ? state : kPlayStateOther, std::memory_order_relaxed);
}

void CCore::PlayNext() {
  if (ICurrentPlaylist* playlist = CurrentPlaylist()) playlist->PlayNextSong();
}

bool CCore::PlaySong(ce::HWND requester, std::u16string_view songId) {
  if (tickets_ == nullptr) return false;
  tickets_->PlaySong(requester, songId);
  return true;
}

void CCore::SetAlbumCover(std::u16string_view source) {
  // The playlist lives and dies with its screen on the user-interface
  // thread; a photo worker may still run when it goes. The cover travels as
  // a message, which a window that is gone never receives.
  PostRecord(Receiver::kCurrentPlaylist, MSG_ALBUM_COVER, 0,
             std::make_unique<std::u16string>(source));
}

std::u16string CCore::NowPlayingLink() const {
  ICurrentPlaylist* playlist = CurrentPlaylist();
  return playlist != nullptr ? playlist->PlayingLink() : std::u16string();
}

void CCore::PostBrowseItem(int32_t requestId, std::u16string_view title, std::u16string_view link,
                           std::u16string_view category) {
  // The worker's strings end with the worker, so the item is a copy.
  PostRecord(Receiver::kBrowse, MSG_BROWSE_ITEM, RequestIdParameter(requestId),
             std::make_unique<FeedItem>(FeedItem{std::u16string(title), std::u16string(link),
                                                 std::u16string(category)}));
}

void CCore::PostBrowseEnd(int32_t requestId) {
  std::lock_guard lock(mainScreenMutex_);
  ce::HWND window = ReceiverWindow(Receiver::kBrowse);
  if (window != nullptr) ce::PostMessage(window, MSG_BROWSE_END, RequestIdParameter(requestId), 0);
}

template <class T>
void CCore::PostRecord(Receiver receiver, ce::UINT message, ce::WPARAM wParam,
                       std::unique_ptr<T> record) {
  // Posting under the lock: a screen that announced its closing has nothing
  // queued after it freed what was there.
  std::lock_guard lock(mainScreenMutex_);
  // A null window would post to the worker's own queue, where nobody reads.
  ce::HWND window = ReceiverWindow(receiver);
  if (window == nullptr) return;
  if (ce::PostMessage(window, message, wParam, reinterpret_cast<ce::LPARAM>(record.get()))) {
    record.release();  // the screen owns it now
  }
}

ce::HWND CCore::ReceiverWindow(Receiver receiver) const {
  IMainScreen* main = MainScreen();
  if (main == nullptr) return nullptr;
  ce::HWND window =
      receiver == Receiver::kBrowse ? main->BrowseWindow() : main->CurrentPlaylistWindow();
  for (ce::HWND closing : closingWindows_) {
    if (closing == window) return nullptr;
  }
  return window;
}

void CCore::ScreenWindowClosing(ce::HWND window) {
  std::lock_guard lock(mainScreenMutex_);
  closingWindows_.push_back(window);
}

void CCore::Logout() {
  if (topDialog_ != nullptr) ce::SendMessage(topDialog_->Window(), MSG_LOGOUT, 0, 0);
}

void CCore::ShowSettings() {
  ce::HWND owner = topDialog_ != nullptr ? topDialog_->Window() : nullptr;
  ce::MessageBox(owner, kSettingsBoxText, kApplicationName, ce::MB_OK);
}

void CCore::ShowAbout() {
  if (aboutLauncher_) aboutLauncher_();
}

bool CCore::OnCommand(uint32_t commandId) {
  switch (commandId) {
    case kCmdShowCurrentPlaylist:
      SelectScreen(kTabCurrentPlaylist);
      return true;
    case kCmdShowOnlineMusic:
      SelectScreen(kTabOnlineMusic);
      return true;
    case kCmdShowPersonalLibrary:
      SelectScreen(kTabPersonalLibrary);
      return true;
    case kCmdLogout:
      Logout();
      return true;
    case kCmdSettings:
      ShowSettings();
      return true;
    case kCmdAbout:
      ShowAbout();
      return true;
    default:
      return false;
  }
}

}  // namespace zolfa
