#include "zolfa/app/CRegDword.h"

#include "zolfa/app/RegValuePath.h"

namespace zolfa {

CRegDword::CRegDword(std::u16string_view fullPath, ce::DWORD defaultValue, bool force, ce::HKEY root)
    : root_(root), default_(defaultValue), force_(force) {
  RegValuePath parts = SplitRegValuePath(fullPath);
  keyPath_ = std::move(parts.keyPath);
  valueName_ = std::move(parts.valueName);
  Read();
}

ce::DWORD CRegDword::Get() {
  if (haveValue_ && !force_) return value_;
  return Read();
}

void CRegDword::Set(ce::DWORD value) {
  if (haveValue_ && !force_ && value == value_) return;
  value_ = value;
  Write();
}

ce::DWORD CRegDword::Read() {
  ce::HKEY key = nullptr;
  if (ce::RegOpenKeyEx(root_, keyPath_.c_str(), 0, ce::KEY_READ, &key) != ce::ERROR_SUCCESS) {
    return default_;
  }
  // A zeroed buffer, so that a value stored with fewer than 4 data bytes
  // (such as the 1-byte play order settings) reads as its low bytes.
  ce::BYTE data[4] = {};
  ce::DWORD type = ce::REG_NONE;
  ce::DWORD size = sizeof(data);
  ce::LONG result = ce::RegQueryValueEx(key, valueName_.c_str(), nullptr, &type, data, &size);
  ce::RegCloseKey(key);
  if (result != ce::ERROR_SUCCESS || type != ce::REG_DWORD) return default_;
  value_ = static_cast<ce::DWORD>(data[0]) | (static_cast<ce::DWORD>(data[1]) << 8) |
           (static_cast<ce::DWORD>(data[2]) << 16) | (static_cast<ce::DWORD>(data[3]) << 24);
  haveValue_ = true;
  return value_;
}

void CRegDword::Write() {
  ce::HKEY key = nullptr;
  if (ce::RegCreateKeyEx(root_, keyPath_.c_str(), 0, nullptr, ce::REG_OPTION_NON_VOLATILE,
                         ce::KEY_WRITE, nullptr, &key, nullptr) != ce::ERROR_SUCCESS) {
    return;
  }
  const ce::BYTE data[4] = {static_cast<ce::BYTE>(value_ & 0xFF), static_cast<ce::BYTE>((value_ >> 8) & 0xFF),
                            static_cast<ce::BYTE>((value_ >> 16) & 0xFF),
                            static_cast<ce::BYTE>((value_ >> 24) & 0xFF)};
  if (ce::RegSetValueEx(key, valueName_.c_str(), 0, ce::REG_DWORD, data, sizeof(data)) ==
      ce::ERROR_SUCCESS) {
    haveValue_ = true;
  }
  ce::RegCloseKey(key);
}

}  // namespace zolfa
