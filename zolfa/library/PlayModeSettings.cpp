#include "zolfa/library/PlayModeSettings.h"

#include <string>

#include "platform/base/Registry.h"
#include "zolfa/app/ZolfaPaths.h"

namespace zolfa {

namespace {

ce::HKEY OpenOrCreateSettingsKey() {
  const std::u16string path(kSettingsKey);
  ce::HKEY key = nullptr;
  if (ce::RegOpenKeyEx(ce::HKEY_CURRENT_USER, path.c_str(), 0, ce::KEY_ALL_ACCESS, &key) ==
      ce::ERROR_SUCCESS) {
    return key;
  }
  ce::DWORD disposition = 0;
  if (ce::RegCreateKeyEx(ce::HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                         ce::REG_OPTION_NON_VOLATILE, ce::KEY_ALL_ACCESS, nullptr, &key,
                         &disposition) == ce::ERROR_SUCCESS) {
    return key;
  }
  return nullptr;
}

void ReadLowByte(ce::HKEY key, std::u16string_view valueName, int32_t& mode) {
  std::u16string name(valueName);
  ce::BYTE data = 0;
  ce::DWORD size = 1;
  ce::DWORD type = 0;
  if (ce::RegQueryValueEx(key, name.c_str(), nullptr, &type, &data, &size) == ce::ERROR_SUCCESS &&
      size == 1) {
    mode = static_cast<int32_t>((static_cast<uint32_t>(mode) & ~0xFFu) | data);
  }
}

void WriteLowByte(ce::HKEY key, std::u16string_view valueName, int32_t mode) {
  std::u16string name(valueName);
  ce::BYTE data = static_cast<ce::BYTE>(static_cast<uint32_t>(mode) & 0xFF);
  ce::RegSetValueEx(key, name.c_str(), 0, ce::REG_DWORD, &data, 1);
}

}  // namespace

void ReadPlayModes(int32_t& shuffleMode, int32_t& repeatMode) {
  ce::HKEY key = OpenOrCreateSettingsKey();
  if (key == nullptr) return;
  ReadLowByte(key, kShuffleValue, shuffleMode);
  ReadLowByte(key, kRepeatValue, repeatMode);
  ce::RegCloseKey(key);
}

void WritePlayModes(int32_t shuffleMode, int32_t repeatMode) {
  ce::HKEY key = OpenOrCreateSettingsKey();
  if (key == nullptr) return;
  WriteLowByte(key, kShuffleValue, shuffleMode);
  WriteLowByte(key, kRepeatValue, repeatMode);
  ce::RegCloseKey(key);
}

}  // namespace zolfa
