// SplitBetween and ExtractBetween with arbitrary markers, checked against
// deleting the text up to each end marker and searching again.
// Input: byte 0 and 1 give the lengths of the start and end marker (mod 8);
// the markers follow, then the text, one widened byte per character.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/feed/FuzzText.h"
#include "tests/browse/NaiveFeed.h"
#include "zolfa/browse/MarkerSearch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zolfa;
  if (size < 2) return 0;
  size_t startLen = data[0] % 8;
  size_t endLen = data[1] % 8;
  if (size < 2 + startLen + endLen) return 0;
  const std::u16string start = fuzz::WideText(data + 2, startLen, false);
  const std::u16string end = fuzz::WideText(data + 2 + startLen, endLen, false);
  const std::u16string text = fuzz::WideText(data + 2 + startLen + endLen, size - 2 - startLen - endLen, false);

  std::vector<std::u16string> values;
  size_t count = SplitBetween(text, start, end, values);
  if (count != values.size()) fuzz::Fail("count");
  if (text.size() <= 8192 && values != naive::Split(text, start, end)) fuzz::Fail("split differs");

  std::u16string value = u"unchanged";
  std::u16string expected = value;
  bool found = ExtractBetween(text, start, end, value);
  if (found != naive::Extract(text, start, end, expected) || value != expected) fuzz::Fail("extract differs");
  if (found != !values.empty()) fuzz::Fail("extract and split disagree");
  return 0;
}
