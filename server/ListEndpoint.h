// The four catalogue lists on the data host, answered in code page 950:
//   /genre.php?<device query>
//   /artist.php?genre&index_type&index&type_id&type_func&type_note&<device query>
//   /album.php?genre&index_type&index&artist&type_id&type_func&type_note&<...>
//   /song.php?genre&index_type&index&artist&album&type_id&type_func&type_note&<...>
// Each list is a sequence of elements ("<genre>", "<artist>", "<album>",
// "<song>") holding "<text>" (the title) and then the identifier ("<id>",
// or "<song_id>" for songs). An unknown or ended sid gets sid_errno and
// sid_errmsg instead of the list.
#pragma once

#include <string>
#include <vector>

#include "server/Endpoint.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class ListEndpoint : public Endpoint {
 public:
  enum class Kind { kGenre, kArtist, kAlbum, kSong };

  ListEndpoint(ServiceContext& context, Kind kind) : context_(context), kind_(kind) {}
  ServiceReply Handle(const ServiceRequest& request) override;

 private:
  std::vector<std::string> LeadingKeys() const;
  std::string CheckParameters(const QueryString& query) const;
  void AddItems(const QueryString& query, Element& root) const;
  const char* KindName() const;

  ServiceContext& context_;
  Kind kind_;
};

}  // namespace zolfa_server
