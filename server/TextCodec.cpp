#include "server/TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <vector>

namespace zolfa_server {

namespace {

// Length of the UTF-8 sequence that starts with lead, or 1 for a byte that
// cannot start one (it is then replaced on its own).
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~IconvHandle() { iconv_close(cd_); }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  iconv_t Get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

std::string TextCodec::Convert(const char* to, const char* from, std::string_view input,
                               std::string_view replacement, size_t skipOnError) {
  IconvHandle handle(to, from);
  std::string output;
  std::vector<char> chunk(4096);
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  while (inLeft > 0) {
    char* out = chunk.data();
    size_t outLeft = chunk.size();
    size_t result = iconv(handle.Get(), &in, &inLeft, &out, &outLeft);
    output.append(chunk.data(), chunk.size() - outLeft);
    if (result != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ (no such character in the target, or a bad sequence) or EINVAL
    // (a sequence cut off at the end): replace and go on after it.
    size_t skip = skipOnError == 0 ? Utf8SequenceLength(static_cast<unsigned char>(*in))
                                   : skipOnError;
    if (skip > inLeft) skip = inLeft;
    output.append(replacement);
    in += skip;
    inLeft -= skip;
    iconv(handle.Get(), nullptr, nullptr, nullptr, nullptr);
  }
  return output;
}

std::string TextCodec::Utf8ToCp950(std::string_view utf8) {
  return Convert("CP950", "UTF-8", utf8, "?", 0);
}

std::string TextCodec::Cp950ToUtf8(std::string_view cp950) {
  return Convert("UTF-8", "CP950", cp950, "\xEF\xBF\xBD", 1);
}

std::u16string TextCodec::Utf8ToUtf16(std::string_view utf8) {
  std::string bytes = Convert("UTF-16LE", "UTF-8", utf8, std::string("\xFD\xFF", 2), 0);
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return units;
}

}  // namespace zolfa_server
