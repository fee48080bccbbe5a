// The audio the service streams for the sample songs: a WAV file (16-bit
// mono PCM) of a short tune synthesised from the song's id, so that every
// song sounds different and lasts its catalogue duration.
#pragma once

#include <string>

namespace zolfa_server {

class ToneWave {
 public:
  static constexpr int kSampleRate = 22050;

  // The whole file for a song of durationSeconds (at least 1).
  static std::string ForSong(const std::string& songId, int durationSeconds);
  // The base pitch of the song in hertz.
  static double BaseFrequency(const std::string& songId);
};

}  // namespace zolfa_server
