#include "zolfa/library/CBackupImport.h"

#include "platform/base/Clock.h"
#include "platform/window/Message.h"
#include "platform/window/Window.h"
#include "zolfa/library/ImportMessages.h"
#include "zolfa/library/ImportText.h"

namespace zolfa {

CBackupImport::CBackupImport(ZolfaNetMgrPPC& manager, ServiceTransport transport)
    : manager_(manager), shared_(std::make_shared<Shared>()) {
  shared_->transport = transport ? std::move(transport) : ServiceTransport(HttpGetText);
}

uint32_t CBackupImport::StartImport(ce::HWND dialog) {
  // The id is the tick count at the start. Two starts in one millisecond get
  // different ids, and none is 0, which means "none pending".
  uint32_t id = ce::GetTickCount();
  uint32_t last = shared_->lastId.load(std::memory_order_relaxed);
  if (id == 0 || (id <= last && last - id < 0x80000000u)) id = last + 1;
  if (id == 0) id = 1;
  shared_->lastId.store(id, std::memory_order_relaxed);
  shared_->latestImportId.store(id, std::memory_order_relaxed);

  ZolfaNetMgrPPC& manager = manager_;
  std::shared_ptr<Shared> shared = shared_;
  if (!manager_.StartWorker(
          [&manager, shared, id, dialog] { Run(manager, *shared, id, dialog); })) {
    return 0;
  }
  return id;
}

uint32_t CBackupImport::LatestImportId() const {
  return shared_->latestImportId.load(std::memory_order_relaxed);
}

void CBackupImport::Run(ZolfaNetMgrPPC& manager, Shared& shared, uint32_t id, ce::HWND dialog) {
  ce::CriticalSectionLock lock(manager.BackupLock());
  auto isNewest = [&] { return shared.latestImportId.load(std::memory_order_relaxed) == id; };
  // A request that a newer one replaced while it waited for the lock makes
  // no exchange.
  std::atomic<int32_t> stale{isNewest() ? 0 : 1};

  ServerEndpoints servers = manager.Servers();
  ServiceRequest request;
  request.agent = kBackupAgent;
  request.host = servers.is;
  request.port = static_cast<uint32_t>(servers.isPort);
  request.path = u"/backup_load.php?ver=";
  request.path += kBackupVersion;
  request.path += u'&';
  request.path += manager.CommonQuery();
  request.cancelA = &manager.AbortRequestsFlag();
  request.cancelB = &stale;

  ServiceReply reply = shared.transport(request);
  if (reply.result != 200 || !isNewest()) return;

  std::u16string text = BuildImportText(reply.text);
  if (!isNewest() || !ce::IsWindow(dialog)) return;
  ce::SendMessage(dialog, MSG_IMPORT_DONE, static_cast<ce::WPARAM>(id),
                  reinterpret_cast<ce::LPARAM>(text.c_str()));
  // Only this request's id is cleared; a start made meanwhile stays pending.
  uint32_t expected = id;
  shared.latestImportId.compare_exchange_strong(expected, 0, std::memory_order_relaxed);
}

}  // namespace zolfa
