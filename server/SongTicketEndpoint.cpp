#include "server/SongTicketEndpoint.h"

#include "server/AnswerWriter.h"
#include "server/PlayPath.h"
#include "server/SampleLyrics.h"
#include "server/SongMedia.h"

namespace zolfa_server {

namespace {

constexpr int kSessionRefused = 3;
constexpr int kUnknownSong = 2;

}  // namespace

const char* SongTicketEndpoint::RefusalName(int code) {
  switch (code) {
    case 1: return "GET_TICKET_GENERAL_ERROR";
    case 2: return "GET_TICKET_SONGID_ERROR";
    case 3: return "GET_TICKET_SESSION_ERROR";
    case 4: return "GET_TICKET_AUTH_ERROR";
    case -1: return "GET_TICKET_GETKEY_ERROR";
    default: return "GET_TICKET_UNKNOWN_ERROR";
  }
}

const char* SongTicketEndpoint::RefusalText(int code) {
  switch (code) {
    case 1: return "一般錯誤";
    case 2: return "找不到這首歌";
    case 3: return AnswerWriter::kSessionEndedText;
    case 4: return "這首歌是未授權歌曲";
    case -1: return "無法取得播放金鑰";
    default: return "未知的錯誤";
  }
}

ServiceReply SongTicketEndpoint::Refuse(int code) {
  Element root = Element::Node("ticket_info");
  root.AddLeaf("status", std::to_string(code));
  root.AddLeaf("ErrorMessage", RefusalName(code));
  root.AddLeaf("ticket", RefusalText(code));
  return AnswerWriter::Cp950("ticket", std::move(root), context_.settings);
}

ServiceReply SongTicketEndpoint::Handle(const ServiceRequest& request) {
  PlayPath path;
  std::string error = PlayPath::Parse(request.path, request.target, context_.strict, &path);
  if (!error.empty()) return ServiceReply::Text(400, error + "\n");
  std::optional<std::string> account = context_.sessions.Use(path.sid);
  if (!account) return Refuse(kSessionRefused);
  std::optional<Song> song = context_.catalogue.FindSong(path.name);
  if (!song) return Refuse(kUnknownSong);
  if (std::optional<int> code = context_.settings.Refusal(*account, song->id)) return Refuse(*code);

  std::optional<Album> album = context_.catalogue.FindAlbum(song->albumId);
  Element root = Element::Node("ticket_info");
  root.AddLeaf("status", "0");
  root.AddLeaf("ErrorMessage", "");
  root.AddLeaf("ticket", state_->tickets.Issue(path.sid, song->id));
  const SongMedia* media = context_.catalogue.Media();
  std::string digest = AlbumPhotos::kNoPhotoDigest;
  if (album && media) {
    if (std::optional<SongMedia::Picture> cover = media->Cover(*album)) digest = cover->digest;
  } else if (album) {
    digest = state_->photos.Digest(*album, PlaybackState::IsCompilation(context_.catalogue, *album));
  }
  const bool lyrics = media ? media->Lyrics(*song).has_value() : SampleLyrics::Exists(*song);
  root.AddLeaf("lyrics_exists", lyrics ? "1" : "0");
  root.AddLeaf("lyrics_editable", "0");
  root.AddLeaf("album_id", song->albumId);
  root.AddLeaf("album_photo_md5", digest);
  return AnswerWriter::Cp950("ticket", std::move(root), context_.settings);
}

}  // namespace zolfa_server
