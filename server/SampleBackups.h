// Backups built from the catalogue: the sample account has three playlists
// (two with songs, one empty, and one song whose table also holds an old
// record of it); every other account has an empty backup.
#pragma once

#include "server/BackupSource.h"
#include "server/Catalogue.h"

namespace zolfa_server {

class SampleBackups : public BackupSource {
 public:
  explicit SampleBackups(const Catalogue& catalogue);
  Backup ForAccount(const std::string& account) const override;

 private:
  Backup sample_;
};

}  // namespace zolfa_server
