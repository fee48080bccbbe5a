// The core controller as the current-playlist screen and its player bar see
// it, answering every call with nothing: tests derive from it and record
// what they look at.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "zolfa/browse/IScreenCore.h"
#include "zolfa/library/ICurPlaylistCore.h"
#include "zolfa/playback/IPlayerCore.h"

namespace test_support {

class QuietScreenCore : public zolfa::IScreenCore,
                        public zolfa::ICurPlaylistCore,
                        public zolfa::IPlayerCore {
 public:
  void AddItemsToPlaylist(const std::vector<zolfa::FeedItem>&, bool, bool) override {}
  void AddItemToPlaylist(const zolfa::FeedItem&, bool) override {}
  void SaveAsPersonalPlaylist(std::u16string_view, const std::vector<zolfa::FeedItem>&) override {}
  void SelectScreen(int32_t) override {}
  bool OnCommand(uint32_t) override { return false; }
  int32_t CurrentTab() const override { return 0; }
  int32_t NowPlayingIndex() const override { return -1; }
  std::u16string NowPlayingLink() const override { return {}; }
  void ScreenWindowClosing(ce::HWND) override {}
  void SetNowPlayingFile(std::u16string_view) override {}
  void SetNowPlayingIndex(int32_t) override {}

  int32_t PlayState() const override { return 0; }
  void SetPlayState(int32_t) override {}
  void RequestScreen(int32_t) override {}
  void Logout() override {}
  bool PlaySong(ce::HWND, std::u16string_view) override { return false; }
};

}  // namespace test_support
