// Where the song-ticket and album-photo workers send the cover source: the
// core controller. Called on worker threads.
#pragma once

#include <string_view>

namespace zolfa {

// The built-in default cover; "res://2" names it too.
inline constexpr char16_t kDefaultCover[] = u"res://1";
inline constexpr char16_t kDefaultCoverAlias[] = u"res://2";

class IAlbumCoverSink {
 public:
  virtual ~IAlbumCoverSink() = default;
  // source: kDefaultCover or the device path of a downloaded picture.
  virtual void SetAlbumCover(std::u16string_view source) = 0;
};

}  // namespace zolfa
