#include "zolfa/playback/PlayerBar.h"

#include <algorithm>
#include <cstdio>

#include "platform/base/CodePage.h"

namespace zolfa {

std::vector<int32_t> PlayerVolume::Up() {
  percent_ = std::min(percent_ + kVolumeStep, 100);
  if (!muted_) return {percent_};
  return ToggleMute();
}

std::vector<int32_t> PlayerVolume::Down() {
  percent_ -= kVolumeStep;
  if (percent_ < 0) {
    percent_ = 0;
    return ToggleMute();
  }
  std::vector<int32_t> volumes{percent_};
  if (muted_) {
    std::vector<int32_t> unmute = ToggleMute();
    volumes.insert(volumes.end(), unmute.begin(), unmute.end());
  }
  return volumes;
}

std::vector<int32_t> PlayerVolume::ToggleMute() {
  muted_ = !muted_;
  return {muted_ ? 0 : percent_};
}

std::vector<int32_t> PlayerVolume::TapAt(int x) {
  if (x < kVolumeBarLeft || x > kVolumeBarRight) return {};
  percent_ = (x - kVolumeBarLeft) * 100 / kVolumeBarLength;
  if (!muted_) return {percent_};
  return ToggleMute();
}

std::u16string ConnectingText(int dots) {
  std::u16string text = u"連線";
  for (int i = 0; i < dots % 2; ++i) text += u'.';
  return text;
}

std::u16string PositionText(int32_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
  return ce::FromUtf8(text);
}

PlayerStatusLook LookOfStatus(int32_t status) {
  switch (status) {
    case 1:
      return {true, u"停止", kPlayImage};
    case 2:
      return {true, u"暫停", kPlayImage};
    case 3:
      return {true, u"播放中", kStopImage};
    case 4:
      return {true, u"資料讀取中...", 0};
    default:
      return {};
  }
}

}  // namespace zolfa
