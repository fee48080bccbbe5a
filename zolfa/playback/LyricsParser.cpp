#include "zolfa/playback/LyricsParser.h"

#include <string>

namespace zolfa {

namespace {

constexpr std::string_view kTypeTag = "<type=";
constexpr std::string_view kCountdownMarker = "<sec_st>";
// Type numbers beyond this many digits are not read.
constexpr size_t kMaxTypeDigits = 9;
// Bytes from this value up lead a double-byte character.
constexpr unsigned char kLeadByte = 0xA0;

// atoi: optional blanks and sign, then the leading digits.
int32_t LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number = number * 10 + (text[i] - '0');
    if (number > INT32_MAX) number = INT32_MAX;
  }
  return static_cast<int32_t>(negative ? -number : number);
}

void TrimEnd(std::string& text) {
  while (!text.empty()) {
    const char c = text.back();
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
    text.pop_back();
  }
}

// Takes the type tag and then the countdown marker out of the row's text.
void ReadTags(LyricsLine& line) {
  const size_t tag = line.text.find(kTypeTag);
  if (tag != std::string::npos) {
    const size_t close = line.text.find('>', tag + kTypeTag.size());
    if (close != std::string::npos) {
      std::string_view digits(line.text);
      digits = digits.substr(tag + kTypeTag.size(), close - tag - kTypeTag.size());
      line.type = LeadingNumber(digits.substr(0, kMaxTypeDigits));
      line.text.erase(0, close + 1);
    }
  }
  const size_t marker = line.text.find(kCountdownMarker);
  if (marker != std::string::npos) {
    line.countdownLine = true;
    line.text.erase(0, marker + kCountdownMarker.size());
  }
}

// The length of the first piece of a split: whole characters, at least
// wrapBytes bytes.
size_t SplitLength(std::string_view text, size_t wrapBytes) {
  size_t length = 0;
  while (length < wrapBytes) {
    length += static_cast<unsigned char>(text[length]) < kLeadByte ? 1 : 2;
    if (length >= text.size()) return text.size();
  }
  return length;
}

}  // namespace

int32_t LyricsTime(std::string_view time) {
  if (time.empty()) return -1;
  const size_t colon = time.find(':');
  if (colon == std::string_view::npos) return 0;
  return LeadingNumber(time.substr(0, colon)) * 60 + LeadingNumber(time.substr(colon + 1));
}

std::vector<LyricsLine> ParseLyrics(std::string_view text, size_t wrapBytes) {
  std::vector<LyricsLine> lines;
  size_t lineStart = 0;
  while (lineStart < text.size() && lines.size() < kMaxLyricsLines) {
    // A source line without "]" takes the next one found, further down.
    const size_t close = text.find(']', lineStart);
    if (close == std::string_view::npos) break;
    const size_t timesStart = lineStart + 1;
    std::string_view times =
        close > timesStart ? text.substr(timesStart, close - timesStart) : std::string_view();
    times = times.substr(0, kMaxLyricsTimeChars);

    LyricsLine line;
    line.start = LyricsTime(times.substr(0, 5));
    line.end = LyricsTime(times.size() > 6 ? times.substr(6) : std::string_view());
    const size_t lineFeed = text.find('\n', close + 1);
    std::string_view body = text.substr(
        close + 1, (lineFeed == std::string_view::npos ? text.size() : lineFeed) - close - 1);
    line.text.assign(body.substr(0, kMaxLyricsTextBytes));
    TrimEnd(line.text);
    ReadTags(line);

    if (wrapBytes > 0 && line.text.size() >= wrapBytes) {
      const size_t first = SplitLength(line.text, wrapBytes);
      LyricsLine head = line;
      head.text.resize(first);
      lines.push_back(std::move(head));
      line.text.erase(0, first);
    }
    lines.push_back(std::move(line));
    if (lineFeed == std::string_view::npos) break;
    lineStart = lineFeed + 1;
  }
  return lines;
}

}  // namespace zolfa
