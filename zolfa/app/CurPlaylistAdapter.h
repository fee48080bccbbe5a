// The current playlist controller as the core controller sees it. The main
// screen hands this out for the controller of its current-playlist screen.
#pragma once

#include "zolfa/app/ICurrentPlaylist.h"
#include "zolfa/library/CCoreCurPlaylist.h"

namespace zolfa {

class CurPlaylistAdapter final : public ICurrentPlaylist {
 public:
  // The playlist must outlive the adapter.
  explicit CurPlaylistAdapter(CCoreCurPlaylist& playlist) : playlist_(playlist) {}

  void AddItems(const std::vector<FeedItem>& list, bool playFirst, bool replace) override;
  void AddItem(const FeedItem& item, bool play) override;
  int PlayNextSong() override;
  void Stop() override;
  void SaveState() override;
  void SetAlbumCover(std::u16string_view source) override;
  std::u16string PlayingLink() const override;

  // The whole controller, for the screens and the player that need more.
  CCoreCurPlaylist& Controller() { return playlist_; }

 private:
  CCoreCurPlaylist& playlist_;
};

}  // namespace zolfa
