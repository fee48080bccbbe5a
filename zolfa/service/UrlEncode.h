// Percent-encoding of query values and the splitting of "http://" addresses.
#pragma once

#include <string>
#include <string_view>

namespace zolfa {

// prefix followed by value percent-encoded through the device's ANSI code
// page: the bytes "-", ".", "0"-"9", "A"-"Z", "_" and "a"-"z" stay, every
// other byte becomes "%" and two upper-case hexadecimal digits (a space is
// "%20", never "+").
std::u16string UrlEncode(std::u16string_view value, std::u16string_view prefix = {});

// The host part of an "http://" address: the text after "http://" up to the
// first "/" at or after index 8 (the rest of the text when there is none).
// A ":port" stays part of it. Empty when the address does not start with
// "http://".
std::u16string UrlHost(std::u16string_view address);
// The path part: from that "/" to the end; empty when there is none.
std::u16string UrlPath(std::u16string_view address);

}  // namespace zolfa
