// "/ps1_01000013_SID_SONGID.wma?TICK" hands out a ticket for a song:
//   <ticket_info><status>0</status><ErrorMessage/><ticket>T</ticket>
//   <lyrics_exists>1</lyrics_exists><lyrics_editable>0</lyrics_editable>
//   <album_id>ID</album_id><album_photo_md5>DIGEST</album_photo_md5></ticket_info>
// in code page 950. Refusals carry their code in status, a name in
// ErrorMessage and the text the handset may show in ticket: 3 for an
// unknown or ended session, 2 for an unknown song, and any code that a
// "refuse" setting names for the song or the account.
#pragma once

#include <memory>

#include "server/Endpoint.h"
#include "server/PlaybackState.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class SongTicketEndpoint : public Endpoint {
 public:
  SongTicketEndpoint(ServiceContext& context, std::shared_ptr<PlaybackState> state)
      : context_(context), state_(std::move(state)) {}
  ServiceReply Handle(const ServiceRequest& request) override;

  // The name and the text of a refusal code.
  static const char* RefusalName(int code);
  static const char* RefusalText(int code);

 private:
  ServiceReply Refuse(int code);

  ServiceContext& context_;
  std::shared_ptr<PlaybackState> state_;
};

}  // namespace zolfa_server
