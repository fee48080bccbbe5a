#include "platform/base/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>

namespace ce {
namespace {

// glibc's CP950 is the double-byte Traditional Chinese table with the
// device's extensions (the euro sign at A3 E1, the box drawing row at F9).
constexpr const char* kAnsiCharset = "CP950";
constexpr const char* kUtf8Charset = "UTF-8";
// Wide text is char16_t in native byte order.
constexpr const char* kWideCharset =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

constexpr char16_t kReplacementChar = 0xFFFD;
constexpr char kAnsiDefaultChar = '?';
constexpr char kUtf8Replacement[] = "\xEF\xBF\xBD";

enum class Charset { kAnsi, kUtf8 };

const char* CharsetName(Charset charset) {
  return charset == Charset::kAnsi ? kAnsiCharset : kUtf8Charset;
}

bool CharsetOf(UINT codePage, Charset* charset) {
  if (codePage == CP_ACP || codePage == kAnsiCodePage) {
    *charset = Charset::kAnsi;
    return true;
  }
  if (codePage == CP_UTF8) {
    *charset = Charset::kUtf8;
    return true;
  }
  return false;
}

// An iconv descriptor carries conversion state and must not be shared
// between threads, so every thread opens its own, once per direction.
class ThreadConverters {
 public:
  ThreadConverters() { descriptors_.fill(kClosed); }
  ~ThreadConverters() {
    for (iconv_t cd : descriptors_) {
      if (cd != kClosed) iconv_close(cd);
    }
  }
  ThreadConverters(const ThreadConverters&) = delete;
  ThreadConverters& operator=(const ThreadConverters&) = delete;

  // Null when glibc lacks the conversion.
  iconv_t Get(Charset charset, bool toWide) {
    size_t slot = static_cast<size_t>(charset) * 2 + (toWide ? 1 : 0);
    iconv_t& cd = descriptors_[slot];
    if (cd == kClosed) {
      const char* bytes = CharsetName(charset);
      cd = toWide ? iconv_open(kWideCharset, bytes) : iconv_open(bytes, kWideCharset);
      if (cd == kClosed) return nullptr;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return cd;
  }

 private:
  static inline const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);
  std::array<iconv_t, 4> descriptors_;
};

iconv_t Converter(Charset charset, bool toWide) {
  thread_local ThreadConverters converters;
  return converters.Get(charset, toWide);
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool IsAnsiLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsAnsiTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE); }

// Length in bytes of the invalid sequence at p (at least 1, at most left):
// a well-formed but unmapped double-byte pair counts as one character, a lead
// byte whose trail is not a trail byte stands alone.
size_t AnsiInvalidLength(const unsigned char* p, size_t left) {
  if (left >= 2 && IsAnsiLeadByte(p[0]) && IsAnsiTrailByte(p[1])) return 2;
  return 1;
}

// Length of the maximal invalid UTF-8 subpart at p, so that each broken
// sequence becomes exactly one U+FFFD and the bytes after it are read anew.
size_t Utf8InvalidLength(const unsigned char* p, size_t left) {
  unsigned char b = p[0];
  size_t continuation = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    continuation = 1;
  } else if (b == 0xE0) {
    continuation = 2;
    low = 0xA0;
  } else if (b == 0xED) {
    continuation = 2;
    high = 0x9F;
  } else if (b >= 0xE1 && b <= 0xEF) {
    continuation = 2;
  } else if (b == 0xF0) {
    continuation = 3;
    low = 0x90;
  } else if (b >= 0xF1 && b <= 0xF3) {
    continuation = 3;
  } else if (b == 0xF4) {
    continuation = 3;
    high = 0x8F;
  } else {
    return 1;
  }
  size_t length = 1;
  while (length <= continuation && length < left && p[length] >= low && p[length] <= high) {
    low = 0x80;
    high = 0xBF;
    ++length;
  }
  return length;
}

enum class Outcome { kOk, kInvalidInput, kNoConverter };

