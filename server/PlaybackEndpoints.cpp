#include "server/PlaybackEndpoints.h"

#include <memory>

#include "server/AlbumPhotoEndpoint.h"
#include "server/SongLyricsEndpoint.h"
#include "server/SongStreamEndpoint.h"
#include "server/SongTicketEndpoint.h"

namespace zolfa_server {

void AddPlaybackEndpoints(Router& router, ServiceContext& context) {
  auto state = std::make_shared<PlaybackState>();
  router.AddPrefix("/ps1_", std::make_unique<SongTicketEndpoint>(context, state));
  router.AddPrefix("/ps2_", std::make_unique<SongStreamEndpoint>(context, state));
  router.AddPrefix("/ps3_", std::make_unique<SongLyricsEndpoint>(context, state));
  router.AddPath("/web_info_photo.php", std::make_unique<AlbumPhotoEndpoint>(context, state));
}

}  // namespace zolfa_server
