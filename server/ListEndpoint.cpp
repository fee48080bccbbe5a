#include "server/ListEndpoint.h"

#include "server/AnswerWriter.h"
#include "server/DeviceQuery.h"
#include "server/IndexTables.h"

namespace zolfa_server {

namespace {

// A decimal number of at most three digits, or -1.
int SmallNumber(const std::string& text) {
  if (text.empty() || text.size() > 3) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

Element Item(const char* elementName, const char* idName, const std::string& title,
             const std::string& id) {
  Element item = Element::Node(elementName);
  item.AddLeaf("text", title);
  item.AddLeaf(idName, id);
  return item;
}

}  // namespace

const char* ListEndpoint::KindName() const {
  switch (kind_) {
    case Kind::kGenre:
      return "genre";
    case Kind::kArtist:
      return "artist";
    case Kind::kAlbum:
      return "album";
    case Kind::kSong:
      return "song";
  }
  return "genre";
}

std::vector<std::string> ListEndpoint::LeadingKeys() const {
  switch (kind_) {
    case Kind::kGenre:
      return {};
    case Kind::kArtist:
      return {"genre", "index_type", "index", "type_id", "type_func", "type_note"};
    case Kind::kAlbum:
      return {"genre", "index_type", "index", "artist", "type_id", "type_func", "type_note"};
    case Kind::kSong:
      return {"genre",   "index_type", "index",    "artist",
              "album",   "type_id",    "type_func", "type_note"};
  }
  return {};
}

std::string ListEndpoint::CheckParameters(const QueryString& query) const {
  std::string error = DeviceQuery::Check(query, LeadingKeys(), context_.strict);
  if (!error.empty() || kind_ == Kind::kGenre || !context_.strict) return error;
  if (query.Get("genre")->empty()) return "genre is empty";
  int indexType = SmallNumber(*query.Get("index_type"));
  if (IndexTables::EntryCount(indexType) == 0) return "index_type must be 1, 2 or 3";
  if (!IndexTables::IsValidIndex(indexType, SmallNumber(*query.Get("index")))) {
    return "index is not an entry of table " + *query.Get("index_type") +
           " (99 for the compilations)";
  }
  if (*query.Get("type_id") != "0") return "type_id must be 0";
  if (*query.Get("type_func") != "AUTH") return "type_func must be AUTH";
  if (!query.Get("type_note")->empty()) return "type_note must be empty";
  if (kind_ != Kind::kArtist && query.Get("artist")->empty()) return "artist is empty";
  if (kind_ == Kind::kSong && query.Get("album")->empty()) return "album is empty";
  return std::string();
}

ServiceReply ListEndpoint::Handle(const ServiceRequest& request) {
  const QueryString& query = request.query;
  std::string error = CheckParameters(query);
  if (!error.empty()) return ServiceReply::Text(400, error + "\n");
  Element root = Element::Node(std::string(KindName()) + "_list");
  if (!context_.sessions.Use(query.Get("sid").value_or(""))) {
    AnswerWriter::AddSessionError(root);
  } else {
    AddItems(query, root);
  }
  return AnswerWriter::Cp950(KindName(), std::move(root), context_.settings);
}

void ListEndpoint::AddItems(const QueryString& query, Element& root) const {
  const Catalogue& catalogue = context_.catalogue;
  switch (kind_) {
    case Kind::kGenre:
      for (const Genre& genre : catalogue.Genres()) {
        root.Add(Item("genre", "id", genre.name, genre.id));
      }
      break;
    case Kind::kArtist:
      for (const Artist& artist :
           catalogue.Artists(query.Get("genre").value_or(""),
                             SmallNumber(query.Get("index_type").value_or("")),
                             SmallNumber(query.Get("index").value_or("")))) {
        root.Add(Item("artist", "id", artist.name, artist.id));
      }
      break;
    case Kind::kAlbum:
      for (const Album& album : catalogue.Albums(query.Get("artist").value_or(""))) {
        root.Add(Item("album", "id", album.title, album.id));
      }
      break;
    case Kind::kSong:
      for (const Song& song : catalogue.Songs(query.Get("album").value_or(""))) {
        root.Add(Item("song", "song_id", song.title, song.id));
      }
      break;
  }
}

}  // namespace zolfa_server
