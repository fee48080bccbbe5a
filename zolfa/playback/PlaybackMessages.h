// Messages the song-ticket workers send to the player screen. The numbers
// are fixed.
#pragma once

#include "platform/base/Types.h"

namespace zolfa {

// The ticket is good. wParam: the PlaySongRequest*, owned by the worker and
// valid only until the handler returns (the handler copies what it keeps).
// lParam 0.
constexpr ce::UINT MSG_TICKET_READY = 13361;  // 0x3431
// The ticket was refused or could not be fetched. wParam: the code (signed,
// see TicketOutcomes.h). lParam: a const char16_t* text or 0, valid only
// during the handler.
constexpr ce::UINT MSG_TICKET_FAILED = 13362;  // 0x3432

// Posted by the player screen to itself from the play-state handling:
// wParam the status (1 stopped, 2 paused, 3 playing, 4 reading), lParam 0.
constexpr ce::UINT MSG_PLAYER_STATUS = 13345;  // 0x3421

}  // namespace zolfa
