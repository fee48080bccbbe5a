// The answer to a Range header ("bytes=0-499", "bytes=-500", "bytes=9500-",
// several separated by commas) for a body of a known length:
//   - the whole body when the header is absent, of another unit or not
//     well formed (the header is then ignored, as HTTP allows);
//   - one part (206) when the satisfiable ranges, overlapping or adjacent
//     ones merged, make one range; ends past the body are cut to it;
//   - the whole body when they make several disjoint ranges (a server may
//     ignore a Range header; no multipart answer is built);
//   - unsatisfiable (416) when no range starts inside the body.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zolfa_server {

struct ByteRanges {
  enum class Kind { kWhole, kPart, kUnsatisfiable };
  Kind kind = Kind::kWhole;
  size_t first = 0;   // kPart: the first byte sent
  size_t length = 0;  // kPart: how many bytes are sent

  static ByteRanges Answer(std::string_view header, size_t bodyLength);
  // The Content-Range value of the answer ("bytes 0-499/1000" for a part,
  // "bytes */1000" when unsatisfiable).
  std::string ContentRange(size_t bodyLength) const;
};

}  // namespace zolfa_server
