// "/backup_load.php?ver=1.0&<device query>" on the backup host, in code
// page 950. The answer is the "backup_load" envelope: status 1, a message,
// and "data_load" with the three tables SongTable, PlayListTable and
// PlayListContentTable, each a sequence of "<Data>" records whose columns
// are elements named by their numbers ("<0>", "<1>", ...). An unknown or
// ended sid gets status 0 with a message (and sid_errno / sid_errmsg).
#pragma once

#include "server/Endpoint.h"
#include "server/ServiceContext.h"

namespace zolfa_server {

class BackupEndpoint : public Endpoint {
 public:
  static constexpr const char* kLoadedText = "備份資料讀取成功";

  explicit BackupEndpoint(ServiceContext& context) : context_(context) {}
  ServiceReply Handle(const ServiceRequest& request) override;

 private:
  static Element Tables(const Backup& backup);

  ServiceContext& context_;
};

}  // namespace zolfa_server
