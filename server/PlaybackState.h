// What the ticket, stream, lyrics and album-photo endpoints share: the
// tickets handed out and the drawn album photos. Both keep their own locks.
#pragma once

#include <optional>
#include <string>

#include "server/AlbumPhotos.h"
#include "server/Catalogue.h"
#include "server/TicketStore.h"

namespace zolfa_server {

struct PlaybackState {
  TicketStore tickets;
  AlbumPhotos photos;

  // Whether the album's artist is a genre's compilation.
  static bool IsCompilation(const Catalogue& catalogue, const Album& album) {
    std::optional<Artist> artist = catalogue.FindArtist(album.artistId);
    return artist && artist->compilation;
  }
};

}  // namespace zolfa_server
