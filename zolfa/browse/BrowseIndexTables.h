// The three index tables through which artists are listed: phonetic
// symbols, stroke counts and letters. Entry 0 of every table is "合輯" (the
// compilations). The position of an entry is what the artist request sends,
// so the order and the counts are fixed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zolfa {

constexpr int32_t kIndexTablePhonetic = 0;  // index_type "1"
constexpr int32_t kIndexTableStrokes = 1;   // index_type "2"
constexpr int32_t kIndexTableLetters = 2;   // index_type "3"
constexpr int32_t kIndexTableCount = 3;

// Entry counts of the three tables; no table holds more than
// kMaxIndexEntries.
constexpr size_t kPhoneticEntryCount = 38;
constexpr size_t kStrokeEntryCount = 41;
constexpr size_t kLetterEntryCount = 37;
constexpr size_t kMaxIndexEntries = 255;

inline constexpr std::u16string_view kCompilationsEntry = u"合輯";
// The index sent for the entry at position 0.
inline constexpr std::u16string_view kCompilationsIndex = u"99";

// The entries of table in order; empty for a table number out of range.
std::span<const std::u16string_view> IndexTableEntries(int32_t table);

// The index_type and index values of an artist request for the entry at
// position of table: index_type is the decimal table + 1, index the decimal
// position, or "99" for position 0.
struct IndexQuery {
  std::u16string indexType;
  std::u16string index;
};
IndexQuery IndexQueryOf(int32_t table, int32_t position);

}  // namespace zolfa
