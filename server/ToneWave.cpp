#include "server/ToneWave.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zolfa_server {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Each note lasts this long; its start and end fade over kFadeSeconds so
// that the notes do not click.
constexpr double kNoteSeconds = 0.5;
constexpr double kFadeSeconds = 0.01;
constexpr double kAmplitude = 0.3 * 32767;
// Semitone steps of the tune above the base pitch.
constexpr int kSteps[] = {0, 4, 7, 12, 7, 4};

uint32_t Hash(const std::string& text) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

double ToneWave::BaseFrequency(const std::string& songId) {
  // Two octaves from 220 Hz, one semitone apart.
  return 220.0 * std::pow(2.0, static_cast<double>(Hash(songId) % 24) / 12.0);
}

std::string ToneWave::ForSong(const std::string& songId, int durationSeconds) {
  const uint32_t samples = static_cast<uint32_t>(std::max(durationSeconds, 1)) * kSampleRate;
  const uint32_t dataBytes = samples * 2;
  std::string out;
  out.reserve(44 + dataBytes);
  out += "RIFF";
  PutLittleEndian(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  PutLittleEndian(out, 16, 4);  // format block size
  PutLittleEndian(out, 1, 2);   // PCM
  PutLittleEndian(out, 1, 2);   // mono
  PutLittleEndian(out, kSampleRate, 4);
  PutLittleEndian(out, kSampleRate * 2, 4);  // bytes per second
  PutLittleEndian(out, 2, 2);                // bytes per frame
  PutLittleEndian(out, 16, 2);               // bits per sample
  out += "data";
  PutLittleEndian(out, dataBytes, 4);

  const double base = BaseFrequency(songId);
  const uint32_t noteSamples = static_cast<uint32_t>(kNoteSeconds * kSampleRate);
  const double fadeSamples = kFadeSeconds * kSampleRate;
  const size_t offset = Hash(songId) % std::size(kSteps);
  double phase = 0;
  for (uint32_t i = 0; i < samples; ++i) {
    const uint32_t note = i / noteSamples;
    const uint32_t within = i % noteSamples;
    const int step = kSteps[(offset + note) % std::size(kSteps)];
    const double frequency = base * std::pow(2.0, step / 12.0);
    phase += 2 * kPi * frequency / kSampleRate;
    const double fade = std::min({1.0, within / fadeSamples, (noteSamples - within) / fadeSamples});
    const auto sample = static_cast<int16_t>(std::lround(kAmplitude * fade * std::sin(phase)));
    PutLittleEndian(out, static_cast<uint16_t>(sample), 2);
  }
  return out;
}

}  // namespace zolfa_server
