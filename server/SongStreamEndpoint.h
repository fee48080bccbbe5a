// "/ps2_01000013_SID_TICKET.wma?TICK" streams the audio of the ticket's
// song: a WAV file of a tone tune (ToneWave) as long as the song, whatever
// the ".wma" of the address says. 404 for a ticket that was not issued to
// that session.
#pragma once

#include <memory>

#include "server/Endpoint.h"
#include "server/PlaybackState.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class SongStreamEndpoint : public Endpoint {
 public:
  SongStreamEndpoint(ServiceContext& context, std::shared_ptr<PlaybackState> state)
      : context_(context), state_(std::move(state)) {}
  ServiceReply Handle(const ServiceRequest& request) override;

 private:
  ServiceContext& context_;
  std::shared_ptr<PlaybackState> state_;
};

}  // namespace zolfa_server
