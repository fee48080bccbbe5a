#include "platform/net/ProxySettings.h"

#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Registry.h"

namespace ce {
namespace {

constexpr char16_t kInternetSettingsKey[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-insensitive match where "*" stands for any run of characters.
bool Matches(std::string_view pattern, std::string_view text) {
  if (pattern.empty()) return text.empty();
  if (pattern.front() == '*') {
    for (size_t skip = 0; skip <= text.size(); ++skip)
      if (Matches(pattern.substr(1), text.substr(skip))) return true;
    return false;
  }
  return !text.empty() && Lower(pattern.front()) == Lower(text.front()) &&
         Matches(pattern.substr(1), text.substr(1));
}

std::u16string ReadString(HKEY key, const char16_t* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueEx(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || size < 2)
    return {};
  std::vector<BYTE> data(size);
  if (RegQueryValueEx(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return {};
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2)
    text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  return text.substr(0, text.find(u'\0'));
}

}  // namespace

std::string ProxySettings::ProxyFor(std::string_view host) const {
  if (server.empty()) return {};
  for (const std::string& pattern : bypass) {
    if (pattern == "<local>" ? host.find('.') == std::string_view::npos : Matches(pattern, host))
      return {};
  }
  return server;
}

ProxySettings ProxySettings::FromStrings(std::u16string_view server, std::u16string_view bypass) {
  ProxySettings settings;
  std::string list = ToUtf8(server);
  if (list.find('=') == std::string::npos) {
    settings.server = std::string(Trim(list));
  } else {
    // A per-scheme list: only the plain HTTP proxy matters to this client.
    size_t start = 0;
    while (start <= list.size()) {
      size_t end = list.find(';', start);
      std::string_view item = Trim(std::string_view(list).substr(
          start, end == std::string::npos ? std::string::npos : end - start));
      if (item.size() > 5 && Matches("http=*", item)) settings.server = std::string(Trim(item.substr(5)));
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  std::string names = ToUtf8(bypass);
  size_t start = 0;
  while (start < names.size()) {
    size_t end = names.find_first_of("; ", start);
    if (end == std::string::npos) end = names.size();
    if (end > start) settings.bypass.push_back(names.substr(start, end - start));
    start = end + 1;
  }
  return settings;
}

ProxySettings ProxySettings::Preconfigured() {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, kInternetSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return {};
  DWORD type = 0;
  DWORD enable = 0;
  DWORD size = sizeof(enable);
  bool enabled = RegQueryValueEx(key, u"ProxyEnable", nullptr, &type,
                                 reinterpret_cast<BYTE*>(&enable), &size) == ERROR_SUCCESS &&
                 type == REG_DWORD && size == sizeof(enable) && enable != 0;
  ProxySettings settings;
  if (enabled)
    settings = FromStrings(ReadString(key, u"ProxyServer"), ReadString(key, u"ProxyOverride"));
  RegCloseKey(key);
  return settings;
}

}  // namespace ce
