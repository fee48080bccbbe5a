// zolfa-server: the local music service for tests and the demo.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "server/ServerOptions.h"
#include "server/ZolfaServer.h"

int main(int argc, char** argv) {
  using zolfa_server::ServerOptions;
  ServerOptions options;
  std::string error = ServerOptions::Parse(argc, argv, &options);
  if (!error.empty()) {
    std::fprintf(stderr, "zolfa-server: %s\n%s", error.c_str(), ServerOptions::Usage());
    return 2;
  }
  if (options.help) {
    std::fputs(ServerOptions::Usage(), stdout);
    return 0;
  }

  // Termination signals are taken by one thread, which stops the server; all
  // other threads (started below) inherit the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  zolfa_server::ZolfaServer server(std::move(options));
  error = server.Start();
  if (!error.empty()) {
    std::fprintf(stderr, "zolfa-server: %s\n", error.c_str());
    return 1;
  }
  std::printf("listening on %s:%d\n", zolfa_server::ZolfaServer::kAddress, server.Port());
  std::fflush(stdout);

  std::thread signalThread([&server, stopSignals] {
    int signalNumber = 0;
    sigwait(&stopSignals, &signalNumber);
    server.Stop();
  });
  bool served = server.Run();
  // Run also ends when serving fails; wake the signal thread then.
  if (!served) kill(getpid(), SIGTERM);
  signalThread.join();
  return served ? 0 : 1;
}
