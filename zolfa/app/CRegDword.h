// A 32-bit number value in the registry, read through a cache with a default.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Registry.h"

namespace zolfa {

class CRegDword {
 public:
  // fullPath is the key path, a backslash and the value name. The value is
  // read at once. With force set, every Get reads the registry again and
  // every Set writes, even an unchanged value.
  explicit CRegDword(std::u16string_view fullPath, ce::DWORD defaultValue = 0, bool force = false,
                     ce::HKEY root = ce::HKEY_CURRENT_USER);

  // The cached number, or the number read now when nothing was read or
  // written yet or force is set; the default when it cannot be read. Stored
  // data shorter than 4 bytes gives its little-endian low bytes.
  ce::DWORD Get();
  // Writes the number as 4 data bytes unless it equals the number read or
  // written last and force is clear. A failed write is ignored, but the
  // cached number still changes.
  void Set(ce::DWORD value);

  const std::u16string& KeyPath() const { return keyPath_; }
  const std::u16string& ValueName() const { return valueName_; }
  bool HaveValue() const { return haveValue_; }

 private:
  ce::DWORD Read();
  void Write();

  ce::HKEY root_;
  std::u16string keyPath_;
  std::u16string valueName_;
  ce::DWORD value_ = 0;
  ce::DWORD default_;
  bool haveValue_ = false;
  bool force_;
};

}  // namespace zolfa
