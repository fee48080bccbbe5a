// Arbitrary ".lrc" bytes through the reader and the timed form.
//
// Input: byte 0 is the song's length in seconds; the rest is the file.
// Every line of the timed form must be "[mm:ss-mm:ss]<type=1>" (with
// "<sec_st>" at most once, on one of the first two lines) and text without "<", ">" or control bytes,
// in UTF-8, its end not before its start, the starts in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "server/LrcLyrics.h"
#include "server/MusicText.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

int Digits(std::string_view text, size_t at) {
  Check(text[at] >= '0' && text[at] <= '9' && text[at + 1] >= '0' && text[at + 1] <= '9');
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int duration = data[0];
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string timed = zolfa_server::LrcLyrics::Read(file).Timed(duration);
  Check(zolfa_server::IsUtf8(timed));
  std::string_view rest(timed);
  int previousStart = -1;
  int lineNumber = 0;
  bool countdown = false;
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    Check(end != std::string_view::npos);
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    constexpr std::string_view kType = "<type=1>";
    Check(line.size() >= 13 + kType.size() && line[0] == '[' && line[3] == ':' && line[6] == '-' &&
          line[9] == ':' && line[12] == ']');
    const int start = Digits(line, 1) * 60 + Digits(line, 4);
    const int stop = Digits(line, 7) * 60 + Digits(line, 10);
    Check(Digits(line, 4) < 60 && Digits(line, 10) < 60 && stop >= start && start >= previousStart);
    previousStart = start;
    Check(line.substr(13, kType.size()) == kType);
    std::string_view text = line.substr(13 + kType.size());
    if (text.substr(0, 8) == "<sec_st>") {
      Check(!countdown && lineNumber < 2);
      countdown = true;
      text.remove_prefix(8);
    }
    for (char c : text) Check(c != '<' && c != '>' && static_cast<unsigned char>(c) >= 0x20);
    ++lineNumber;
  }
  return 0;
}
