// Where the entries of an index table stand in the browse screen's index
// grid: four entries of 22 pixels to a row of 14 pixels, "合輯" alone at the
// top left, and in the phonetic table a new row after ㄏ, ㄒ, ㄙ and ㄩ with
// ㄦ beside "合輯".
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zolfa {

constexpr int kGridEntryWidth = 22;  // pixels
constexpr int kGridRowHeight = 14;   // pixels
constexpr int kGridRowWidth = 88;    // pixels: four entries

struct IndexGridEntry {
  std::u16string_view text;
  int x = 0;  // pixels inside the grid
  int y = 0;
};

// The entries of table (BrowseIndexTables.h) in table order, so that the
// position of an entry in the result is its index position.
std::vector<IndexGridEntry> IndexGridLayout(int32_t table);

}  // namespace zolfa
