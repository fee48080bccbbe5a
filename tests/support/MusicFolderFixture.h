// A small music folder made at test time: tones encoded with GStreamer
// (gst-launch-1.0) into every kind of file the server plays, tags written
// with TagLib, an ".lrc" file, an ".m3u" playlist, a cover picture beside
// an album, a file with a damaged header, an untagged file with a name that
// is not UTF-8, and a file whose name is 255 bytes long. Removed with the
// fixture.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace test_support {

class MusicFolderFixture {
 public:
  // Relative paths of the files made.
  static constexpr const char* kRedBean = "王菲/夏日 & 微風/01 紅豆.mp3";
  static constexpr const char* kQuoted = "王菲/夏日 & 微風/02 \"Quoted\" it's.ogg";
  static constexpr const char* kQuotedLyrics = "王菲/夏日 & 微風/02 \"Quoted\" it's.lrc";
  static constexpr const char* kKiss = "張學友/吻別/吻別.flac";
  static constexpr const char* kKissCover = "張學友/吻別/Folder.jpg";
  static constexpr const char* kLove = "林憶蓮/Love Songs/愛.opus";
  static constexpr const char* kHit = "Various/Hits 2020/01 Hit.m4a";
  static constexpr const char* kUntagged = "Untagged Artist/Untagged Album/\xA4\xA4 no tags.wav";
  static constexpr const char* kBroken = "broken.mp3";
  static constexpr const char* kPlaylist = "Favourites.m3u";
  // The embedded picture of kRedBean and the cover beside kKiss.
  static const std::string& Picture();
  static const std::string& CoverJpeg();
  // The 255-byte file name (in "Blue Band/Blue/").
  static std::string LongName();

  MusicFolderFixture();
  ~MusicFolderFixture();
  MusicFolderFixture(const MusicFolderFixture&) = delete;
  MusicFolderFixture& operator=(const MusicFolderFixture&) = delete;

  // Empty when everything was made; else what failed.
  const std::string& Error() const { return error_; }
  const std::filesystem::path& Root() const { return root_; }
  // A place for the scan state, outside the music folder.
  std::filesystem::path Database() const { return base_ / "state" / "music.db"; }
  const std::filesystem::path& Base() const { return base_; }

  // A tone of about seconds seconds, encoded by the file's extension.
  static std::string Encode(const std::filesystem::path& file, int seconds);
  // Writes TagLib properties ("TITLE", "ARTIST", ...: UTF-8 values) and,
  // for MP3 files, an embedded front cover.
  static std::string Tag(const std::filesystem::path& file,
                         const std::map<std::string, std::string>& properties,
                         const std::optional<std::string>& picture = std::nullopt);
  static std::string ReadFile(const std::filesystem::path& file);
  static void WriteFile(const std::filesystem::path& file, const std::string& bytes);

 private:
  void Make(const std::string& relative, int seconds,
            const std::map<std::string, std::string>& properties,
            const std::optional<std::string>& picture = std::nullopt);

  std::filesystem::path base_;
  std::filesystem::path root_;
  std::string error_;
};

}  // namespace test_support
