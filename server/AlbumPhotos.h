// The album covers of the catalogue: pictures the service draws itself
// (PNG, kSize pixels square, colours and pattern chosen from the album's
// id), and the digest the song tickets name. Some albums have no photo:
// their tickets carry one of the two digests that mean "none".
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "server/CatalogueRecords.h"

namespace zolfa_server {

class AlbumPhotos {
 public:
  static constexpr int kSize = 200;
  static constexpr const char* kNoPhotoDigest = "Zolfa911Zolfa911Zolfa911Zolfa911";
  static constexpr const char* kBlankPhotoDigest = "11111111111111111111111111111111";

  // The digest of the album's photo, or one of the two sentinels.
  std::string Digest(const Album& album, bool compilation);
  // The PNG bytes; nothing for an album without a photo.
  std::optional<std::string> Picture(const Album& album, bool compilation);

  // Which albums have none: compilations name kNoPhotoDigest, the second
  // album of an artist whose id ends in an odd digit kBlankPhotoDigest.
  static const char* Sentinel(const Album& album, bool compilation);
  static std::string Draw(const std::string& albumId);

 private:
  const std::string& Cached(const std::string& albumId);

  std::mutex mutex_;
  std::map<std::string, std::string> pictures_;
};

}  // namespace zolfa_server
