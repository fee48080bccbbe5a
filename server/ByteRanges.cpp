#include "server/ByteRanges.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <vector>

namespace zolfa_server {

namespace {

// More range specifications than this are not looked at (the header is
// ignored): no client of the service asks for more than a few.
constexpr size_t kMaxSpecs = 1000;

struct Span {
  size_t first;
  size_t last;  // inclusive
};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A decimal position; nothing for an empty, signed or overflowing one.
std::optional<size_t> Position(std::string_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  size_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<size_t>(c - '0');
  }
  return value;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Parses one "first-last", "first-" or "-suffix" against the body; false
// when it is not well formed. *span is left empty when it is well formed
// but not satisfiable.
bool ParseSpec(std::string_view spec, size_t bodyLength, std::optional<Span>* span) {
  size_t dash = spec.find('-');
  if (dash == std::string_view::npos) return false;
  std::string_view left = Trim(spec.substr(0, dash));
  std::string_view right = Trim(spec.substr(dash + 1));
  if (left.empty()) {
    std::optional<size_t> suffix = Position(right);
    if (!suffix) return false;
    if (*suffix > 0 && bodyLength > 0) {
      *span = Span{bodyLength - std::min(*suffix, bodyLength), bodyLength - 1};
    }
    return true;
  }
  std::optional<size_t> first = Position(left);
  std::optional<size_t> last = right.empty() ? std::optional<size_t>(SIZE_MAX) : Position(right);
  if (!first || !last || *last < *first) return false;
  if (*first < bodyLength) *span = Span{*first, std::min(*last, bodyLength - 1)};
  return true;
}

}  // namespace

ByteRanges ByteRanges::Answer(std::string_view header, size_t bodyLength) {
  ByteRanges whole;
  size_t equals = header.find('=');
  if (equals == std::string_view::npos || !EqualsNoCase(Trim(header.substr(0, equals)), "bytes")) {
    return whole;
  }
  std::vector<Span> spans;
  size_t specs = 0;
  std::string_view rest = header.substr(equals + 1);
  while (true) {
    size_t comma = rest.find(',');
    std::string_view spec = Trim(rest.substr(0, comma));
    if (!spec.empty()) {  // empty list elements are allowed
      if (++specs > kMaxSpecs) return whole;
      std::optional<Span> span;
      if (!ParseSpec(spec, bodyLength, &span)) return whole;
      if (span) spans.push_back(*span);
    }
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (specs == 0) return whole;
  if (spans.empty()) {
    ByteRanges none;
    none.kind = Kind::kUnsatisfiable;
    return none;
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.first < b.first; });
  Span merged = spans.front();
  for (const Span& span : spans) {
    // Overlapping and adjacent ranges are one range; a gap means several.
    if (span.first > merged.last + 1) return whole;
    merged.last = std::max(merged.last, span.last);
  }
  ByteRanges part;
  part.kind = Kind::kPart;
  part.first = merged.first;
  part.length = merged.last - merged.first + 1;
  return part;
}

std::string ByteRanges::ContentRange(size_t bodyLength) const {
  if (kind == Kind::kPart) {
    return "bytes " + std::to_string(first) + "-" + std::to_string(first + length - 1) + "/" +
           std::to_string(bodyLength);
  }
  return "bytes */" + std::to_string(bodyLength);
}

}  // namespace zolfa_server
