#include "server/MusicFolder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "server/MusicBackups.h"
#include "server/MusicCatalogue.h"
#include "server/MusicLibrary.h"
#include "server/NameIndex.h"
#include "server/PasswordDigest.h"

namespace zolfa_server {

std::filesystem::path MusicFolder::DefaultDatabase(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, error);
  if (error) canonical = std::filesystem::absolute(folder);
  std::filesystem::path cache;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && *xdg == '/') {
    cache = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
    cache = std::filesystem::path(home) / ".cache";
  } else {
    return canonical / ".zolfa-music.db";
  }
  return cache / "zolfa-server" /
         ("music-" + PasswordDigest::Md5Hex(canonical.string()).substr(0, 16) + ".db");
}

std::string MusicFolder::Open(const std::filesystem::path& folder, std::filesystem::path database,
                              std::unique_ptr<Catalogue>* catalogue,
                              std::unique_ptr<BackupSource>* backups) {
  auto log = [](const std::string& line) { std::fprintf(stderr, "zolfa-server: %s\n", line.c_str()); };
  const auto started = std::chrono::steady_clock::now();
  NameIndex names;
  std::string error = names.Load();
  if (!error.empty()) return error;
  if (database.empty()) database = DefaultDatabase(folder);
  MusicLibrary library(log);
  error = library.Open(database, folder);
  if (!error.empty()) return error;
  auto music = std::make_unique<MusicCatalogue>(library, names);
  *backups = std::make_unique<MusicBackups>(*music);
  const MusicLibrary::Counts& counts = library.LastScan();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  char line[256];
  std::snprintf(line, sizeof line,
                "music: %zu songs, %zu playlists (added %zu, changed %zu, removed %zu, unchanged "
                "%zu, skipped %zu) in %.2f s",
                library.Tracks().size(), library.Playlists().size(), counts.added, counts.changed,
                counts.removed, counts.unchanged, counts.skipped, seconds);
  log(line);
  *catalogue = std::move(music);
  return std::string();
}

}  // namespace zolfa_server
