#include "server/SongLyricsEndpoint.h"

#include "server/AnswerWriter.h"
#include "server/PlayPath.h"
#include "server/SampleLyrics.h"
#include "server/SongMedia.h"

namespace zolfa_server {

ServiceReply SongLyricsEndpoint::Handle(const ServiceRequest& request) {
  PlayPath path;
  std::string error = PlayPath::Parse(request.path, request.target, context_.strict, &path);
  if (!error.empty()) return ServiceReply::Text(400, error + "\n");
  std::optional<std::string> songId = state_->tickets.SongOf(path.name, path.sid);
  std::optional<Song> song = songId ? context_.catalogue.FindSong(*songId) : std::nullopt;
  if (!song) return ServiceReply::Text(404, "no ticket " + path.name + " for this session\n");
  Element root = Element::Node("lyrics_struct");
  if (const SongMedia* media = context_.catalogue.Media()) {
    root.AddLeaf("lyricist", "");
    root.AddLeaf("composer", "");
    root.AddLeaf("lyrics", media->Lyrics(*song).value_or(""));
  } else {
    const bool exists = SampleLyrics::Exists(*song);
    root.AddLeaf("lyricist", exists ? SampleLyrics::Lyricist(*song) : "");
    root.AddLeaf("composer", exists ? SampleLyrics::Composer(*song) : "");
    root.AddLeaf("lyrics", SampleLyrics::For(*song));
  }
  root.AddLeaf("creator", "0");
  root.AddLeaf("nick", "");
  return AnswerWriter::Cp950("lyrics", std::move(root), context_.settings);
}

}  // namespace zolfa_server
