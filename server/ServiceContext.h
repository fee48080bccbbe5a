// What the endpoints share: the accounts, the sessions, the settings of the
// run and the content they answer from. Owned by ZolfaServer, which
// outlives every endpoint.
#pragma once

#include "server/AccountStore.h"
#include "server/BackupSource.h"
#include "server/Catalogue.h"
#include "server/RunSettings.h"
#include "server/SessionStore.h"

namespace zolfa_server {

struct ServiceContext {
  const AccountStore& accounts;
  SessionStore& sessions;
  RunSettings& settings;
  const Catalogue& catalogue;
  const BackupSource& backups;
  // Requests must have exactly the form the handset writes (keys, order,
  // fixed values); off with --lenient.
  bool strict = true;
};

}  // namespace zolfa_server
