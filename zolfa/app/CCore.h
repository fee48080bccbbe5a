// The core controller: the one process-wide object through which screens,
// request workers and media events reach each other without holding
// references to one another.
//
// It knows the main screen (and through it the current playlist and the
// personal-library screen) and the top-level dialog, keeps the values that
// several screens read (the playing entry, the play state), turns the menu
// commands of all screens into screen switches, playlist additions, logout,
// settings and about, and posts browse results to the browse screen.
//
// Threads: every operation runs on the user interface thread except
// PostBrowseItem, PostBrowseEnd and SetAlbumCover, which request workers
// call. Those only post to a screen's window, under the lock that the
// detaching main screen and a closing screen window take, so a worker never
// reaches a screen that is gone, and the cover reaches the current playlist
// on its own thread. The play state and the playing index are relaxed
// 32-bit atomics.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "zolfa/app/ICurrentPlaylist.h"
#include "zolfa/app/IMainScreen.h"
#include "zolfa/app/ITopDialog.h"
#include "zolfa/browse/FeedItem.h"
#include "zolfa/browse/IBrowsePoster.h"
#include "zolfa/browse/IBrowseQueue.h"
#include "zolfa/browse/IScreenCore.h"
#include "zolfa/library/CBackupImport.h"
#include "zolfa/library/ICurPlaylistCore.h"
#include "zolfa/playback/IAlbumCoverSink.h"
#include "zolfa/playback/IPlayerCore.h"

