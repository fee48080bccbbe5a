#include "zolfa/library/AnsiText.h"

#include "platform/base/CodePage.h"

namespace zolfa {

std::u16string AnsiToWide(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    // Every byte before the first byte of 0x80 or above stands alone: the run
    // is widened in one go.
    size_t run = i;
    while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80) ++run;
    if (run > i) {
      size_t at = text.size();
      text.resize(at + (run - i));
      for (size_t k = i; k < run; ++k) text[at + (k - i)] = static_cast<char16_t>(static_cast<unsigned char>(bytes[k]));
      i = run;
      continue;
    }
    // A byte below 0x40 is never part of a double-byte character (trail
    // bytes start at 0x40), so the code page's reading of the bytes up to
    // the next "<" is the reading it gives them inside the whole text.
    size_t end = bytes.find('<', i);
    if (end == std::string_view::npos) end = bytes.size();
    text += ce::MultiToWide(bytes.substr(i, end - i), ce::CP_ACP);
    i = end;
  }
  return text;
}

void AppendAnsi(std::string& out, std::u16string_view text) {
  size_t ascii = 0;
  while (ascii < text.size() && text[ascii] < 0x80) ++ascii;
  for (size_t i = 0; i < ascii; ++i) out.push_back(static_cast<char>(text[i]));
  if (ascii < text.size()) out += ce::WideToMulti(text.substr(ascii), ce::CP_ACP);
}

}  // namespace zolfa
