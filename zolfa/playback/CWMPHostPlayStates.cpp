#include "zolfa/playback/CWMPHostPlayStates.h"

#include "platform/media/MediaPlayer.h"

namespace zolfa {

PlayStateReaction ReactionToPlayState(ce::LONG controlState) {
  PlayStateReaction reaction;
  switch (controlState) {
    case ce::kPlayStateStopped:
    case ce::kPlayStatePaused:
    case ce::kPlayStatePlaying:
      reaction.setsCoreState = true;
      reaction.coreState = controlState;
      reaction.postsStatus = true;
      reaction.status = controlState;
      break;
    case ce::kPlayStateBuffering:
      // The core keeps anything but 1 to 3 as 0: a play request during
      // buffering asks for the song again.
      reaction.setsCoreState = true;
      reaction.coreState = 4;
      reaction.postsStatus = true;
      reaction.status = 4;
      break;
    case ce::kPlayStateMediaEnded:
      reaction.playsNext = true;
      break;
    default:
      break;
  }
  return reaction;
}

void HandleControlPlayState(ce::LONG controlState, IPlayStateOwner& owner) {
  PlayStateReaction reaction = ReactionToPlayState(controlState);
  if (reaction.setsCoreState) owner.SetCorePlayState(reaction.coreState);
  if (reaction.postsStatus) owner.PostPlayerStatus(reaction.status);
  if (reaction.playsNext) owner.PlayNext();
}

}  // namespace zolfa
