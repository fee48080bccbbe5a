// The backup import request: fetches the playlists that the user backed up
// on the service and hands their import text to the import dialog.
//
// One object for the program, beside the service manager whose request
// frame it uses (the backup-import lock, the abort flag, the backup server
// and the common query). Each start runs one worker at idle priority that
// holds the backup-import lock for its whole run, so imports run one after
// another; a newer start makes an older request cancel itself or drop its
// answer. The dialog is known only by its window handle: a dialog that has
// gone away is never touched.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/base/Types.h"
#include "zolfa/service/ServiceTransport.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace zolfa {

inline constexpr char16_t kBackupAgent[] = u"Zolfa(RecieveWholeBackup)";
inline constexpr char16_t kBackupVersion[] = u"1.0";

class CBackupImport {
 public:
  // transport null: the real HttpGet. The manager outlives every worker: its
  // destruction waits for them.
  explicit CBackupImport(ZolfaNetMgrPPC& manager, ServiceTransport transport = nullptr);

  // Starts a request for the dialog's window and returns its id at once.
  // The answer arrives as MSG_IMPORT_DONE with that id, only while the id is
  // the newest and the window still exists. Returns 0 when no worker could
  // be started.
  uint32_t StartImport(ce::HWND dialog);

  // The id of the newest request; 0 when none is pending.
  uint32_t LatestImportId() const;

 private:
  // What the workers share with this object; it stays alive while any of
  // them runs.
  struct Shared {
    ServiceTransport transport;
    std::atomic<uint32_t> latestImportId{0};
    std::atomic<uint32_t> lastId{0};
  };

  static void Run(ZolfaNetMgrPPC& manager, Shared& shared, uint32_t id, ce::HWND dialog);

  ZolfaNetMgrPPC& manager_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace zolfa
