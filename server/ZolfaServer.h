// The local music service: one HTTP server on a loopback port that answers
// every host name of the service. It owns the accounts, the sessions, the
// catalogue, the backups, the settings of the run and the request log, and
// hands each request to the endpoint of its path.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "server/AccountStore.h"
#include "server/BackupSource.h"
#include "server/Catalogue.h"
#include "server/DelayGate.h"
#include "server/FaultRule.h"
#include "server/RequestLog.h"
#include "server/Router.h"
#include "server/RunSettings.h"
#include "server/ServerOptions.h"
#include "server/ServiceContext.h"
#include "server/SessionStore.h"

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace zolfa_server {

class HttpServer;

class ZolfaServer {
 public:
  static constexpr const char* kAddress = "127.0.0.1";
  static constexpr const char* kControlPath = "/_control";

  explicit ZolfaServer(ServerOptions options);
  ~ZolfaServer();
  ZolfaServer(const ZolfaServer&) = delete;
  ZolfaServer& operator=(const ZolfaServer&) = delete;

  // Reads the data folder, opens the request log, applies the settings of
  // the command line and binds the port. Returns an error text or an empty
  // one.
  std::string Start();
  int Port() const { return port_; }
  // Serves until Stop; returns false when serving failed.
  bool Run();
  // May be called from any thread, also before Run.
  void Stop();

 private:
  void AddEndpoints();
  void Dispatch(const httplib::Request& in, httplib::Response& out);
  void Send(ServiceReply reply, const FaultRule* fault, const std::string& contentRange,
            httplib::Response& out);
  static void ApplyBodyFault(const FaultRule& fault, ServiceReply& reply);

  ServerOptions options_;
  AccountStore accounts_;
  std::unique_ptr<SessionStore> sessions_;
  RunSettings settings_;
  std::unique_ptr<Catalogue> catalogue_;
  std::unique_ptr<BackupSource> backups_;
  std::unique_ptr<ServiceContext> context_;
  RequestLog log_;
  Router router_;
  DelayGate gate_;
  std::unique_ptr<HttpServer> http_;
  int port_ = -1;
  // A stop that comes before Run has started its loop must still end it.
  std::atomic<bool> stopping_{false};
  std::atomic<bool> runActive_{false};
};

}  // namespace zolfa_server
