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

}  // namespace zolfa
