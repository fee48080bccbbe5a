// What the player bar asks of the core controller: the play state that the
// media events keep, the screen switch of its hidden browse button, the
// logout after a refused session, and the song tickets.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/base/Types.h"

namespace zolfa {

// Play states as the media events leave them in the core.
constexpr int32_t kPlayStateOther = 0;
constexpr int32_t kPlayStateStopped = 1;
constexpr int32_t kPlayStatePaused = 2;
constexpr int32_t kPlayStatePlaying = 3;

class IPlayerCore {
 public:
  virtual ~IPlayerCore() = default;

  // 1 stopped, 2 paused, 3 playing; anything else is kept as 0.
  virtual int32_t PlayState() const = 0;
  virtual void SetPlayState(int32_t state) = 0;
  virtual void RequestScreen(int32_t screen) = 0;
  virtual void Logout() = 0;
  // Starts a song-ticket request whose result goes to requester's window;
  // false when no requests are attached (nothing can be played then).
  virtual bool PlaySong(ce::HWND requester, std::u16string_view songId) = 0;
};

}  // namespace zolfa
