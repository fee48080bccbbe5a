#include "zolfa/service/ClientId.h"

#include <optional>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Random.h"
#include "platform/base/Registry.h"
#include "zolfa/service/TextLimits.h"

namespace zolfa {

namespace {

constexpr char16_t kClientIdPrefix[] = u"ZOLFA-";
constexpr int kClientIdLetters = 42;

// The string value, up to its first zero; nullopt when it cannot be read.
std::optional<std::u16string> ReadString(ce::HKEY key, const char16_t* name) {
  ce::DWORD type = ce::REG_NONE;
  ce::DWORD size = 0;
  if (ce::RegQueryValueEx(key, name, nullptr, &type, nullptr, &size) != ce::ERROR_SUCCESS ||
      type != ce::REG_SZ) {
    return std::nullopt;
  }
  std::vector<ce::BYTE> data(size);
  if (size > 0 &&
      ce::RegQueryValueEx(key, name, nullptr, &type, data.data(), &size) != ce::ERROR_SUCCESS) {
    return std::nullopt;
  }
  data.resize(size);
  std::u16string text;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) {
      break;
    }
    text += unit;
  }
  return text;
}

void WriteString(ce::HKEY key, const char16_t* name, const std::u16string& text) {
  std::vector<ce::BYTE> data;
  data.reserve((text.size() + 1) * 2);
  for (char16_t unit : text) {
    data.push_back(static_cast<ce::BYTE>(unit & 0xFF));
    data.push_back(static_cast<ce::BYTE>(unit >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  ce::RegSetValueEx(key, name, 0, ce::REG_SZ, data.data(), static_cast<ce::DWORD>(data.size()));
}

}  // namespace

std::u16string MakeClientId() {
  ce::srand(ce::GetTickCount());
  std::u16string id = kClientIdPrefix;
  for (int i = 0; i < kClientIdLetters; ++i) {
    id += static_cast<char16_t>(u'A' + ce::rand() % 26);
  }
  return id;
}

std::u16string ReadOrCreateClientId() {
  ce::HKEY key = nullptr;
  if (ce::RegOpenKeyEx(ce::HKEY_CURRENT_USER, kZolfaKey, 0, ce::KEY_ALL_ACCESS, &key) !=
      ce::ERROR_SUCCESS) {
    ce::DWORD disposition = 0;
    if (ce::RegCreateKeyEx(ce::HKEY_CURRENT_USER, kZolfaKey, 0, nullptr,
                           ce::REG_OPTION_NON_VOLATILE, ce::KEY_ALL_ACCESS, nullptr, &key,
                           &disposition) != ce::ERROR_SUCCESS) {
      key = nullptr;
    }
  }
  std::optional<std::u16string> stored;
  if (key != nullptr) {
    stored = ReadString(key, kClientIdValue);
  }
  if (stored && !stored->empty()) {
    if (key != nullptr) {
      ce::RegCloseKey(key);
    }
    return TruncateText(*stored, kClientIdLength);
  }
  std::u16string id = MakeClientId();
  if (key != nullptr) {
    WriteString(key, kClientIdValue, id);
    ce::RegCloseKey(key);
  }
  return id;
}

}  // namespace zolfa
