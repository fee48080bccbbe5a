#include "server/NameIndex.h"

#include <bzlib.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace zolfa_server {

namespace {

// Decodes the UTF-8 character at text[*at] and moves past it; invalid
// bytes give U+FFFD one byte at a time.
char32_t NextChar(std::string_view text, size_t* at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(*at);
  size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
  if (length == 0 || *at + length > text.size()) {
    ++*at;
    return 0xFFFD;
  }
  char32_t value = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    unsigned char next = byte(*at + i);
    if ((next & 0xC0) != 0x80) {
      ++*at;
      return 0xFFFD;
    }
    value = (value << 6) | (next & 0x3F);
  }
  *at += length;
  return value;
}

// The plain letter of a pinyin character: tone marks dropped, "ü" as "v",
// "ê" as "E"; 0 for a combining mark, '?' for anything else.
char PlainPinyinLetter(char32_t c) {
  if (c < 0x80) return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (c >= 0x300 && c <= 0x36F) return 0;
  switch (c) {
    case 0x101: case 0xE1: case 0x1CE: case 0xE0: return 'a';
    case 0x113: case 0xE9: case 0x11B: case 0xE8: return 'e';
    case 0x12B: case 0xED: case 0x1D0: case 0xEC: return 'i';
    case 0x14D: case 0xF3: case 0x1D2: case 0xF2: return 'o';
    case 0x16B: case 0xFA: case 0x1D4: case 0xF9: return 'u';
    case 0xFC: case 0x1D6: case 0x1D8: case 0x1DA: case 0x1DC: return 'v';
    case 0xEA: case 0x1EBF: case 0x1EC1: return 'E';
    case 0x1E3F: return 'm';
    case 0x144: case 0x148: case 0x1F9: return 'n';
    default: return '?';
  }
}

std::string PlainPinyin(std::string_view pinyin) {
  std::string plain;
  size_t at = 0;
  while (at < pinyin.size()) {
    char letter = PlainPinyinLetter(NextChar(pinyin, &at));
    if (letter != 0) plain += letter;
  }
  return plain;
}

// The last of the blank-separated values of a Unihan field: where two are
// given, the second is the one preferred in Taiwan.
std::string_view LastValue(std::string_view field) {
  size_t end = field.find_last_not_of(" \r");
  if (end == std::string_view::npos) return std::string_view();
  field = field.substr(0, end + 1);
  size_t blank = field.rfind(' ');
  return blank == std::string_view::npos ? field : field.substr(blank + 1);
}

// Zhuyin symbols U+3105..U+3129 by their position in the phonetic table:
// the initials first, then the three medials ㄧ ㄨ ㄩ, then the finals.
int PhoneticOfZhuyin(char32_t c) {
  if (c >= 0x3105 && c <= 0x3119) return static_cast<int>(c - 0x3105) + 1;   // ㄅ..ㄙ
  if (c >= 0x311A && c <= 0x3126) return static_cast<int>(c - 0x311A) + 25;  // ㄚ..ㄦ
  if (c >= 0x3127 && c <= 0x3129) return static_cast<int>(c - 0x3127) + 22;  // ㄧ ㄨ ㄩ
  return 0;
}

bool IsSkippedLead(char32_t c) {
  if (c < 0x80) return !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
  return (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFF0F) ||
         (c >= 0xFF1A && c <= 0xFF20) || c == 0xFEFF;
}

int LetterPosition(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
  if (c >= '0' && c <= '9') return c - '0' + 27;
  return 0;
}

// The line-by-line reader of a plain or bzip2-compressed file.
std::string ReadLines(const std::filesystem::path& file, bool compressed,
                      const std::function<void(std::string_view)>& onLine) {
  std::unique_ptr<FILE, int (*)(FILE*)> in(std::fopen(file.c_str(), "rb"), &std::fclose);
  if (!in) return "cannot open " + file.string();
  int error = BZ_OK;
  BZFILE* bz = compressed ? BZ2_bzReadOpen(&error, in.get(), 0, 0, nullptr, 0) : nullptr;
  if (compressed && error != BZ_OK) return "cannot read " + file.string();
  std::string pending;
  char buffer[1 << 16];
  bool failed = false;
  for (;;) {
    int count;
    if (compressed) {
      count = BZ2_bzRead(&error, bz, buffer, sizeof buffer);
      if (error != BZ_OK && error != BZ_STREAM_END) {
        failed = true;
        break;
      }
    } else {
      count = static_cast<int>(std::fread(buffer, 1, sizeof buffer, in.get()));
    }
    pending.append(buffer, static_cast<size_t>(count));
    size_t start = 0;
    for (size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
      onLine(std::string_view(pending).substr(start, end - start));
    }
    pending.erase(0, start);
    if (compressed ? error == BZ_STREAM_END : count == 0) break;
  }
  if (compressed) BZ2_bzReadClose(&error, bz);
  if (failed) return "damaged file " + file.string();
  if (!pending.empty()) onLine(pending);
  return std::string();
}

}  // namespace

