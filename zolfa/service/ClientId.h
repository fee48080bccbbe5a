// The client identifier: "ZOLFA-" and 42 capital letters, made once per
// device user and kept as the string value "ZOLFAID" under HKCU
// Software\Quendal\zolfa.
#pragma once

#include <string>

namespace zolfa {

inline constexpr char16_t kZolfaKey[] = u"Software\\Quendal\\zolfa";
inline constexpr char16_t kClientIdValue[] = u"ZOLFAID";

// Reads "ZOLFAID", creating the key when it cannot be opened. When the value
// cannot be read (missing, not a string, or empty) a new identifier is made
// and stored. A stored identifier longer than kClientIdLength characters is
// used cut to that length; the stored value is left as it is.
std::u16string ReadOrCreateClientId();

// A new identifier from the process generator, seeded with the tick count.
std::u16string MakeClientId();

}  // namespace zolfa
