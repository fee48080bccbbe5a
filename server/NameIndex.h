// Where a name is listed in the three index tables, as a person of the
// handset's market looks it up: the phonetic table by the zhuyin initial of
// the first character, the stroke table by its total strokes, the letter
// table by the first Latin letter or digit (a Han character by the first
// letter of its romanised reading). The readings and stroke counts come from
// the Unihan database of the unicode-data package, read once at start.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zolfa_server {

class NameIndex {
 public:
  // Where Debian's unicode-data package keeps the Unihan files.
  static constexpr const char* kUnihanFolder = "/usr/share/unicode";

  struct Positions {
    // 0 where the name has no entry of that table (it is listed under the
    // compilation entry "合輯" of the table then).
    int phonetic = 0;
    int strokes = 0;
    int letter = 0;
  };

  // Reads Unihan_Readings.txt(.bz2) and Unihan_IRGSources.txt(.bz2) of the
  // folder; returns an error text or an empty one.
  std::string Load(const std::filesystem::path& folder = kUnihanFolder);
  // Adds one Unihan line ("U+738B<TAB>kMandarin<TAB>wáng"); other fields
  // are ignored. Load calls it for every line of the files.
  void AddUnihanLine(std::string_view line);

  Positions Of(std::string_view utf8Name) const;

  // The phonetic-table position (1 ㄅ .. 37 ㄦ) of a pinyin syllable's
  // zhuyin initial, tone marks allowed; 0 for no syllable.
  static int PhoneticOfPinyin(std::string_view pinyin);

  size_t ReadingCount() const { return readings_.size(); }
  size_t StrokeCount() const { return strokes_.size(); }

 private:
  struct Reading {
    int phonetic = 0;
    char letter = 0;
  };
  std::unordered_map<char32_t, Reading> readings_;
  std::unordered_map<char32_t, int> strokes_;
};

}  // namespace zolfa_server
