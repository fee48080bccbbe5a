// The lyrics files that sit beside songs (".lrc", same base name), read and
// turned into the timed form the handset's lyrics view reads:
//   [mm:ss-mm:ss]<type=1>TEXT      one line a row, shown from the first
//                                  time to the second
// with "<sec_st>" on the first sung line when it starts late enough for a
// countdown. Lines of an ".lrc" file carry one or more "[mm:ss.xx]" times;
// "[ti:]", "[ar:]", "[by:]" and "[offset:]" tags are read too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zolfa_server {

struct LrcLyrics {
  struct Line {
    int ms = 0;
    std::string text;  // empty: a pause that ends the line before it
  };
  std::vector<Line> lines;  // by time
  std::string title;
  std::string artist;
  std::string by;

  // Reads the text of an ".lrc" file (UTF-8, with or without a byte-order
  // mark; other bytes are read in code page 950).
  static LrcLyrics Read(std::string_view bytes);
  // The timed form; the last line lasts to the end of the song. Empty when
  // there is no line with text.
  std::string Timed(int durationSeconds) const;
};

}  // namespace zolfa_server
