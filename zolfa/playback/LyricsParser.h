// Reads timed lyrics into display rows. The text is multibyte (the system
// code page): source lines separated by line feeds, each
//   [mm:ss?mm:ss]<type=N><sec_st>text
// with the type tag and the countdown marker optional. A text at least as
// wide as the wrap width is split once into two rows with the same times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "zolfa/playback/LyricsLine.h"

namespace zolfa {

constexpr size_t kMaxLyricsLines = 200;
constexpr size_t kMaxLyricsTextBytes = 255;
// Bracket contents beyond this many characters are not read.
constexpr size_t kMaxLyricsTimeChars = 11;
// Wrap widths in bytes: for a client area exactly kNarrowClientWidth pixels
// wide, and for any other.
constexpr size_t kNarrowWrapBytes = 34;
constexpr size_t kWideWrapBytes = 48;
constexpr int kNarrowClientWidth = 240;

// "mm:ss" as seconds; an empty time gives -1 and one without a colon 0.
int32_t LyricsTime(std::string_view time);

// The rows of the text, at most kMaxLyricsLines (one more when the last
// source line read is split). Stops when no "]" is left.
std::vector<LyricsLine> ParseLyrics(std::string_view text, size_t wrapBytes);

// The wrap width for a client area of this width in pixels.
inline size_t LyricsWrapBytes(int clientWidth) {
  return clientWidth == kNarrowClientWidth ? kNarrowWrapBytes : kWideWrapBytes;
}

}  // namespace zolfa
