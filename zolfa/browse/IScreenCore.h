// What the working screens ask of the core controller: additions to the
// current playlist, screen switches and the menu commands that end there,
// the playing entry for the list drawing, and a safe end for the records
// that request workers post to a screen's window.
//
// User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"
#include "zolfa/browse/FeedItem.h"

namespace zolfa {

class IScreenCore {
 public:
  virtual ~IScreenCore() = default;

  // Both end on the current-playlist tab.
  virtual void AddItemsToPlaylist(const std::vector<FeedItem>& list, bool playFirst,
                                  bool replace) = 0;
  virtual void AddItemToPlaylist(const FeedItem& item, bool play) = 0;
  // Adds a personal playlist of that name and shows it on the library tab.
  virtual void SaveAsPersonalPlaylist(std::u16string_view name,
                                      const std::vector<FeedItem>& items) = 0;
  // 0 current playlist, 1 online music, 2 personal library.
  virtual void SelectScreen(int32_t tab) = 0;
  // One of the shared menu commands (switch screens, logout, settings,
  // about); false for any other command.
  virtual bool OnCommand(uint32_t commandId) = 0;

  virtual int32_t CurrentTab() const = 0;
  virtual int32_t NowPlayingIndex() const = 0;
  // The link of the entry now playing; empty when none plays.
  virtual std::u16string NowPlayingLink() const = 0;

  // The screen's window is about to go: from now on no worker posts to it,
  // so what is still queued for it can be freed for good.
  virtual void ScreenWindowClosing(ce::HWND window) = 0;
};

}  // namespace zolfa
