// Feeds arbitrary answers to the tag reader and the login answer parser.
//
// Input: pairs of bytes read as UTF-16 units (little-endian). The first unit
// chooses which tags a loop of plain FindTag calls asks for, so both the
// fixed login order and arbitrary orders are covered. The reader must never
// read outside the answer, move its cursor backwards, or hand out a value
// that is not the text between the tags.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "zolfa/service/FindTag.h"
#include "zolfa/service/LoginAnswer.h"
#include "zolfa/service/TextLimits.h"

namespace {

using namespace zolfa;

const char16_t* const kNames[] = {u"sid", u"ds", u"ds_port", u"status", u"a", u"", u"sid_errno"};
constexpr size_t kNameCount = sizeof(kNames) / sizeof(kNames[0]);

void Check(bool ok) {
  if (!ok) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string answer;
  for (size_t i = 0; i + 1 < size; i += 2) {
    answer += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }

  LoginAnswer parsed = LoginAnswer::Parse(answer);
  Check(!parsed.sid || parsed.sid->size() <= kMaxSidLength);
  Check(!parsed.ds || parsed.ds->size() <= kMaxHostLength);

  uint32_t choice = answer.empty() ? 0 : answer[0];
  TagCursor cursor(answer);
  size_t last = 0;
  for (int i = 0; i < 16 && !cursor.IsAbsent(); ++i) {
    std::u16string name = kNames[(choice >> (i % 16)) % kNameCount];
    std::u16string open = u"<" + name + u">";
    std::u16string close = u"</" + name + u">";
    TagValue v = FindTag(cursor, open, close);
    if (cursor.IsAbsent()) {
      Check(!v.found);
      break;
    }
    Check(cursor.position >= last && cursor.position <= cursor.text.size());
    last = cursor.position;
    if (v.HasValue()) {
      Check(v.start + static_cast<size_t>(v.length) <= cursor.text.size());
      Check(cursor.text.compare(v.start - open.size(), open.size(), open) == 0);
      Check(cursor.text.compare(v.start + static_cast<size_t>(v.length), close.size(), close) == 0);
      Check(v.value.find(close) == std::u16string_view::npos);
    }
  }
  return 0;
}
