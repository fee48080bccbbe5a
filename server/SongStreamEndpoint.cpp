#include "server/SongStreamEndpoint.h"

#include "server/PlayPath.h"
#include "server/SongMedia.h"
#include "server/ToneWave.h"

#include <fstream>
#include <iterator>

namespace zolfa_server {

namespace {

const char* AudioType(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (extension == ".mp3") return "audio/mpeg";
  if (extension == ".ogg" || extension == ".oga" || extension == ".opus") return "audio/ogg";
  if (extension == ".flac") return "audio/flac";
  if (extension == ".m4a" || extension == ".mp4" || extension == ".aac") return "audio/mp4";
  if (extension == ".wav") return "audio/wav";
  return "application/octet-stream";
}

// The song's own file, as it is; the HTTP layer answers byte ranges of it.
ServiceReply SongFileReply(const SongMedia& media, const Song& song) {
  std::optional<std::filesystem::path> file = media.File(song);
  std::ifstream in;
  if (file) in.open(*file, std::ios::binary);
  if (!in) return ServiceReply::Text(404, "the file of song " + song.id + " cannot be read\n");
  ServiceReply reply;
  reply.contentType = AudioType(*file);
  reply.body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return ServiceReply::Text(500, "reading the file of song " + song.id + " failed\n");
  return reply;
}

}  // namespace

ServiceReply SongStreamEndpoint::Handle(const ServiceRequest& request) {
  PlayPath path;
  std::string error = PlayPath::Parse(request.path, request.target, context_.strict, &path);
  if (!error.empty()) return ServiceReply::Text(400, error + "\n");
  std::optional<std::string> songId = state_->tickets.SongOf(path.name, path.sid);
  std::optional<Song> song = songId ? context_.catalogue.FindSong(*songId) : std::nullopt;
  if (!song) return ServiceReply::Text(404, "no ticket " + path.name + " for this session\n");
  ServiceReply reply;
  if (const SongMedia* media = context_.catalogue.Media()) return SongFileReply(*media, *song);
  reply.contentType = "audio/wav";
  reply.body = ToneWave::ForSong(song->id, song->durationSeconds);
  return reply;
}

}  // namespace zolfa_server
