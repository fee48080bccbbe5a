#include "zolfa/browse/IndexGrid.h"

#include "zolfa/browse/BrowseIndexTables.h"

namespace zolfa {

namespace {

// Phonetic symbols after which the next one starts a new row, and the one
// that stands beside "合輯".
bool EndsPhoneticRow(std::u16string_view entry) {
  return entry == u"ㄏ" || entry == u"ㄒ" || entry == u"ㄙ" || entry == u"ㄩ";
}
constexpr std::u16string_view kTopRowSymbol = u"ㄦ";
constexpr int kTopRowSymbolX = 66;

}  // namespace

std::vector<IndexGridEntry> IndexGridLayout(int32_t table) {
  std::vector<IndexGridEntry> entries;
  auto texts = IndexTableEntries(table);
  int a = 0;  // running offset: the row is a / 88, the column a % 88
  for (size_t i = 0; i < texts.size(); ++i) {
    IndexGridEntry entry{texts[i], 0, 0};
    if (i == 0) {
      entries.push_back(entry);  // "合輯" at (0, 0)
      continue;
    }
    if (table == kIndexTablePhonetic && texts[i] == kTopRowSymbol) {
      entry.x = kTopRowSymbolX;
      entries.push_back(entry);
      continue;
    }
    entry.x = a % kGridRowWidth;
    entry.y = (a / kGridRowWidth) * kGridRowHeight + kGridRowHeight;
    entries.push_back(entry);
    a += kGridEntryWidth;
    if (table == kIndexTablePhonetic && EndsPhoneticRow(texts[i])) a += kGridEntryWidth;
  }
  return entries;
}

}  // namespace zolfa
