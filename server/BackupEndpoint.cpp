#include "server/BackupEndpoint.h"

#include "server/AnswerWriter.h"
#include "server/DeviceQuery.h"

namespace zolfa_server {

namespace {

Element Record(std::initializer_list<std::pair<int, std::string>> columns) {
  Element record = Element::Node("Data");
  for (const auto& [column, value] : columns) record.AddLeaf(std::to_string(column), value);
  return record;
}

}  // namespace

Element BackupEndpoint::Tables(const Backup& backup) {
  Element data = Element::Node("data_load");
  Element& songs = data.Add(Element::Node("SongTable"));
  for (const BackupSong& song : backup.songs) {
    songs.Add(Record({{0, std::to_string(song.number)},
                      {1, song.name},
                      {2, song.artist},
                      {3, song.album},
                      {11, song.playId},
                      {14, std::to_string(song.current)}}));
  }
  Element& lists = data.Add(Element::Node("PlayListTable"));
  for (const BackupPlaylist& list : backup.playlists) {
    lists.Add(Record({{0, std::to_string(list.number)}, {1, list.name}}));
  }
  Element& contents = data.Add(Element::Node("PlayListContentTable"));
  for (const BackupEntry& entry : backup.contents) {
    contents.Add(Record({{0, std::to_string(entry.number)},
                         {1, std::to_string(entry.songNumber)},
                         {2, std::to_string(entry.playlistNumber)}}));
  }
  return data;
}

ServiceReply BackupEndpoint::Handle(const ServiceRequest& request) {
  const QueryString& query = request.query;
  std::string error = DeviceQuery::Check(query, {"ver"}, context_.strict);
  if (error.empty() && context_.strict && *query.Get("ver") != "1.0") error = "ver must be 1.0";
  if (!error.empty()) return ServiceReply::Text(400, error + "\n");
  Element root = Element::Node("backup_load");
  std::optional<std::string> account = context_.sessions.Use(query.Get("sid").value_or(""));
  if (!account) {
    root.AddLeaf("status", "0");
    root.AddLeaf("msg", AnswerWriter::kSessionEndedText);
    AnswerWriter::AddSessionError(root);
  } else {
    root.AddLeaf("status", "1");
    root.AddLeaf("msg", kLoadedText);
    root.Add(Tables(context_.backups.ForAccount(*account)));
  }
  return AnswerWriter::Cp950("backup", std::move(root), context_.settings);
}

}  // namespace zolfa_server
