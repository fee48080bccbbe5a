#include "server/LrcLyrics.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "server/MusicText.h"

namespace zolfa_server {

namespace {

constexpr int kMaxSeconds = 99 * 60 + 59;  // "mm:ss" holds no more
// A countdown is shown during the five seconds before its line.
constexpr int kCountdownSeconds = 5;

// "mm:ss", "mm:ss.xx", "mm:ss.xxx" or "mm:ss:xx" in milliseconds; -1 when
// the text is not a time.
int TimeOf(std::string_view text) {
  size_t colon = text.find(':');
  if (colon == 0 || colon == std::string_view::npos || colon > 4) return -1;
  int minutes = 0;
  for (size_t i = 0; i < colon; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    minutes = minutes * 10 + (text[i] - '0');
  }
  size_t at = colon + 1;
  int seconds = 0;
  size_t digits = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 2; ++at, ++digits) {
    seconds = seconds * 10 + (text[at] - '0');
  }
  if (digits == 0 || seconds > 59) return -1;
  int fraction = 0;
  if (at < text.size()) {
    if (text[at] != '.' && text[at] != ':') return -1;
    ++at;
    int scale = 100;
    size_t fractionDigits = 0;
    for (; at < text.size(); ++at, ++fractionDigits) {
      if (text[at] < '0' || text[at] > '9' || fractionDigits >= 3) return -1;
      fraction += (text[at] - '0') * scale;
      scale /= 10;
    }
    if (fractionDigits == 0) return -1;
  }
  return (minutes * 60 + seconds) * 1000 + fraction;
}

std::string Trim(std::string_view text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return std::string();
  size_t last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

std::string Span(int from, int to) {
  from = std::min(from, kMaxSeconds);
  to = std::min(to, kMaxSeconds);
  char text[32];
  std::snprintf(text, sizeof text, "[%02d:%02d-%02d:%02d]", from / 60, from % 60, to / 60, to % 60);
  return text;
}

// The handset keeps a line to its first line feed; no other control bytes
// belong in it either,
// and a "<" would start a tag of the lyrics view or end the element.
std::string OneLine(const std::string& text) { return AnswerText(text); }

}  // namespace

LrcLyrics LrcLyrics::Read(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::string text = DisplayText(bytes);
  LrcLyrics lyrics;
  int offsetMs = 0;
  std::string_view rest(text);
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    std::vector<int> times;
    size_t at = line.find_first_not_of(" \t");
    while (at != std::string_view::npos && at < line.size() && line[at] == '[') {
      size_t close = line.find(']', at);
      if (close == std::string_view::npos) break;
      std::string_view tag = line.substr(at + 1, close - at - 1);
      int ms = TimeOf(tag);
      if (ms >= 0) {
        times.push_back(ms);
      } else {
        size_t colon = tag.find(':');
        std::string key = colon == std::string_view::npos ? std::string() : Trim(tag.substr(0, colon));
        std::string value = colon == std::string_view::npos ? std::string() : Trim(tag.substr(colon + 1));
        for (char& c : key) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (key == "ti") lyrics.title = value;
        if (key == "ar") lyrics.artist = value;
        if (key == "by") lyrics.by = value;
        if (key == "offset" && value.size() < 9) offsetMs = std::atoi(value.c_str());
      }
      at = close + 1;
    }
    if (times.empty()) continue;
    std::string words = Trim(line.substr(std::min(at, line.size())));
    for (int ms : times) lyrics.lines.push_back(Line{ms, words});
  }
  // A positive offset shows the lines sooner.
  for (Line& line : lyrics.lines) line.ms = std::max(0, line.ms - offsetMs);
  std::stable_sort(lyrics.lines.begin(), lyrics.lines.end(),
                   [](const Line& a, const Line& b) { return a.ms < b.ms; });
  return lyrics;
}

std::string LrcLyrics::Timed(int durationSeconds) const {
  std::string out;
  bool first = true;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.text.empty()) continue;
    const int start = line.ms / 1000;
    int end = i + 1 < lines.size() ? lines[i + 1].ms / 1000 : std::max(durationSeconds, start + 1);
    if (end < start) end = start;
    if (first) {
      if (!title.empty() && start >= 1) {
        out += Span(0, 1) + "<type=1>" + OneLine(title) + "\n";
      }
      out += Span(start, end) + "<type=1>";
      if (start >= kCountdownSeconds) out += "<sec_st>";
      first = false;
    } else {
      out += Span(start, end) + "<type=1>";
    }
    out += OneLine(line.text) + "\n";
  }
  return out;
}

}  // namespace zolfa_server
