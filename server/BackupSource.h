// Where the playlist backups of the accounts come from.
#pragma once

#include <string>

#include "server/BackupRecords.h"

namespace zolfa_server {

class BackupSource {
 public:
  virtual ~BackupSource() = default;
  // The backup of an account; an account that never backed up has an empty
  // one.
  virtual Backup ForAccount(const std::string& account) const = 0;
};

}  // namespace zolfa_server
