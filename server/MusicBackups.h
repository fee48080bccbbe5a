// The backup of a music folder: the sample account's backup holds the
// folder's playlists (one playlist per ".m3u" / ".m3u8" file, its songs in
// the file's order), so that the handset's playlist import brings them
// over. Other accounts have an empty backup.
#pragma once

#include "server/BackupSource.h"
#include "server/MusicCatalogue.h"

namespace zolfa_server {

class MusicBackups : public BackupSource {
 public:
  explicit MusicBackups(const MusicCatalogue& catalogue);
  Backup ForAccount(const std::string& account) const override;

 private:
  Backup sample_;
};

}  // namespace zolfa_server
