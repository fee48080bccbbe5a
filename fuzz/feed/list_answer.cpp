// ParseListAnswer over arbitrary answers of every request kind (and one that
// is none), checked against the reference reader that searches from scratch.
// Input: byte 0 picks the kind (mod 7), byte 1 the text mode; the rest is the
// answer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/feed/FuzzText.h"
#include "tests/browse/NaiveFeed.h"
#include "zolfa/browse/ListAnswer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zolfa;
  if (size < 2) return 0;
  const int32_t kind = data[0] % 7;
  const std::u16string answer = fuzz::WideText(data + 2, size - 2, data[1] & 1);

  std::vector<FeedItem> items;
  size_t count = ParseListAnswer(answer, kind, [&](FeedItem item) { items.push_back(std::move(item)); });
  if (count != items.size()) fuzz::Fail("count differs from the items handed out");
  for (const FeedItem& item : items) {
    if (item.category != kCategoryFolder && item.category != kCategorySong) fuzz::Fail("category");
    if (item.title.size() > answer.size() || item.link.size() > answer.size()) fuzz::Fail("field size");
  }
  // The reference is quadratic; keep it to inputs it reads quickly.
  if (answer.size() <= 8192 && items != naive::ListAnswer(answer, kind)) fuzz::Fail("differs from reference");
  return 0;
}
