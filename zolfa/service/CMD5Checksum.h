// MD5 (RFC 1321) and the text form of a digest: 32 lower-case hexadecimal
// digits, two per digest byte in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zolfa {

class CMD5Checksum {
 public:
  CMD5Checksum();
  virtual ~CMD5Checksum();

  // Adds bytes to the message; may be called any number of times.
  void Feed(const void* data, size_t count);
  // Pads the message, appends its length in bits and returns the digest
  // text. The object starts a new message afterwards.
  std::u16string Finish();

 private:
  void Reset();
  void Transform(const uint8_t* block);

  uint8_t block_[64];      // input not yet transformed
  uint32_t bitCount_[2];   // message length in bits: low half, high half
  uint32_t state_[4];      // chaining values A, B, C, D
};

// The digest text of count bytes at data.
std::u16string DigestText(const void* data, size_t count);

}  // namespace zolfa
