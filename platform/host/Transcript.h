// The transcript: what the user of the device would see, one event per
// line (UTF-8), written to a file as it happens and kept for the script
// runner's "until".
//
//   msgbox caption="…" text="…" answer=OK
//   menubar 166
//   show 135 / hide 135
//   http GET host:port /path -> 200
//   text x y w h "…"
//
// Any thread may write; lines keep the order in which they were written.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace ce {

class Transcript {
 public:
  // Lines kept in memory; older ones are dropped (the file keeps them).
  static constexpr size_t kMaxKeptLines = 200000;

  Transcript() = default;
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  // Writes the lines to this file from now on (created or emptied). False
  // with a reason when it cannot be opened.
  bool OpenFile(const std::filesystem::path& path, std::string* error);

  // One event, without line end; line breaks inside are written as "\n".
  // A line the file does not take (a full disk) is remembered as the
  // transcript's failure; the lines are still kept in memory.
  void Write(std::string_view line);
  // Why the file lost lines ("cannot write FILE: reason"), or empty.
  std::string WriteFailure() const;

  // Number of lines written so far (also those no longer kept).
  uint64_t Count() const;
  // The kept lines from line index `from` on.
  std::vector<std::string> LinesFrom(uint64_t from) const;
  std::vector<std::string> Lines() const { return LinesFrom(0); }
  // The index of the first line at or after `from` that contains text, or
  // -1.
  int64_t Find(std::string_view text, uint64_t from) const;

 private:
  mutable std::mutex mutex_;
  std::deque<std::string> lines_;
  uint64_t first_ = 0;  // index of lines_.front()
  std::ofstream file_;
  std::filesystem::path path_;
  std::string writeFailure_;
};

}  // namespace ce