int NameIndex::PhoneticOfPinyin(std::string_view pinyin) {
  std::string s = PlainPinyin(pinyin);
  if (s.empty()) return 0;
  auto starts = [&](const char* prefix) { return s.rfind(prefix, 0) == 0; };
  if (starts("zh")) return 15;
  if (starts("ch")) return 16;
  if (starts("sh")) return 17;
  static const std::string kInitials = "bpmfdtnlgkhjqx";
  size_t initial = kInitials.find(s[0]);
  if (initial != std::string::npos) return static_cast<int>(initial) + 1;
  switch (s[0]) {
    case 'r': return 18;
    case 'z': return 19;
    case 'c': return 20;
    case 's': return 21;
    // "yu", "yue", "yuan", "yun" and "yong" begin with ㄩ, the other "y"
    // syllables with ㄧ, the "w" syllables with ㄨ.
    case 'y': return starts("yu") || starts("yong") ? 24 : 22;
    case 'w': return 23;
    case 'v': return 24;
    case 'E': return 28;
    default: break;
  }
  if (starts("er")) return 37;
  if (starts("ai")) return 29;
  if (starts("ei")) return 30;
  if (starts("ao")) return 31;
  if (starts("ou")) return 32;
  if (starts("ang")) return 35;
  if (starts("an")) return 33;
  if (starts("eng")) return 36;
  if (starts("en")) return 34;
  if (s[0] == 'a') return 25;
  if (s[0] == 'o') return 26;
  if (s[0] == 'e') return 27;
  return 0;
}

void NameIndex::AddUnihanLine(std::string_view line) {
  if (line.size() < 4 || line.compare(0, 2, "U+") != 0) return;
  size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return;
  size_t tab2 = line.find('\t', tab + 1);
  if (tab2 == std::string_view::npos) return;
  std::string_view field = line.substr(tab + 1, tab2 - tab - 1);
  bool mandarin = field == "kMandarin";
  if (!mandarin && field != "kTotalStrokes") return;
  char32_t code = static_cast<char32_t>(
      std::strtoul(std::string(line.substr(2, tab - 2)).c_str(), nullptr, 16));
  std::string_view value = LastValue(line.substr(tab2 + 1));
  if (value.empty()) return;
  if (mandarin) {
    std::string plain = PlainPinyin(value);
    char letter = plain.empty() ? 0 : plain[0] == 'v' ? 'L' : plain[0] == 'E' ? 'E' : plain[0];
    readings_[code] = Reading{PhoneticOfPinyin(value), letter};
  } else {
    int strokes = std::atoi(std::string(value).c_str());
    if (strokes > 0) strokes_[code] = strokes;
  }
}

std::string NameIndex::Load(const std::filesystem::path& folder) {
  for (const char* name : {"Unihan_Readings.txt", "Unihan_IRGSources.txt"}) {
    std::filesystem::path plain = folder / name;
    std::filesystem::path packed = folder / (std::string(name) + ".bz2");
    bool compressed = !std::filesystem::exists(plain);
    std::string error = ReadLines(compressed ? packed : plain, compressed,
                                  [this](std::string_view line) { AddUnihanLine(line); });
    if (!error.empty()) return "Unihan data: " + error;
  }
  if (readings_.empty() || strokes_.empty()) {
    return "Unihan data in " + folder.string() + " has no kMandarin or kTotalStrokes fields";
  }
  return std::string();
}

NameIndex::Positions NameIndex::Of(std::string_view name) const {
  Positions positions;
  size_t at = 0;
  char32_t first = 0;
  while (at < name.size()) {
    char32_t c = NextChar(name, &at);
    if (!IsSkippedLead(c)) {
      first = c;
      break;
    }
  }
  if (first == 0) return positions;
  if (first >= 0xFF10 && first <= 0xFF5A) first = first - 0xFF10 + '0';  // full-width forms
  if (first < 0x80) {
    positions.letter = LetterPosition(static_cast<char>(first));
    return positions;
  }
  if (int zhuyin = PhoneticOfZhuyin(first)) {
    positions.phonetic = zhuyin;
    return positions;
  }
  auto reading = readings_.find(first);
  if (reading != readings_.end()) {
    positions.phonetic = reading->second.phonetic;
    positions.letter = LetterPosition(reading->second.letter);
  }
  auto strokes = strokes_.find(first);
  if (strokes != strokes_.end()) positions.strokes = strokes->second > 40 ? 40 : strokes->second;
  return positions;
}

}  // namespace zolfa_server
