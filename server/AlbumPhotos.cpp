#include "server/AlbumPhotos.h"

#include <stb_image_write.h>

#include <cstdint>
#include <vector>

#include "server/PasswordDigest.h"

namespace zolfa_server {

namespace {

uint32_t Hash(const std::string& text) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

void AppendBytes(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                             static_cast<size_t>(size));
}

}  // namespace

const char* AlbumPhotos::Sentinel(const Album& album, bool compilation) {
  if (compilation) return kNoPhotoDigest;
  const char last = album.artistId.empty() ? '0' : album.artistId.back();
  const bool oddArtist = last >= '0' && last <= '9' && (last - '0') % 2 == 1;
  if (oddArtist && album.id.size() >= 2 && album.id.compare(album.id.size() - 2, 2, "02") == 0) {
    return kBlankPhotoDigest;
  }
  return nullptr;
}

std::string AlbumPhotos::Draw(const std::string& albumId) {
  // A disc on a background, both coloured from the id, with stripes whose
  // width also comes from the id.
  const uint32_t hash = Hash(albumId);
  const uint8_t back[3] = {static_cast<uint8_t>(hash), static_cast<uint8_t>(hash >> 8),
                           static_cast<uint8_t>(hash >> 16)};
  const uint8_t disc[3] = {static_cast<uint8_t>(255 - back[0]), static_cast<uint8_t>(255 - back[1]),
                           static_cast<uint8_t>(255 - back[2])};
  const int stripe = 8 + static_cast<int>((hash >> 24) % 16);
  std::vector<uint8_t> pixels(static_cast<size_t>(kSize) * kSize * 3);
  const int centre = kSize / 2;
  const int radius = kSize * 2 / 5;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const int dx = x - centre;
      const int dy = y - centre;
      const bool inDisc = dx * dx + dy * dy <= radius * radius;
      const bool darker = ((x + y) / stripe) % 2 == 0;
      const uint8_t* colour = inDisc ? disc : back;
      uint8_t* out = &pixels[(static_cast<size_t>(y) * kSize + x) * 3];
      for (int c = 0; c < 3; ++c) out[c] = darker && !inDisc ? colour[c] / 4 * 3 : colour[c];
    }
  }
  std::string png;
  stbi_write_png_to_func(&AppendBytes, &png, kSize, kSize, 3, pixels.data(), kSize * 3);
  return png;
}

const std::string& AlbumPhotos::Cached(const std::string& albumId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = pictures_.find(albumId);
  if (found == pictures_.end()) found = pictures_.emplace(albumId, Draw(albumId)).first;
  // Entries are never removed, so the reference stays valid.
  return found->second;
}

std::string AlbumPhotos::Digest(const Album& album, bool compilation) {
  if (const char* sentinel = Sentinel(album, compilation)) return sentinel;
  return PasswordDigest::Md5Hex(Cached(album.id));
}

std::optional<std::string> AlbumPhotos::Picture(const Album& album, bool compilation) {
  if (Sentinel(album, compilation) != nullptr) return std::nullopt;
  return Cached(album.id);
}

}  // namespace zolfa_server
