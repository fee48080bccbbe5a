// What the service reads from one music file with TagLib: the tags that
// place it in the catalogue, its length, and its embedded picture.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zolfa_server {

struct MusicTags {
  // UTF-8; empty when the file has no such tag.
  std::string genre;
  std::string artist;
  std::string albumArtist;
  std::string album;
  std::string title;
  int track = 0;
  int disc = 0;
  int durationSeconds = 0;
  bool compilation = false;  // the compilation flag of the tags
  bool picture = false;      // an embedded picture is there

  // The tags of a file of a kind the service plays (by its extension), or
  // nothing with *error set when the file cannot be read as audio.
  static std::optional<MusicTags> Read(const std::filesystem::path& file, std::string* error);
  // The bytes of the file's embedded picture (the front cover when it has
  // several); nothing when there is none or the file cannot be read.
  static std::optional<std::string> Picture(const std::filesystem::path& file);
  // Whether the extension is one of the audio files played: .mp3, .ogg,
  // .oga, .opus, .flac, .m4a, .mp4, .aac, .wav (any letter case).
  static bool IsMusicFile(const std::filesystem::path& file);
};

}  // namespace zolfa_server
