// The two parts of a registry value object's full path.
#pragma once

#include <string>
#include <string_view>

namespace zolfa {

struct RegValuePath {
  std::u16string keyPath;    // relative to the value object's root, no backslash at either end
  std::u16string valueName;  // no backslash
};

// Splits "key\path\value": trailing backslashes are dropped, the value name is
// what follows the last backslash and the key path what precedes it, each
// without backslashes at its ends. A path without a backslash names a value of
// the root key itself.
RegValuePath SplitRegValuePath(std::u16string_view fullPath);

}  // namespace zolfa
