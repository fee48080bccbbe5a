// A failure that the tests ask for: requests that match a host and/or a
// path are answered with another status, late, slowly, cut short or with
// another body. Written as comma-separated settings:
//   host=NAME        match the Host header (without port); any host if absent
//   path=PATH        match the path exactly (without the query); any if absent
//   status=N         answer N with a short text body instead of the endpoint
//   delay=MS         wait MS milliseconds before the answer is sent
//   drip=BYTES:MS    send the body BYTES at a time with MS pauses
//   truncate=N       send only the first N bytes of the body
//   body=empty       send an empty body
//   body-file=FILE   send the bytes of FILE as the body (from the control
//                    endpoint: a file inside the server's data folder only)
//   times=N          apply to the next N matching requests only
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace zolfa_server {

struct FaultRule {
  std::string host;
  std::string path;
  int status = 0;  // 0: the endpoint answers
  int delayMs = 0;
  size_t dripBytes = 0;
  int dripMs = 0;
  std::optional<size_t> truncate;
  std::optional<std::string> body;  // replaces the endpoint's body
  int times = -1;                   // -1: every matching request

  // bodyFolder, when given, is the only folder body-file may read from
  // (relative names are taken inside it); an empty one allows no body-file.
  static std::string Parse(const std::string& text, FaultRule* rule,
                           const std::filesystem::path* bodyFolder = nullptr);
  bool Matches(const std::string& requestHost, const std::string& requestPath) const;
  std::string Describe() const;
};

}  // namespace zolfa_server
