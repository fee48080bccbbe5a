#include "platform/controls/ResourceSet.h"

#include <cstdint>
#include <string>

namespace ce {

namespace {

std::u16string NumberKey(UINT id) {
  std::string digits = std::to_string(id);
  return u"#" + std::u16string(digits.begin(), digits.end());
}

std::u16string UpperKey(std::u16string_view name) {
  std::u16string key(name);
  for (char16_t& c : key) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return key;
}

}  // namespace

ResourceName::ResourceName(UINT id) : key_(NumberKey(id)) {}

ResourceName::ResourceName(LPCWSTR name) {
  if ((reinterpret_cast<uintptr_t>(name) >> 16) == 0) {
    key_ = NumberKey(static_cast<UINT>(reinterpret_cast<uintptr_t>(name)));
  } else {
    key_ = UpperKey(name);
  }
}

ResourceName::ResourceName(std::u16string_view name) : key_(UpperKey(name)) {}

void ResourceSet::AddDialog(const ResourceName& name, DialogTemplate dialog) {
  dialog.id = 0;
  const std::u16string& key = name.Key();
  if (key.size() > 1 && key.size() <= 11 && key[0] == u'#') {  // a number key
    uint64_t number = 0;
    bool digits = true;
    for (size_t i = 1; i < key.size(); ++i) {
      digits = digits && key[i] >= u'0' && key[i] <= u'9';
      if (digits) number = number * 10 + static_cast<uint64_t>(key[i] - u'0');
    }
    if (digits && number <= 0xFFFFFFFFu) dialog.id = static_cast<UINT>(number);
  }
  dialogs_[key] = std::move(dialog);
}

void ResourceSet::AddMenu(const ResourceName& name, MenuTemplate menu) {
  menus_[name.Key()] = std::move(menu);
}

void ResourceSet::AddString(UINT id, std::u16string text) { strings_[id] = std::move(text); }

void ResourceSet::AddImage(const ResourceName& name, std::vector<uint8_t> bytes) {
  images_[name.Key()] = std::move(bytes);
}

const DialogTemplate* ResourceSet::Dialog(const ResourceName& name) const {
  auto it = dialogs_.find(name.Key());
  return it != dialogs_.end() ? &it->second : nullptr;
}

const MenuTemplate* ResourceSet::Menu(const ResourceName& name) const {
  auto it = menus_.find(name.Key());
  return it != menus_.end() ? &it->second : nullptr;
}

const std::u16string* ResourceSet::String(UINT id) const {
  auto it = strings_.find(id);
  return it != strings_.end() ? &it->second : nullptr;
}

const std::vector<uint8_t>* ResourceSet::Image(const ResourceName& name) const {
  auto it = images_.find(name.Key());
  return it != images_.end() ? &it->second : nullptr;
}

}  // namespace ce
