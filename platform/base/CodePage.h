// Code page conversions in the shape of WideCharToMultiByte and
// MultiByteToWideChar.
//
// The device's ANSI code page is 950 (Traditional Chinese, double-byte);
// CP_UTF8 (65001) is UTF-8. Wide text is UTF-16 in char16_t units.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

namespace ce {

constexpr UINT CP_ACP = 0;      // the device's ANSI code page
constexpr UINT CP_UTF8 = 65001;
constexpr UINT kAnsiCodePage = 950;

// Conversion flags. MB_PRECOMPOSED is accepted and has no effect (text is
// always precomposed). With MB_ERR_INVALID_CHARS / WC_ERR_INVALID_CHARS an
// invalid byte sequence or a lone surrogate fails the call with
// ERROR_NO_UNICODE_TRANSLATION instead of being replaced.
constexpr DWORD MB_PRECOMPOSED = 0x01;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x08;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;

// Returns the code page that CP_ACP stands for on this device (950).
UINT GetACP();

// Converts wide text to code page bytes.
//   wideLen -1: convert up to and including the first zero (the result counts
//               the terminator); otherwise exactly wideLen units.
//   outSize 0:  only measure; returns the number of bytes needed.
// Characters the code page cannot represent become defaultChar ("?" when
// null); *usedDefault, when given, reports whether that happened. Returns the
// number of bytes written (or needed), 0 on failure with the last error set
// (ERROR_INSUFFICIENT_BUFFER when out is too small, ERROR_INVALID_PARAMETER).
// As on the device, CP_UTF8 takes neither defaultChar nor usedDefault (both
// must be null); a lone surrogate becomes U+FFFD there.
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int wideLen, char* out,
                        int outSize, const char* defaultChar, BOOL* usedDefault);

// Converts code page bytes to wide text, with the same length rules as above.
// Invalid byte sequences become U+FFFD (UTF-8) or the code page's default
// character; input is never read past bytesLen (or past the first zero when
// bytesLen is -1).
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* bytes, int bytesLen, WCHAR* out,
                        int outSize);

// Whole-string forms of the two calls (no terminator in the result).
std::string WideToMulti(std::u16string_view wide, UINT codePage = CP_ACP);
std::u16string MultiToWide(std::string_view bytes, UINT codePage = CP_ACP);

// Convenience forms used by tools and logs.
inline std::string ToUtf8(std::u16string_view wide) { return WideToMulti(wide, CP_UTF8); }
inline std::u16string FromUtf8(std::string_view bytes) { return MultiToWide(bytes, CP_UTF8); }

// Length of a zero-terminated wide string, like wcslen.
size_t WideLength(const WCHAR* text);

}  // namespace ce
