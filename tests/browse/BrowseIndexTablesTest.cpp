// The index tables of the artist lists and the index values a position sends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zolfa/browse/BrowseIndexTables.h"

namespace zolfa {
namespace {

TEST(BrowseIndexTablesTest, TablesHaveTheirFixedCountsAndStartWithCompilations) {
  const size_t counts[] = {38, 41, 37};
  for (int32_t table = 0; table < kIndexTableCount; ++table) {
    SCOPED_TRACE(table);
    auto entries = IndexTableEntries(table);
    EXPECT_EQ(entries.size(), counts[table]);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0], u"合輯");
  }
  EXPECT_TRUE(IndexTableEntries(3).empty());
  EXPECT_TRUE(IndexTableEntries(-1).empty());
}

TEST(BrowseIndexTablesTest, PositionsGiveTheEntryAndTheValuesSent) {
  struct Case {
    int32_t table;
    int32_t position;
    std::u16string entry;
    std::u16string indexType;
    std::u16string index;
  };
  const std::vector<Case> cases = {
      {kIndexTablePhonetic, 0, u"合輯", u"1", u"99"},
      {kIndexTablePhonetic, 1, u"ㄅ", u"1", u"1"},
      {kIndexTablePhonetic, 21, u"ㄙ", u"1", u"21"},
      // The medials stand between ㄙ and ㄚ.
      {kIndexTablePhonetic, 22, u"ㄧ", u"1", u"22"},
      {kIndexTablePhonetic, 24, u"ㄩ", u"1", u"24"},
      {kIndexTablePhonetic, 25, u"ㄚ", u"1", u"25"},
      {kIndexTablePhonetic, 36, u"ㄥ", u"1", u"36"},
      {kIndexTablePhonetic, 37, u"ㄦ", u"1", u"37"},
      {kIndexTableStrokes, 0, u"合輯", u"2", u"99"},
      {kIndexTableStrokes, 1, u"1", u"2", u"1"},
      {kIndexTableStrokes, 40, u"40", u"2", u"40"},
      {kIndexTableLetters, 0, u"合輯", u"3", u"99"},
      {kIndexTableLetters, 1, u"A", u"3", u"1"},
      {kIndexTableLetters, 26, u"Z", u"3", u"26"},
      {kIndexTableLetters, 27, u"0", u"3", u"27"},
      {kIndexTableLetters, 36, u"9", u"3", u"36"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.table << "/" << c.position);
    auto entries = IndexTableEntries(c.table);
    ASSERT_LT(static_cast<size_t>(c.position), entries.size());
    EXPECT_EQ(entries[c.position], c.entry);
    IndexQuery query = IndexQueryOf(c.table, c.position);
    EXPECT_EQ(query.indexType, c.indexType);
    EXPECT_EQ(query.index, c.index);
  }
}

}  // namespace
}  // namespace zolfa
