// The paths of song tickets, streams and lyrics as the handset writes them:
//   /ps1_01000013_SID_SONGID.wma?TICK   ticket for a song
//   /ps2_01000013_SID_TICKET.wma?TICK   the song's audio
//   /ps3_01000013_SID_TICKET.wma?TICK   the song's lyrics
// "0100" and "0013" are the handset's version pair run together; TICK is a
// signed decimal number that changes with every request.
#pragma once

#include <string>

namespace zolfa_server {

struct PlayPath {
  char kind = 0;        // '1', '2' or '3'
  std::string version;  // "01000013" from the handset
  std::string sid;
  std::string name;  // the song id (ps1) or the ticket (ps2, ps3)

  // Reads a request's path and query; returns an error text or an empty
  // one. A lenient read asks only for the three parts.
  static std::string Parse(const std::string& path, const std::string& target, bool strict,
                           PlayPath* out);
};

}  // namespace zolfa_server