namespace zolfa {

class PlaySongRequests;

// Menu commands of the working screens that end in the core controller.
constexpr uint32_t kCmdShowCurrentPlaylist = 32829;  // "切換到播放清單"
constexpr uint32_t kCmdShowOnlineMusic = 32841;      // "切換到線上音樂台"
constexpr uint32_t kCmdShowPersonalLibrary = 32842;  // "切換到個人音樂庫"
constexpr uint32_t kCmdLogout = 32843;               // "登出"
constexpr uint32_t kCmdSettings = 32844;             // "設定"
constexpr uint32_t kCmdAbout = 32845;                // "關於"

// The longest exception text written to the log, in UTF-16 units.
constexpr size_t kMaxLoggedTextLength = 255;

inline constexpr char16_t kSettingsBoxText[] = u"Setting Dialog";
inline constexpr char16_t kApplicationName[] = u"ZOLFA";

class CCore : public ICurPlaylistCore,
              public IBrowsePoster,
              public IScreenCore,
              public IAlbumCoverSink,
              public IPlayerCore {
 public:
  CCore() = default;
  CCore(const CCore&) = delete;
  CCore& operator=(const CCore&) = delete;

  // Remembers the main screen and its current playlist; runs when the main
  // screen is first initialised. Until then the screen and playlist
  // operations do nothing.
  void AttachMainScreen(IMainScreen& mainScreen);
  // Forgets the main screen; its destructor calls this. Browse workers may
  // answer after the screen is gone (they stop with the service manager,
  // which outlives the screens): they then find no browse window instead of
  // a freed screen.
  void DetachMainScreen();
  void AttachTopDialog(ITopDialog& topDialog);
  // Forgets the top-level dialog; its destructor calls this.
  void DetachTopDialog();
  // The requests the screens start: the browse requests and the backup
  // import, which outlive the screens. Until they are attached the browse
  // screen's requests are refused as when logged out, and there is no
  // import.
  void AttachRequests(IBrowseQueue& browseQueue, CBackupImport& backupImport);
  IBrowseQueue& BrowseQueue();
  CBackupImport* BackupImport() { return backupImport_; }
  // The song-ticket requests the player screen starts; they outlive the
  // screens. Null until attached.
  void AttachTickets(PlaySongRequests& tickets) { tickets_ = &tickets; }
  PlaySongRequests* Tickets() { return tickets_; }
  bool PlaySong(ce::HWND requester, std::u16string_view songId) override;
  // Shows the about dialog modally; until one is set ShowAbout does nothing.
  void SetAboutLauncher(std::function<void()> launcher);

  // Screens.
  void SelectScreen(int32_t tab) override;
  void RequestScreen(int32_t screen) override;
  int32_t RequestedScreen() const { return requestedScreen_; }
  int32_t CurrentTab() const override;

  // Additions to the current playlist; both end on the current-playlist tab.
  // A failure while adding is written to "ZolfaCE.log" and goes no further.
  void AddItemsToPlaylist(const std::vector<FeedItem>& list, bool playFirst,
                          bool replace) override;
  void AddItemToPlaylist(const FeedItem& item, bool play) override;
  void SaveAsPersonalPlaylist(std::u16string_view name,
                              const std::vector<FeedItem>& items) override;

  // The playing entry, as the current playlist reports it.
  void SetNowPlayingFile(std::u16string_view path) override;
  const std::u16string& NowPlayingFile() const { return nowPlayingFile_; }
  void SetNowPlayingIndex(int32_t index) override;
  int32_t NowPlayingIndex() const override {
    return nowPlayingIndex_.load(std::memory_order_relaxed);
  }
  std::u16string NowPlayingLink() const override;

  // Play state: 1 stopped, 2 paused, 3 playing; any other value is kept as 0.
  void SetPlayState(int32_t state) override;
  int32_t PlayState() const override { return playState_.load(std::memory_order_relaxed); }

  void PlayNext();
  // Null until the main screen is attached.
  ICurrentPlaylist* CurrentPlaylist() const {
    return currentPlaylist_.load(std::memory_order_acquire);
  }
  // The cover source from the song-ticket and album-photo workers: posted
  // to the current-playlist screen (MSG_ALBUM_COVER), which hands it to its
  // playlist; any thread.
  void SetAlbumCover(std::u16string_view source) override;

  // Posts MSG_BROWSE_ITEM with a new FeedItem (the browse screen frees it)
  // and MSG_BROWSE_END to the browse screen. An item that cannot be posted
  // is freed here.
  void PostBrowseItem(int32_t requestId, std::u16string_view title, std::u16string_view link,
                      std::u16string_view category) override;
  void PostBrowseEnd(int32_t requestId) override;

  // Sends MSG_LOGOUT to the top-level dialog, which logs out.
  void Logout() override;
  void ShowSettings();
  void ShowAbout();

  // Carries out one of the menu commands above; false for any other.
  bool OnCommand(uint32_t commandId) override;

  // No worker posts to window once this returns.
  void ScreenWindowClosing(ce::HWND window) override;

 private:
  IMainScreen* MainScreen() const { return mainScreen_.load(std::memory_order_acquire); }
  // Posts message with a record the receiver frees to the window that pick
  // names on the main screen; frees the record when there is no such window
  // or it takes nothing. Workers call it.
  enum class Receiver { kBrowse, kCurrentPlaylist };
  template <class T>
  void PostRecord(Receiver receiver, ce::UINT message, ce::WPARAM wParam,
                  std::unique_ptr<T> record);
  // Under mainScreenMutex_: the receiver's window, null when there is none
  // or it is closing.
  ce::HWND ReceiverWindow(Receiver receiver) const;

  // Fields in their declared order.
  int32_t requestedScreen_ = 0;
  std::atomic<IMainScreen*> mainScreen_{nullptr};
  // Held by a worker while it posts to a screen's window, and by
  // DetachMainScreen and ScreenWindowClosing.
  mutable std::mutex mainScreenMutex_;
  std::vector<ce::HWND> closingWindows_;  // guarded by mainScreenMutex_
  std::atomic<ICurrentPlaylist*> currentPlaylist_{nullptr};
  std::u16string nowPlayingFile_;
  std::atomic<int32_t> nowPlayingIndex_{0};
  std::atomic<int32_t> playState_{0};

  ITopDialog* topDialog_ = nullptr;
  // Forwards to the attached browse requests, or refuses.
  class RequestQueue : public IBrowseQueue {
   public:
    int32_t QueueBrowseRequest(int32_t kind, const BrowseParameters& parameters) override {
      return target != nullptr ? target->QueueBrowseRequest(kind, parameters) : -1;
    }
    IBrowseQueue* target = nullptr;
  };
  RequestQueue browseQueue_;
  CBackupImport* backupImport_ = nullptr;
  PlaySongRequests* tickets_ = nullptr;
  std::function<void()> aboutLauncher_;
};

}  // namespace zolfa
