// "/web_info_photo.php?album_id=ID&<device>" answers the album's cover
// photo (PNG). 404 for an unknown album or one without a photo, 403 for an
// unknown or ended session.
#pragma once

#include <memory>

#include "server/Endpoint.h"
#include "server/PlaybackState.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class AlbumPhotoEndpoint : public Endpoint {
 public:
  AlbumPhotoEndpoint(ServiceContext& context, std::shared_ptr<PlaybackState> state)
      : context_(context), state_(std::move(state)) {}
  ServiceReply Handle(const ServiceRequest& request) override;

 private:
  ServiceContext& context_;
  std::shared_ptr<PlaybackState> state_;
};

}  // namespace zolfa_server
