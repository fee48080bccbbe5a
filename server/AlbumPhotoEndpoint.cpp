#include "server/AlbumPhotoEndpoint.h"

#include "server/DeviceQuery.h"
#include "server/SongMedia.h"

namespace zolfa_server {

ServiceReply AlbumPhotoEndpoint::Handle(const ServiceRequest& request) {
  const QueryString& query = request.query;
  std::string error = DeviceQuery::Check(query, {"album_id"}, context_.strict);
  if (error.empty() && !query.Get("album_id")) error = "missing album_id";
  if (!error.empty()) return ServiceReply::Text(400, error + "\n");
  if (!context_.sessions.Use(query.Get("sid").value_or(""))) {
    return ServiceReply::Text(403, "no session\n");
  }
  std::optional<Album> album = context_.catalogue.FindAlbum(*query.Get("album_id"));
  if (const SongMedia* media = context_.catalogue.Media()) {
    std::optional<SongMedia::Picture> cover = album ? media->Cover(*album) : std::nullopt;
    if (!cover) return ServiceReply::Text(404, "no photo\n");
    ServiceReply reply;
    reply.contentType = cover->contentType;
    reply.body = std::move(cover->bytes);
    return reply;
  }
  std::optional<std::string> picture =
      album ? state_->photos.Picture(*album, PlaybackState::IsCompilation(context_.catalogue, *album))
            : std::nullopt;
  if (!picture) return ServiceReply::Text(404, "no photo\n");
  ServiceReply reply;
  reply.contentType = "image/png";
  reply.body = std::move(*picture);
  return reply;
}

}  // namespace zolfa_server
