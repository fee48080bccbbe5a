#include "zolfa/service/CMD5Checksum.h"

#include <cstring>

namespace zolfa {
namespace {

constexpr uint32_t kInitialState[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};

// Per-round shift amounts and the sine-derived constants of RFC 1321.
constexpr int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
constexpr uint32_t kSine[64] = {
    0xd76aa478u, 0xe8c7b756u, 0x242070dbu, 0xc1bdceeeu, 0xf57c0fafu, 0x4787c62au, 0xa8304613u,
    0xfd469501u, 0x698098d8u, 0x8b44f7afu, 0xffff5bb1u, 0x895cd7beu, 0x6b901122u, 0xfd987193u,
    0xa679438eu, 0x49b40821u, 0xf61e2562u, 0xc040b340u, 0x265e5a51u, 0xe9b6c7aau, 0xd62f105du,
    0x02441453u, 0xd8a1e681u, 0xe7d3fbc8u, 0x21e1cde6u, 0xc33707d6u, 0xf4d50d87u, 0x455a14edu,
    0xa9e3e905u, 0xfcefa3f8u, 0x676f02d9u, 0x8d2a4c8au, 0xfffa3942u, 0x8771f681u, 0x6d9d6122u,
    0xfde5380cu, 0xa4beea44u, 0x4bdecfa9u, 0xf6bb4b60u, 0xbebfbc70u, 0x289b7ec6u, 0xeaa127fau,
    0xd4ef3085u, 0x04881d05u, 0xd9d4d039u, 0xe6db99e5u, 0x1fa27cf8u, 0xc4ac5665u, 0xf4292244u,
    0x432aff97u, 0xab9423a7u, 0xfc93a039u, 0x655b59c3u, 0x8f0ccc92u, 0xffeff47du, 0x85845dd1u,
    0x6fa87e4fu, 0xfe2ce6e0u, 0xa3014314u, 0x4e0811a1u, 0xf7537e82u, 0xbd3af235u, 0x2ad7d2bbu,
    0xeb86d391u};

// The message word each step uses: i, 5i + 1, 3i + 5 and 7i (mod 16) in
// the four rounds.
constexpr int kIndex[64] = {0, 1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                            1, 6,  11, 0,  5,  10, 15, 4,  9,  14, 3,  8,  13, 2,  7,  12,
                            5, 8,  11, 14, 1,  4,  7,  10, 13, 0,  3,  6,  9,  12, 15, 2,
                            0, 7,  14, 5,  12, 3,  10, 1,  8,  15, 6,  13, 4,  11, 2,  9};

constexpr uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

uint32_t LoadLittleEndian(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The 16 steps of one round. Each step is a = b + ((a + f(b, c, d) + x + t)
// <<< s), after which the four words move one place; unrolled, the moves
// cost nothing.
template <int kRound, typename RoundFunction>
inline void Round(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, const uint32_t* x,
                  RoundFunction f) {
#pragma GCC unroll 16
  for (int i = kRound * 16; i < kRound * 16 + 16; ++i) {
    uint32_t next = b + RotateLeft(a + f(b, c, d) + kSine[i] + x[kIndex[i]], kShift[i]);
    a = d;
    d = c;
    c = b;
    b = next;
  }
}

}  // namespace

CMD5Checksum::CMD5Checksum() { Reset(); }

CMD5Checksum::~CMD5Checksum() = default;

void CMD5Checksum::Reset() {
  std::memset(block_, 0, sizeof(block_));
  bitCount_[0] = bitCount_[1] = 0;
  std::memcpy(state_, kInitialState, sizeof(state_));
}

void CMD5Checksum::Transform(const uint8_t* block) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = LoadLittleEndian(block + 4 * i);
  uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  Round<0>(a, b, c, d, x, [](uint32_t b, uint32_t c, uint32_t d) { return d ^ (b & (c ^ d)); });
  Round<1>(a, b, c, d, x, [](uint32_t b, uint32_t c, uint32_t d) { return c ^ (d & (b ^ c)); });
  Round<2>(a, b, c, d, x, [](uint32_t b, uint32_t c, uint32_t d) { return b ^ c ^ d; });
  Round<3>(a, b, c, d, x, [](uint32_t b, uint32_t c, uint32_t d) { return c ^ (b | ~d); });
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
}

void CMD5Checksum::Feed(const void* data, size_t count) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_t used = (bitCount_[0] >> 3) & 63;
  // The bit count is a 64-bit number kept as two halves; count * 8 may
  // itself exceed 32 bits.
  uint64_t bits = (static_cast<uint64_t>(bitCount_[1]) << 32 | bitCount_[0]) +
                  (static_cast<uint64_t>(count) << 3);
  bitCount_[0] = static_cast<uint32_t>(bits);
  bitCount_[1] = static_cast<uint32_t>(bits >> 32);
  if (used > 0) {
    size_t take = 64 - used < count ? 64 - used : count;
    std::memcpy(block_ + used, bytes, take);
    bytes += take;
    count -= take;
    if (used + take < 64) return;
    Transform(block_);
  }
  for (; count >= 64; bytes += 64, count -= 64) Transform(bytes);
  if (count > 0) std::memcpy(block_, bytes, count);
}

std::u16string CMD5Checksum::Finish() {
  uint8_t length[8];
  for (int i = 0; i < 4; ++i) {
    length[i] = static_cast<uint8_t>(bitCount_[0] >> (8 * i));
    length[4 + i] = static_cast<uint8_t>(bitCount_[1] >> (8 * i));
  }
  static constexpr uint8_t kPadding[64] = {0x80};
  size_t used = (bitCount_[0] >> 3) & 63;
  Feed(kPadding, used < 56 ? 56 - used : 120 - used);
  Feed(length, sizeof(length));

  static constexpr char16_t kHex[] = u"0123456789abcdef";
  std::u16string text;
  text.reserve(32);
  for (uint32_t word : state_) {
    for (int i = 0; i < 4; ++i) {
      auto byte = static_cast<uint8_t>(word >> (8 * i));
      text += kHex[byte >> 4];
      text += kHex[byte & 0x0F];
    }
  }
  Reset();
  return text;
}

std::u16string DigestText(const void* data, size_t count) {
  CMD5Checksum checksum;
  checksum.Feed(data, count);
  return checksum.Finish();
}

}  // namespace zolfa
