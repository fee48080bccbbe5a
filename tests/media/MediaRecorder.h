// A sink that records the control's events, and the sounds the tests
// stream (made at test time, so no audio file is kept in the tree).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/media/MediaPlayer.h"

namespace ce::testing {

class MediaRecorder : public MediaEvents {
 public:
  void OpenStateChange(LONG state) override { openStates.push_back(state); }
  void PlayStateChange(LONG state) override { playStates.push_back(state); }
  void PositionChange(double oldPosition, double newPosition) override {
    positions.emplace_back(oldPosition, newPosition);
  }
  void MediaError(HRESULT error) override { errors.push_back(error); }
  bool Saw(LONG playState) const {
    for (LONG state : playStates)
      if (state == playState) return true;
    return false;
  }

  std::vector<LONG> openStates;
  std::vector<LONG> playStates;
  std::vector<std::pair<double, double>> positions;
  std::vector<HRESULT> errors;
};

// A mono 16-bit PCM WAV file of a tone: seconds long at rate samples a second.
inline std::string MakeWav(double seconds, uint32_t rate = 8000) {
  uint32_t samples = static_cast<uint32_t>(seconds * rate);
  uint32_t dataBytes = samples * 2;
  std::string wav;
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) wav.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto put16 = [&](uint16_t v) {
    wav.push_back(static_cast<char>(v & 0xFF));
    wav.push_back(static_cast<char>(v >> 8));
  };
  wav += "RIFF";
  put32(36 + dataBytes);
  wav += "WAVEfmt ";
  put32(16);
  put16(1);  // PCM
  put16(1);  // mono
  put32(rate);
  put32(rate * 2);
  put16(2);
  put16(16);
  wav += "data";
  put32(dataBytes);
  for (uint32_t i = 0; i < samples; ++i) {
    // A 440 Hz square-ish tone is enough for a decoder to chew on.
    put16(static_cast<uint16_t>(((i * 440 * 2 / rate) % 2) ? 8000 : -8000));
  }
  return wav;
}

// An Ogg Vorbis file of a tone, encoded by the media system itself; empty
// when it has no encoder.
std::string MakeOggVorbis(double seconds);

}  // namespace ce::testing
