// The player bar's rules apart from its window: the volume with its mute,
// and the texts of the one text field (connecting, status, elapsed time).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/Types.h"

namespace zolfa {

// The volume bar: x 172..216, drawn 5 pixels high from y 16.
constexpr int kVolumeBarLeft = 172;
constexpr int kVolumeBarRight = 216;
constexpr int kVolumeBarTop = 16;
constexpr int kVolumeBarHeight = 5;
constexpr int kVolumeBarLength = kVolumeBarRight - kVolumeBarLeft;  // 44
constexpr int32_t kInitialVolume = 65;
constexpr int32_t kVolumeStep = 5;

// The shown percentage and the mute. Each change returns the volumes to set
// on the media control, in order (none when the control keeps its volume).
class PlayerVolume {
 public:
  explicit PlayerVolume(int32_t percent = kInitialVolume, bool muted = false)
      : percent_(percent), muted_(muted) {}

  int32_t Percent() const { return percent_; }
  bool Muted() const { return muted_; }
  // The bar's length in pixels.
  int BarWidth() const { return percent_ * kVolumeBarLength / 100; }
  // The volume the control should have now: 0 while muted.
  int32_t Applied() const { return muted_ ? 0 : percent_; }

  // Up by 5, at most 100; while muted it unmutes at the new level.
  std::vector<int32_t> Up();
  // Down by 5. Going below 0 gives 0 and toggles the mute; otherwise the
  // level is applied and a mute ends.
  std::vector<int32_t> Down();
  // Muting sets the control to 0; unmuting gives it the shown level back.
  // The shown level does not change.
  std::vector<int32_t> ToggleMute();
  // A stylus tap at x on the bar (172..216; any other x is not the bar's
  // and changes nothing) sets the level under the stylus.
  std::vector<int32_t> TapAt(int x);

 private:
  int32_t percent_ = kInitialVolume;
  bool muted_ = false;
};

// "連線" then, every second, "連線." and "連線" by turns.
std::u16string ConnectingText(int dots);
// "%02d:%02d": minutes above 59 past an hour (75:03).
std::u16string PositionText(int32_t seconds);

// How the bar shows a status of MSG_PLAYER_STATUS.
struct PlayerStatusLook {
  bool known = false;
  std::u16string text;
  // The play button's image; 0 leaves it as it is.
  ce::UINT playImage = 0;
};
constexpr ce::UINT kPlayImage = 148;
constexpr ce::UINT kStopImage = 220;
PlayerStatusLook LookOfStatus(int32_t status);

}  // namespace zolfa
