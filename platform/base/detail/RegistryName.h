// Internal: key paths and value names of the registry, split and folded for
// case-insensitive lookup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

namespace ce {

// Longest key name component and value name, in UTF-16 units.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;

// A name as it was written and its lower-cased form, which is what lookups
// compare.
struct RegistryName {
  std::u16string name;
  std::u16string lower;
};

// Lower-cases every UTF-16 unit outside the surrogate range (ASCII and the
// rest of the Basic Multilingual Plane).
std::u16string LowerRegistryName(std::u16string_view name);

// Splits "Software\Quendal\zolfa" into its components. Empty components
// (leading, trailing or doubled backslashes) are skipped; null or "" gives no
// components, which names the key itself. ERROR_INVALID_PARAMETER for a
// component longer than kMaxKeyNameLength or text with a lone surrogate.
LONG ParseRegistryKeyPath(LPCWSTR path, std::vector<RegistryName>* components);

// A value name; null is the key's default value "". ERROR_INVALID_PARAMETER
// for a name longer than kMaxValueNameLength or with a lone surrogate.
LONG ParseRegistryValueName(LPCWSTR name, RegistryName* result);

}  // namespace ce
