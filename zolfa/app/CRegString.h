// A string value in the registry, read through a cache with a default.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Registry.h"

namespace zolfa {

class CRegString {
 public:
  // fullPath is the key path, a backslash and the value name. The value is
  // read at once. With force set, every Get reads the registry again and
  // every Set writes, even an unchanged value.
  explicit CRegString(std::u16string_view fullPath, std::u16string defaultValue = {},
                      bool force = false, ce::HKEY root = ce::HKEY_CURRENT_USER);

  // The cached value, or the value read now when nothing was read or written
  // yet or force is set; the default when the value cannot be read.
  std::u16string Get();
  // Writes value (with its terminating zero) unless it equals the value read
  // or written last and force is clear. A failed write is ignored, but the
  // cached value still changes.
  void Set(std::u16string_view value);

  const std::u16string& KeyPath() const { return keyPath_; }
  const std::u16string& ValueName() const { return valueName_; }
  bool HaveValue() const { return haveValue_; }

 private:
  std::u16string Read();
  void Write();

  ce::HKEY root_;
  std::u16string keyPath_;
  std::u16string valueName_;
  std::u16string value_;
  std::u16string default_;
  bool haveValue_ = false;
  bool force_;
};

}  // namespace zolfa
