// What the player screen does with each play state of the media control:
// the core's play state, the status it posts to itself, and, at the end of
// a song, the next one.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

namespace zolfa {

struct PlayStateReaction {
  bool setsCoreState = false;
  int32_t coreState = 0;  // given to the core's SetPlayState (4 is kept there as 0)
  bool postsStatus = false;
  int32_t status = 0;  // MSG_PLAYER_STATUS's parameter
  bool playsNext = false;
};

PlayStateReaction ReactionToPlayState(ce::LONG controlState);

// The side of the player screen that carries a reaction out.
class IPlayStateOwner {
 public:
  virtual ~IPlayStateOwner() = default;
  virtual void SetCorePlayState(int32_t state) = 0;
  virtual void PostPlayerStatus(int32_t status) = 0;
  // The core controller's PlayNext.
  virtual void PlayNext() = 0;
};

// Carries out the reaction to a play state, in the order core state,
// status, next song.
void HandleControlPlayState(ce::LONG controlState, IPlayStateOwner& owner);

}  // namespace zolfa
