// One line per request, written before the answer leaves the server:
//   2025-01-10T08:15:02.123Z login1.zolfa.test /ce_login.php?act=login&uid=... 200 ZOLFA%20(login)
// time (UTC, milliseconds), Host ("-" when none), path and query as sent,
// status, User-Agent ("-" when none). In the texts control characters,
// blanks and bytes of 0x80 and above are written as %XX, so that a line is
// always one request and its fields are separated by single blanks.
#pragma once

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

namespace zolfa_server {

class RequestLog {
 public:
  // Appends to file; with an empty path the lines go to standard error.
  // Returns an error text when the file cannot be opened.
  std::string Open(const std::filesystem::path& file);
  ~RequestLog();

  void Write(std::string_view host, std::string_view target, int status,
             std::string_view agent = {});

  // The line that Write would write, without its time stamp and line end.
  static std::string Describe(std::string_view host, std::string_view target, int status,
                              std::string_view agent = {});

 private:
  std::mutex mutex_;
  FILE* file_ = nullptr;
  bool ownsFile_ = false;
};

}  // namespace zolfa_server
