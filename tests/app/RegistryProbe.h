// Direct registry reads and writes for checking what the value objects store.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/base/Registry.h"

namespace zolfa::testing {

struct StoredValue {
  ce::DWORD type = ce::REG_NONE;
  std::vector<ce::BYTE> data;
};

inline std::optional<StoredValue> ReadStored(ce::HKEY root, const std::u16string& key,
                                             const std::u16string& name) {
  ce::HKEY handle = nullptr;
  if (ce::RegOpenKeyEx(root, key.c_str(), 0, ce::KEY_READ, &handle) != ce::ERROR_SUCCESS) return std::nullopt;
  StoredValue value;
  ce::DWORD size = 0;
  ce::LONG result = ce::RegQueryValueEx(handle, name.c_str(), nullptr, &value.type, nullptr, &size);
  if (result == ce::ERROR_SUCCESS) {
    value.data.resize(size);
    result = ce::RegQueryValueEx(handle, name.c_str(), nullptr, &value.type, value.data.data(), &size);
  }
  ce::RegCloseKey(handle);
  if (result != ce::ERROR_SUCCESS) return std::nullopt;
  return value;
}

inline void WriteStored(ce::HKEY root, const std::u16string& key, const std::u16string& name,
                        ce::DWORD type, std::vector<ce::BYTE> data) {
  ce::HKEY handle = nullptr;
  ASSERT_EQ(ce::RegCreateKeyEx(root, key.c_str(), 0, nullptr, ce::REG_OPTION_NON_VOLATILE, ce::KEY_WRITE,
                               nullptr, &handle, nullptr),
            ce::ERROR_SUCCESS);
  ASSERT_EQ(ce::RegSetValueEx(handle, name.c_str(), 0, type, data.data(), static_cast<ce::DWORD>(data.size())),
            ce::ERROR_SUCCESS);
  ce::RegCloseKey(handle);
}

inline void DeleteStored(ce::HKEY root, const std::u16string& key, const std::u16string& name) {
  ce::HKEY handle = nullptr;
  ASSERT_EQ(ce::RegOpenKeyEx(root, key.c_str(), 0, ce::KEY_WRITE, &handle), ce::ERROR_SUCCESS);
  ce::RegDeleteValue(handle, name.c_str());
  ce::RegCloseKey(handle);
}

// UTF-16LE bytes of text, with or without the terminating zero.
inline std::vector<ce::BYTE> WideBytes(std::u16string_view text, bool terminator = true) {
  std::vector<ce::BYTE> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<ce::BYTE>(c & 0xFF));
    bytes.push_back(static_cast<ce::BYTE>(c >> 8));
  }
  if (terminator) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

}  // namespace zolfa::testing
