#include "zolfa/browse/MarkerSearch.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zolfa {

namespace {

constexpr size_t kNotFound = std::u16string_view::npos;

// The first place of `marker` at or after `from`, found by looking for its
// unit at `anchor` many units at a time and comparing the whole marker where
// that unit stands. Candidates come in text order, so the first that matches
// is the first place of the marker. The marker is not empty and fits in the
// text after `from`.
#define ZOLFA_MARKER_SCAN(UnitsPerStep, Broadcast, LoadCompareMask)                              \
  const size_t length = marker.size();                                                          \
  const char16_t* data = text.data();                                                           \
  const char16_t unit = marker[anchor];                                                         \
  const char16_t first = marker[0];                                                             \
  const char16_t last = marker[length - 1];                                                     \
  /* The anchor of a place p stands at p + anchor; the last place that fits */                  \
  /* is text.size() - length. */                                                                \
  const size_t end = text.size() - length + anchor + 1;                                         \
  Broadcast;                                                                                    \
  size_t at = from + anchor;                                                                    \
  while (at < end) {                                                                            \
    if (at + (UnitsPerStep) <= end) {                                                           \
      unsigned mask = LoadCompareMask;                                                          \
      if (mask == 0) {                                                                          \
        at += (UnitsPerStep);                                                                   \
        continue;                                                                               \
      }                                                                                         \
      at += static_cast<size_t>(__builtin_ctz(mask)) / 2;                                       \
    } else if (data[at] != unit) {                                                              \
      ++at;                                                                                     \
      continue;                                                                                 \
    }                                                                                           \
    const size_t pos = at - anchor;                                                             \
    if (data[pos] == first && data[pos + length - 1] == last &&                                 \
        std::memcmp(data + pos, marker.data(), length * sizeof(char16_t)) == 0) {               \
      return pos;                                                                               \
    }                                                                                           \
    ++at;                                                                                       \
  }                                                                                             \
  return kNotFound;

size_t ScanNarrow(std::u16string_view marker, size_t anchor, std::u16string_view text, size_t from) {
#if defined(__SSE2__)
  ZOLFA_MARKER_SCAN(8, const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit)),
                    static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at)), wanted))))
#else
  ZOLFA_MARKER_SCAN(1, (void)0, data[at] == unit ? 1u : 0u)
#endif
}

#if defined(__x86_64__)
// The same, sixteen units at a time, for processors that have AVX2.
__attribute__((target("avx2"))) size_t ScanWide(std::u16string_view marker, size_t anchor,
                                                 std::u16string_view text, size_t from) {
  ZOLFA_MARKER_SCAN(16, const __m256i wanted = _mm256_set1_epi16(static_cast<short>(unit)),
                    static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi16(
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at)), wanted))))
}
#endif

#undef ZOLFA_MARKER_SCAN

using ScanFn = size_t (*)(std::u16string_view, size_t, std::u16string_view, size_t);

ScanFn BestScan() {
#if defined(__x86_64__)
  static const ScanFn best = __builtin_cpu_supports("avx2") ? ScanWide : ScanNarrow;
  return best;
#else
  return ScanNarrow;
#endif
}

// How likely a code unit is to be common in markup: punctuation of tags
// most, then lower-case letters; upper-case letters and digits least.
int Commonness(char16_t unit) {
  if (unit >= u'A' && unit <= u'Z') return 0;
  if (unit >= u'0' && unit <= u'9') return 1;
  if (unit >= u'a' && unit <= u'z') return 2;
  if (unit == u'<' || unit == u'>' || unit == u'/' || unit == u'&' || unit == u';' || unit == u'=') return 4;
  return 3;
}

// The anchor of a marker of FindBetween. Markers are mostly the same few
// constants, so their anchors are kept by address. A marker of another text
// at a kept address and of the same length gets a stale anchor, which is
// still a valid one: any anchor gives the same result.
size_t RememberedAnchor(std::u16string_view marker) {
  struct Entry {
    const char16_t* data = nullptr;
    size_t size = 0;
    size_t anchor = 0;
  };
  constexpr size_t kEntries = 64;
  thread_local std::array<Entry, kEntries> entries;
  Entry& entry = entries[(reinterpret_cast<uintptr_t>(marker.data()) / sizeof(char16_t)) % kEntries];
  if (entry.data != marker.data() || entry.size != marker.size()) {
    entry = Entry{marker.data(), marker.size(), DefaultAnchor(marker)};
  }
  return entry.anchor;
}

}  // namespace

size_t FindMarker(std::u16string_view text, size_t from, std::u16string_view marker, size_t anchor) {
  const size_t length = marker.size();
  if (length == 0 || anchor >= length || from > text.size() || text.size() - from < length) return kNotFound;
  return BestScan()(marker, anchor, text, from);
}

size_t DefaultAnchor(std::u16string_view marker) {
  size_t anchor = 0;
  for (size_t i = 0; i < marker.size(); ++i) {
    if (Commonness(marker[i]) <= Commonness(marker[anchor])) anchor = i;
  }
  return anchor;
}

std::optional<MarkerMatch> FindBetween(std::u16string_view text, size_t from,
                                       std::u16string_view start, std::u16string_view end) {
  // An empty marker would match everywhere and never move the search on.
  if (start.empty() || end.empty() || from > text.size()) return std::nullopt;
  size_t startAt = FindMarker(text, from, start, RememberedAnchor(start));
  if (startAt == kNotFound) return std::nullopt;
  size_t endAt = FindMarker(text, startAt, end, RememberedAnchor(end));
  if (endAt == kNotFound) return std::nullopt;
  MarkerMatch match;
  match.startAt = startAt;
  match.valueBegin = startAt + start.size();
  match.valueEnd = std::max(endAt, match.valueBegin);
  match.next = endAt + end.size();
  return match;
}

bool ExtractBetween(std::u16string_view text, std::u16string_view start, std::u16string_view end,
                    std::u16string& value) {
  auto match = FindBetween(text, 0, start, end);
  if (!match) return false;
  value = match->Value(text);
  return true;
}

size_t SplitBetween(std::u16string_view text, std::u16string_view start, std::u16string_view end,
                    std::vector<std::u16string_view>& values) {
  size_t count = 0;
  size_t cursor = 0;
  while (auto match = FindBetween(text, cursor, start, end)) {
    values.push_back(match->Value(text));
    ++count;
    cursor = match->next;
  }
  return count;
}

size_t SplitBetween(std::u16string_view text, std::u16string_view start, std::u16string_view end,
                    std::vector<std::u16string>& values) {
  size_t count = 0;
  size_t cursor = 0;
  while (auto match = FindBetween(text, cursor, start, end)) {
    values.emplace_back(match->Value(text));
    ++count;
    cursor = match->next;
  }
  return count;
}

}  // namespace zolfa
