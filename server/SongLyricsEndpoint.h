// "/ps3_01000013_SID_TICKET.wma?TICK" answers the lyrics of the ticket's
// song (code page 950):
//   <lyrics_struct><lyricist/><composer/><lyrics>[00:00-00:01]...</lyrics>
//   <creator>0</creator><nick/></lyrics_struct>
// A song without lyrics gets the same form with empty texts. 404 for a
// ticket that was not issued to that session.
#pragma once

#include <memory>

#include "server/Endpoint.h"
#include "server/PlaybackState.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class SongLyricsEndpoint : public Endpoint {
 public:
  SongLyricsEndpoint(ServiceContext& context, std::shared_ptr<PlaybackState> state)
      : context_(context), state_(std::move(state)) {}
  ServiceReply Handle(const ServiceRequest& request) override;

 private:
  ServiceContext& context_;
  std::shared_ptr<PlaybackState> state_;
};

}  // namespace zolfa_server
