// Turns fuzz input bytes into wide text. Mode 0 widens each byte, so that the
// ASCII tags of the dictionary reach the parsers as they are; mode 1 reads
// UTF-16LE pairs, so that every code unit, surrogates included, occurs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zolfa::fuzz {

inline std::u16string WideText(const uint8_t* data, size_t size, bool pairs) {
  std::u16string text;
  if (pairs) {
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  } else {
    text.assign(data, data + size);
  }
  return text;
}

// Stops the run with a message that libFuzzer reports as a crash.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "property broken: %s\n", what);
  std::fflush(stderr);
  __builtin_trap();
}

}  // namespace zolfa::fuzz
