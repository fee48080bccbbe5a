// What the reactions to a refused or failed song ticket ask of the player
// screen. All calls come on the player screen's thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/base/Types.h"

namespace zolfa {

class ITicketOutcomeOwner {
 public:
  virtual ~ITicketOutcomeOwner() = default;

  // Ends the connecting display: its timer killed, the dots counter reset,
  // the status text cleared.
  virtual void StopConnecting() = 0;
  // One message box with this text.
  virtual void ShowMessage(std::u16string_view text) = 0;
  // Blocks the screen's thread for ms milliseconds (on the process clock).
  virtual void Wait(ce::DWORD ms) = 0;
  // The end-of-connecting step: status cleared, volume applied again.
  virtual void Reset() = 0;
  // Plays the current playlist's current item again (a new ticket request).
  virtual void PlayCurrentItemAgain() = 0;
  // The core controller's logout.
  virtual void Logout() = 0;
  // Stops playback and shows the status "停止".
  virtual void StopPlayback() = 0;
  virtual void PlayNextSong() = 0;
  // Songs in the current playlist.
  virtual int32_t PlaylistSize() = 0;
};

}  // namespace zolfa