// Converts units to bytes; what the charset cannot take becomes defaultChar
// (code page 950) or U+FFFD (UTF-8).
Outcome EncodeWide(Charset charset, const char16_t* units, size_t count, std::string_view defaultChar,
                   bool strict, std::string* out, bool* usedDefault) {
  iconv_t cd = Converter(charset, false);
  if (cd == nullptr) return Outcome::kNoConverter;
  out->clear();
  const char16_t* const begin = units;
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(units));
  size_t inLeft = count * sizeof(char16_t);
  char buffer[512];
  while (inLeft > 0) {
    char* next = buffer;
    size_t room = sizeof(buffer);
    size_t result = iconv(cd, &in, &inLeft, &next, &room);
    out->append(buffer, static_cast<size_t>(next - buffer));
    if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ (unmappable character, lone surrogate) or EINVAL (a high
    // surrogate that ends the input): replace one code point and go on.
    if (strict) return Outcome::kInvalidInput;
    size_t at = static_cast<size_t>(reinterpret_cast<const char16_t*>(in) - begin);
    size_t skip = 1;
    if (at + 1 < count && IsHighSurrogate(begin[at]) && IsLowSurrogate(begin[at + 1])) skip = 2;
    if (charset == Charset::kUtf8) {
      out->append(kUtf8Replacement);
    } else {
      out->append(defaultChar);
      if (usedDefault != nullptr) *usedDefault = true;
    }
    in += skip * sizeof(char16_t);
    inLeft -= skip * sizeof(char16_t);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return Outcome::kOk;
}

// Where decoded units go: a string, a caller's buffer of fixed room (units
// past it are only counted), or nowhere (only counted). Counting first and
// then decoding into the caller's buffer keeps a large text from being held
// twice.
class UnitSink {
 public:
  UnitSink() = default;
  explicit UnitSink(std::u16string* text) : text_(text) {}
  UnitSink(char16_t* buffer, size_t room) : buffer_(buffer), room_(room) {}

  void Append(const char16_t* units, size_t count) {
    if (text_ != nullptr) {
      text_->append(units, count);
    } else if (buffer_ != nullptr && count_ < room_) {
      std::memcpy(buffer_ + count_, units, std::min(count, room_ - count_) * sizeof(char16_t));
    }
    count_ += count;
  }
  size_t Count() const { return count_; }

 private:
  std::u16string* text_ = nullptr;
  char16_t* buffer_ = nullptr;
  size_t room_ = 0;
  size_t count_ = 0;
};

// Converts bytes to units, never reading past count; each invalid sequence
// becomes one '?' (code page 950) or U+FFFD (UTF-8).
Outcome DecodeBytes(Charset charset, const char* bytes, size_t count, bool strict, UnitSink* out) {
  iconv_t cd = Converter(charset, true);
  if (cd == nullptr) return Outcome::kNoConverter;
  const char16_t replacement = charset == Charset::kUtf8 ? kReplacementChar : kAnsiDefaultChar;
  char* in = const_cast<char*>(bytes);
  size_t inLeft = count;
  char16_t buffer[256];
  while (inLeft > 0) {
    char* next = reinterpret_cast<char*>(buffer);
    size_t room = sizeof(buffer);
    size_t result = iconv(cd, &in, &inLeft, &next, &room);
    out->Append(buffer, static_cast<size_t>(next - reinterpret_cast<char*>(buffer)) / sizeof(char16_t));
    if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
    if (strict) return Outcome::kInvalidInput;
    const auto* at = reinterpret_cast<const unsigned char*>(in);
    size_t skip = errno == EINVAL ? inLeft  // a character cut off by the end of the input
                  : charset == Charset::kUtf8 ? Utf8InvalidLength(at, inLeft)
                                              : AnsiInvalidLength(at, inLeft);
    out->Append(&replacement, 1);
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return Outcome::kOk;
}

// The default character as bytes: one byte, or a double-byte character when
// it starts with a lead byte.
std::string_view DefaultCharBytes(const char* defaultChar) {
  if (defaultChar == nullptr) return std::string_view(&kAnsiDefaultChar, 1);
  const auto* p = reinterpret_cast<const unsigned char*>(defaultChar);
  if (IsAnsiLeadByte(p[0]) && IsAnsiTrailByte(p[1])) return std::string_view(defaultChar, 2);
  return std::string_view(defaultChar, 1);
}

int Fail(LONG error) {
  SetLastError(static_cast<DWORD>(error));
  return 0;
}

LONG ErrorOf(Outcome outcome) {
  return outcome == Outcome::kInvalidInput ? ERROR_NO_UNICODE_TRANSLATION : ERROR_INVALID_PARAMETER;
}

}  // namespace

UINT GetACP() { return kAnsiCodePage; }

size_t WideLength(const WCHAR* text) {
  if (text == nullptr) return 0;
  size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int wideLen, char* out,
                        int outSize, const char* defaultChar, BOOL* usedDefault) {
  Charset charset;
  if (!CharsetOf(codePage, &charset)) return Fail(ERROR_INVALID_PARAMETER);
  if (wide == nullptr || wideLen == 0 || wideLen < -1 || outSize < 0 ||
      (outSize > 0 && out == nullptr)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (charset == Charset::kUtf8 && (defaultChar != nullptr || usedDefault != nullptr)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  size_t count = wideLen == -1 ? WideLength(wide) + 1 : static_cast<size_t>(wideLen);
  bool replaced = false;
  std::string bytes;
  Outcome outcome = EncodeWide(charset, wide, count, DefaultCharBytes(defaultChar),
                               (flags & WC_ERR_INVALID_CHARS) != 0, &bytes, &replaced);
  if (usedDefault != nullptr) *usedDefault = replaced ? TRUE : FALSE;
  if (outcome != Outcome::kOk) return Fail(ErrorOf(outcome));
  if (bytes.size() > static_cast<size_t>(INT_MAX)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  int needed = static_cast<int>(bytes.size());
  if (outSize == 0) return needed;
  if (needed > outSize) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(out, bytes.data(), bytes.size());
  return needed;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* bytes, int bytesLen, WCHAR* out,
                        int outSize) {
  Charset charset;
  if (!CharsetOf(codePage, &charset)) return Fail(ERROR_INVALID_PARAMETER);
  if (bytes == nullptr || bytesLen == 0 || bytesLen < -1 || outSize < 0 ||
      (outSize > 0 && out == nullptr)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  size_t count = bytesLen == -1 ? std::strlen(bytes) + 1 : static_cast<size_t>(bytesLen);
  // Measuring counts without storing; converting writes straight into the
  // caller's buffer and never past outSize.
  UnitSink units = outSize == 0 ? UnitSink() : UnitSink(out, static_cast<size_t>(outSize));
  Outcome outcome =
      DecodeBytes(charset, bytes, count, (flags & MB_ERR_INVALID_CHARS) != 0, &units);
  if (outcome != Outcome::kOk) return Fail(ErrorOf(outcome));
  if (units.Count() > static_cast<size_t>(INT_MAX)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  int needed = static_cast<int>(units.Count());
  if (outSize != 0 && needed > outSize) return Fail(ERROR_INSUFFICIENT_BUFFER);
  return needed;
}

std::string WideToMulti(std::u16string_view wide, UINT codePage) {
  Charset charset;
  std::string bytes;
  if (wide.empty() || !CharsetOf(codePage, &charset)) return bytes;
  EncodeWide(charset, wide.data(), wide.size(), DefaultCharBytes(nullptr), false, &bytes, nullptr);
  return bytes;
}

std::u16string MultiToWide(std::string_view bytes, UINT codePage) {
  Charset charset;
  std::u16string units;
  if (bytes.empty() || !CharsetOf(codePage, &charset)) return units;
  UnitSink sink(&units);
  DecodeBytes(charset, bytes.data(), bytes.size(), false, &sink);
  return units;
}

}  // namespace ce
