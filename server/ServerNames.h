// The host names that the login answer hands out. One server answers for
// all of them: the handset's host table maps each name and port 80 to the
// address this server listens on.
#pragma once

namespace zolfa_server {

struct ServerNames {
  static constexpr const char* kData = "ds.zolfa.test";     // browse lists, photos, feeds
  static constexpr const char* kStream = "cs.zolfa.test";   // tickets, streams, lyrics
  static constexpr const char* kUpdate = "us.zolfa.test";   // stored only by the client
  static constexpr const char* kPortal = "ps.zolfa.test";   // stored only by the client
  static constexpr const char* kBackup = "is.zolfa.test";   // playlist backups
  static constexpr const char* kSession = "ss.zolfa.test";  // session checks
  static constexpr int kPort = 80;

  // The version the service expects of the client, as the login answer
  // sends it (the client sends "0100" "0013").
  static constexpr int kMajorVersion = 100;
  static constexpr int kMinorVersion = 13;
};

}  // namespace zolfa_server
