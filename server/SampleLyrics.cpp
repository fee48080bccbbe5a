#include "server/SampleLyrics.h"

#include <cstdio>

namespace zolfa_server {

namespace {

const char* const kWords[] = {"風吹過安靜的街", "Hold the light", "星星在遠方閃耀",
                              "We sing along",  "月光灑滿窗前",  "Into the blue"};
// About 40 bytes in the handset's code page: wrapped at 34 bytes.
constexpr const char* kLongLine = "一起唱到天亮一起唱到天亮一起唱到天亮一起";

std::string Span(int from, int to) {
  char text[32];
  std::snprintf(text, sizeof text, "[%02d:%02d-%02d:%02d]", from / 60, from % 60, to / 60, to % 60);
  return text;
}

}  // namespace

bool SampleLyrics::Exists(const Song& song) { return song.id.empty() || song.id.back() != '4'; }

std::string SampleLyrics::For(const Song& song) {
  if (!Exists(song)) return std::string();
  const int seconds = song.durationSeconds > 1 ? song.durationSeconds : 2;
  // The title shows for the first second; the first sung line counts down
  // from the start of the song.
  std::string text = Span(0, 1) + "<type=1>" + song.title + "\n";
  for (int second = 1; second < seconds; ++second) {
    text += Span(second, second + 1);
    text += "<type=" + std::to_string(1 + second % 3) + ">";
    if (second == 1) text += "<sec_st>";
    text += second == seconds - 1 ? kLongLine : kWords[(second + song.id.size()) % 6];
    text += "\n";
  }
  return text;
}

std::string SampleLyrics::Lyricist(const Song& song) { return "詞:" + song.artistId; }

std::string SampleLyrics::Composer(const Song& song) { return "曲:" + song.albumId; }

}  // namespace zolfa_server
