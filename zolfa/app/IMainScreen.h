// What the core controller asks of the main screen: its tabs and the screens
// it carries.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"
#include "zolfa/app/ICurrentPlaylist.h"
#include "zolfa/app/IPersonalLibraryScreen.h"

namespace zolfa {

// The tabs of the main screen.
constexpr int32_t kTabCurrentPlaylist = 0;
constexpr int32_t kTabOnlineMusic = 1;
constexpr int32_t kTabPersonalLibrary = 2;

class IMainScreen {
 public:
  virtual ~IMainScreen() = default;

  // Stores tab as the current tab and shows it.
  virtual void SelectTab(int32_t tab) = 0;
  virtual int32_t CurrentTab() const = 0;
  // The controller of the current-playlist screen and the personal-library
  // screen; they live as long as the main screen. Null while the main screen
  // carries no such screen.
  virtual ICurrentPlaylist* CurrentPlaylist() = 0;
  virtual IPersonalLibraryScreen* PersonalLibrary() = 0;
  // The browse screen's window, the receiver of the browse messages. Called
  // on request worker threads: the handle must be set before the browse
  // screen queues its first request and not change afterwards.
  virtual ce::HWND BrowseWindow() const = 0;
  // The current-playlist screen's window, the receiver of the album covers
  // that workers find (MSG_ALBUM_COVER). Called on worker threads like
  // BrowseWindow. Null (the default) drops the covers.
  virtual ce::HWND CurrentPlaylistWindow() const { return nullptr; }
};

}  // namespace zolfa
