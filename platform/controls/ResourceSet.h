// The resources of one module: dialog templates, menus, string tables and
// images, looked up by number or by name.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

namespace ce {

// A resource is named by a number (MAKEINTRESOURCE) or by a text compared
// case-insensitively (ASCII), as on the platform.
class ResourceName {
 public:
  ResourceName(UINT id);  // NOLINT: numbers name resources everywhere
  ResourceName(int id) : ResourceName(static_cast<UINT>(id)) {}  // NOLINT
  ResourceName(LPCWSTR name);  // NOLINT: accepts MAKEINTRESOURCE values
  ResourceName(std::u16string_view name);  // NOLINT
  // "#123" for a number, the upper-cased text otherwise.
  const std::u16string& Key() const { return key_; }
  bool operator<(const ResourceName& other) const { return key_ < other.key_; }
  bool operator==(const ResourceName& other) const { return key_ == other.key_; }

 private:
  std::u16string key_;
};

// One control of a dialog template. Positions are dialog units.
struct DialogItemTemplate {
  std::u16string className;
  std::u16string text;
  int id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  std::u16string caption;
  std::u16string fontFace;  // empty: the default UI font
  int fontPoints = 0;       // 0: the default size
  std::vector<DialogItemTemplate> items;
  // The number the template is stored under (set by AddDialog); 0 for a
  // template stored under a name or built in code.
  UINT id = 0;
};

// MF_ flags of Menus.h: MF_POPUP (children used), MF_SEPARATOR, MF_GRAYED,
// MF_CHECKED.
struct MenuItemTemplate {
  UINT flags = 0;
  UINT id = 0;
  std::u16string text;
  std::vector<MenuItemTemplate> children;
};

struct MenuTemplate {
  std::vector<MenuItemTemplate> items;
};

class ResourceSet {
 public:
  void AddDialog(const ResourceName& name, DialogTemplate dialog);
  void AddMenu(const ResourceName& name, MenuTemplate menu);
  void AddString(UINT id, std::u16string text);
  // Encoded picture bytes (GIF, PNG, JPEG or BMP), copied.
  void AddImage(const ResourceName& name, std::vector<uint8_t> bytes);

  const DialogTemplate* Dialog(const ResourceName& name) const;
  const MenuTemplate* Menu(const ResourceName& name) const;
  const std::u16string* String(UINT id) const;
  const std::vector<uint8_t>* Image(const ResourceName& name) const;

  size_t DialogCount() const { return dialogs_.size(); }
  size_t MenuCount() const { return menus_.size(); }
  size_t StringCount() const { return strings_.size(); }
  size_t ImageCount() const { return images_.size(); }

 private:
  std::map<std::u16string, DialogTemplate> dialogs_;
  std::map<std::u16string, MenuTemplate> menus_;
  std::map<UINT, std::u16string> strings_;
  std::map<std::u16string, std::vector<uint8_t>> images_;
};

}  // namespace ce
