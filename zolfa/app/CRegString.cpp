#include "zolfa/app/CRegString.h"

#include <vector>

#include "zolfa/app/RegValuePath.h"

namespace zolfa {

CRegString::CRegString(std::u16string_view fullPath, std::u16string defaultValue, bool force,
                       ce::HKEY root)
    : root_(root), default_(std::move(defaultValue)), force_(force) {
  RegValuePath parts = SplitRegValuePath(fullPath);
  keyPath_ = std::move(parts.keyPath);
  valueName_ = std::move(parts.valueName);
  Read();
}

std::u16string CRegString::Get() {
  if (haveValue_ && !force_) return value_;
  return Read();
}

void CRegString::Set(std::u16string_view value) {
  if (haveValue_ && !force_ && value == value_) return;
  value_ = value;
  Write();
}

std::u16string CRegString::Read() {
  ce::HKEY key = nullptr;
  if (ce::RegOpenKeyEx(root_, keyPath_.c_str(), 0, ce::KEY_READ, &key) != ce::ERROR_SUCCESS) {
    return default_;
  }
  ce::DWORD type = ce::REG_NONE;
  ce::DWORD size = 0;
  ce::LONG result = ce::RegQueryValueEx(key, valueName_.c_str(), nullptr, &type, nullptr, &size);
  std::vector<ce::BYTE> data(size);
  if (result == ce::ERROR_SUCCESS) {
    result = ce::RegQueryValueEx(key, valueName_.c_str(), nullptr, &type, data.data(), &size);
  }
  ce::RegCloseKey(key);
  // Data of another type is no string of ours; the default stands for it.
  if (result != ce::ERROR_SUCCESS || (type != ce::REG_SZ && type != ce::REG_EXPAND_SZ)) {
    return default_;
  }
  // UTF-16LE up to the first zero; data stored without a terminator, or
  // with an odd byte at its end, is read no further than its length.
  std::u16string value;
  for (size_t i = 0; i + 1 < static_cast<size_t>(size); i += 2) {
    char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    value += c;
  }
  value_ = std::move(value);
  haveValue_ = true;
  return value_;
}

void CRegString::Write() {
  ce::HKEY key = nullptr;
  if (ce::RegCreateKeyEx(root_, keyPath_.c_str(), 0, nullptr, ce::REG_OPTION_NON_VOLATILE,
                         ce::KEY_WRITE, nullptr, &key, nullptr) != ce::ERROR_SUCCESS) {
    return;
  }
  std::vector<ce::BYTE> data;
  data.reserve((value_.size() + 1) * 2);
  for (char16_t c : value_) {
    data.push_back(static_cast<ce::BYTE>(c & 0xFF));
    data.push_back(static_cast<ce::BYTE>(c >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  if (ce::RegSetValueEx(key, valueName_.c_str(), 0, ce::REG_SZ, data.data(),
                        static_cast<ce::DWORD>(data.size())) == ce::ERROR_SUCCESS) {
    haveValue_ = true;
  }
  ce::RegCloseKey(key);
}

}  // namespace zolfa
