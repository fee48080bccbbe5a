#include "zolfa/browse/BrowseIndexTables.h"

#include <array>
#include <string>

namespace zolfa {

namespace {

// The three medials ㄧ ㄨ ㄩ stand directly after ㄙ and before ㄚ.
constexpr std::array<std::u16string_view, kPhoneticEntryCount> kPhonetic = {
    kCompilationsEntry, u"ㄅ", u"ㄆ", u"ㄇ", u"ㄈ", u"ㄉ", u"ㄊ", u"ㄋ", u"ㄌ", u"ㄍ",
    u"ㄎ",              u"ㄏ", u"ㄐ", u"ㄑ", u"ㄒ", u"ㄓ", u"ㄔ", u"ㄕ", u"ㄖ", u"ㄗ",
    u"ㄘ",              u"ㄙ", u"ㄧ", u"ㄨ", u"ㄩ", u"ㄚ", u"ㄛ", u"ㄜ", u"ㄝ", u"ㄞ",
    u"ㄟ",              u"ㄠ", u"ㄡ", u"ㄢ", u"ㄣ", u"ㄤ", u"ㄥ", u"ㄦ"};

constexpr std::array<std::u16string_view, kStrokeEntryCount> kStrokes = {
    kCompilationsEntry, u"1",  u"2",  u"3",  u"4",  u"5",  u"6",  u"7",  u"8",  u"9",  u"10",
    u"11",              u"12", u"13", u"14", u"15", u"16", u"17", u"18", u"19", u"20", u"21",
    u"22",              u"23", u"24", u"25", u"26", u"27", u"28", u"29", u"30", u"31", u"32",
    u"33",              u"34", u"35", u"36", u"37", u"38", u"39", u"40"};

constexpr std::array<std::u16string_view, kLetterEntryCount> kLetters = {
    kCompilationsEntry, u"A", u"B", u"C", u"D", u"E", u"F", u"G", u"H", u"I", u"J", u"K", u"L",
    u"M",               u"N", u"O", u"P", u"Q", u"R", u"S", u"T", u"U", u"V", u"W", u"X", u"Y",
    u"Z",               u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"};

static_assert(kPhonetic.size() <= kMaxIndexEntries && kStrokes.size() <= kMaxIndexEntries &&
              kLetters.size() <= kMaxIndexEntries);

std::u16string Decimal(int64_t value) {
  std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::span<const std::u16string_view> IndexTableEntries(int32_t table) {
  switch (table) {
    case kIndexTablePhonetic:
      return kPhonetic;
    case kIndexTableStrokes:
      return kStrokes;
    case kIndexTableLetters:
      return kLetters;
    default:
      return {};
  }
}

IndexQuery IndexQueryOf(int32_t table, int32_t position) {
  IndexQuery query;
  query.indexType = Decimal(static_cast<int64_t>(table) + 1);
  query.index = position == 0 ? std::u16string(kCompilationsIndex) : Decimal(position);
  return query;
}

}  // namespace zolfa
