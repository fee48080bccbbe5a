#include "server/SongStreamEndpoint.h"

#include "server/PlayPath.h"
#include "server/ToneWave.h"

namespace zolfa_server {

ServiceReply SongStreamEndpoint::Handle(const ServiceRequest& request) {
  PlayPath path;
  std::string error = PlayPath::Parse(request.path, request.target, context_.strict, &path);
  if (!error.empty()) return ServiceReply::Text(400, error + "\n");
  std::optional<std::string> songId = state_->tickets.SongOf(path.name, path.sid);
  std::optional<Song> song = songId ? context_.catalogue.FindSong(*songId) : std::nullopt;
  if (!song) return ServiceReply::Text(404, "no ticket " + path.name + " for this session\n");
  ServiceReply reply;
  reply.contentType = "audio/wav";
  reply.body = ToneWave::ForSong(song->id, song->durationSeconds);
  return reply;
}

}  // namespace zolfa_server
