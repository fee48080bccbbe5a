// ZolfaCE: the music client. The device root comes first (the host opens
// the one of --device), then the process-wide objects: the core controller
// and the service manager. The program's resources are compiled in
// (zolfa_res registers them). The top-level dialog runs for the whole program;
// the service manager goes last, after the dialog's window is gone, because
// destroying it waits for its workers, which may be waiting for the window.
#include "platform/host/Host.h"
#include "zolfa/app/CCore.h"
#include "zolfa/app/CZolfaCEApp.h"
#include "zolfa/browse/BrowseRequests.h"
#include "zolfa/library/CBackupImport.h"
#include "zolfa/playback/PlaySongRequests.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

int main(int argc, char** argv) {
  return ce::RunOnDeviceScreen(argc, argv, [] {
    zolfa::CCore core;
    zolfa::ZolfaNetMgrPPC service;
    // The requests of the screens go before the service manager and the
    // core, whose workers and posts they use.
    zolfa::BrowseRequests browse(service, core);
    zolfa::CBackupImport backup(service);
    core.AttachRequests(browse, backup);
    // Song tickets send their cover sources to the core controller.
    zolfa::PlaySongRequests tickets(service, core);
    core.AttachTickets(tickets);
    int result = 0;
    {
      zolfa::CZolfaCEApp app(core, service);
      result = app.Run();
    }
    return result;
  });
}
