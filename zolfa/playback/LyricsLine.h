// One shown row of the lyrics.
#pragma once

#include <cstdint>
#include <string>

namespace zolfa {

struct LyricsLine {
  int32_t start = 0;  // seconds
  int32_t end = 0;    // seconds
  std::string text;   // at most kMaxLyricsTextBytes bytes, multibyte
  int32_t type = 0;   // from "<type=N>"; chooses the highlight colour
  bool countdownLine = false;  // the text carried "<sec_st>"
  int32_t highlighted = 0;     // 0 or 1
  int32_t countdown = -1;      // seconds to the start in the countdown window, else -1
};

}  // namespace zolfa
