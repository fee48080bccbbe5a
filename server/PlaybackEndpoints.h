// Adds the endpoints of playback to a router: song tickets ("/ps1_"),
// streams ("/ps2_"), lyrics ("/ps3_") and album photos
// ("/web_info_photo.php"), sharing one PlaybackState.
#pragma once

#include "server/Router.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

void AddPlaybackEndpoints(Router& router, ServiceContext& context);

}  // namespace zolfa_server
