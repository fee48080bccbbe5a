#include "zolfa/app/CurPlaylistAdapter.h"

namespace zolfa {

void CurPlaylistAdapter::AddItems(const std::vector<FeedItem>& list, bool playFirst,
                                  bool replace) {
  playlist_.AddItems(list, playFirst, replace);
}

void CurPlaylistAdapter::AddItem(const FeedItem& item, bool play) { playlist_.AddItem(item, play); }

int CurPlaylistAdapter::PlayNextSong() { return playlist_.PlayNextSong(); }

void CurPlaylistAdapter::Stop() { playlist_.Stop(); }

void CurPlaylistAdapter::SaveState() { playlist_.SaveState(); }

void CurPlaylistAdapter::SetAlbumCover(std::u16string_view source) {
  playlist_.SetAlbumCover(source);
}

std::u16string CurPlaylistAdapter::PlayingLink() const {
  const int32_t current = playlist_.CurrentIndex();
  const std::vector<FeedItem>& items = playlist_.Items();
  if (current < 0 || current >= static_cast<int32_t>(items.size())) return {};
  return items[current].link;
}

}  // namespace zolfa
