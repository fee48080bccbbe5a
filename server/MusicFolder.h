// Opens a music folder as the server's content (zolfa-server --music DIR):
// reads the Unihan data, brings the folder's scan state up to date and
// builds the catalogue and the backups from it. Progress and skipped files
// go to standard error, one line each.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "server/BackupSource.h"
#include "server/Catalogue.h"

namespace zolfa_server {

class MusicFolder {
 public:
  // Where the scan state of a folder lives when no file is named: in the
  // user's cache folder ($XDG_CACHE_HOME, else ~/.cache), one file per
  // folder, so that the same folder is rescanned from its last state.
  static std::filesystem::path DefaultDatabase(const std::filesystem::path& folder);

  // Returns an error text or an empty one.
  static std::string Open(const std::filesystem::path& folder, std::filesystem::path database,
                          std::unique_ptr<Catalogue>* catalogue,
                          std::unique_ptr<BackupSource>* backups);
};

}  // namespace zolfa_server
