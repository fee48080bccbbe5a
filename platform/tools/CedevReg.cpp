// cedev reg: shows and edits the device registry.
//
// Every argument is checked before anything is written, so a malformed call
// (unknown root, bad data, bad length) changes nothing and exits with 2.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceRoot.h"
#include "platform/base/Registry.h"
#include "platform/base/detail/RegistryName.h"
#include "platform/tools/Cedev.h"

namespace ce::tools {
namespace {

constexpr const char* kUsage =
    "reg query KEY [VALUE]      show a key (values and subkeys) or one value\n"
    "  cedev reg set KEY VALUE TYPE DATA [LEN]\n"
    "                             TYPE: sz, expand_sz (DATA is text), dword (decimal, -n or 0x hex;\n"
    "                             LEN 1..4 stores only that many low bytes), binary (hex digits,\n"
    "                             spaces allowed), multi_sz (entries separated by '|')\n"
    "  cedev reg delete KEY [VALUE]  delete a value, or a key with everything below it\n"
    "  cedev reg export [KEY]     every key path and value (type, data length, data)\n"
    "  KEY is ROOT\\path, ROOT one of HKCU, HKLM, HKCR or HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,\n"
    "  HKEY_CLASSES_ROOT; VALUE \"\" is the key's default value";

struct Root {
  const char* shortName;
  const char* longName;
  HKEY key;
};

const Root kRoots[] = {
    {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
};

// A key named on the command line: its root and the path below it.
struct KeyArg {
  const Root* root = nullptr;
  std::u16string path;

  std::string Display() const {
    return path.empty() ? std::string(root->longName) : std::string(root->longName) + "\\" + ToUtf8(path);
  }
};

int Usage(const std::string& problem) {
  std::fprintf(stderr, "cedev reg: %s\nusage: cedev %s\n", problem.c_str(), kUsage);
  return kExitUsage;
}

int Failed(const std::string& what, LONG error) {
  std::fprintf(stderr, "cedev reg: %s (error %d)\n", what.c_str(), static_cast<int>(error));
  if (error == ERROR_BADDB) {
    std::fprintf(stderr, "cedev reg: %s is not a registry hive; it was left as it is\n",
                 (DeviceRootPath() / "registry.db").c_str());
  }
  return kExitFailed;
}

bool SameAscii(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
    if (x != b[i]) return false;
  }
  return i == a.size() && b[i] == '\0';
}

// Strict UTF-8 to wide text: false for a malformed sequence.
bool WideFromArg(const std::string& text, std::u16string* wide) {
  wide->clear();
  if (text.empty()) return true;
  int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0);
  if (length <= 0) return false;
  wide->resize(static_cast<size_t>(length));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                             wide->data(), length) == length;
}

bool ParseKey(const std::string& text, KeyArg* key, std::string* problem) {
  size_t slash = text.find('\\');
  std::string rootName = text.substr(0, slash);
  for (const Root& root : kRoots) {
    if (SameAscii(rootName, root.shortName) || SameAscii(rootName, root.longName)) key->root = &root;
  }
  if (key->root == nullptr) {
    *problem = "unknown root \"" + rootName + "\" (HKCU, HKLM or HKCR)";
    return false;
  }
  std::u16string rest;
  if (slash != std::string::npos && !WideFromArg(text.substr(slash + 1), &rest)) {
    *problem = "the key path is not valid UTF-8";
    return false;
  }
  // Components are joined again without empty ones ("a\\b\" is "a\b").
  key->path.clear();
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find(u'\\', start);
    if (end == std::u16string::npos) end = rest.size();
    std::u16string part = rest.substr(start, end - start);
    if (part.size() > 255) {
      *problem = "a key name is longer than 255 characters";
      return false;
    }
    if (!part.empty()) key->path += (key->path.empty() ? u"" : u"\\") + part;
    start = end + 1;
  }
  return true;
}

// Parses a number the way the dword type takes it: decimal, -decimal, 0xhex.
bool ParseDword(const std::string& text, DWORD* value) {
  if (text.empty()) return false;
  bool negative = text[0] == '-';
  std::string digits = negative ? text.substr(1) : text;
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits = digits.substr(2);
  }
  if (digits.empty()) return false;
  for (char c : digits) {
    bool ok = base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
    if (!ok) return false;
  }
  errno = 0;
  unsigned long long magnitude = std::strtoull(digits.c_str(), nullptr, base);
  if (errno == ERANGE) return false;
  if (negative) {
    if (magnitude > 0x80000000ull) return false;
    *value = static_cast<DWORD>(0x100000000ull - magnitude);
    return true;
  }
  if (magnitude > 0xFFFFFFFFull) return false;
  *value = static_cast<DWORD>(magnitude);
  return true;
}

void AppendWide(std::vector<BYTE>* data, const std::u16string& text) {
  const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
  data->insert(data->end(), bytes, bytes + text.size() * sizeof(char16_t));
  data->push_back(0);
  data->push_back(0);
}

// Builds the stored bytes of "reg set" from TYPE DATA [LEN].
bool ParseData(const std::vector<std::string>& args, DWORD* type, std::vector<BYTE>* data,
               std::string* problem) {
  const std::string& typeName = args[0];
  const std::string& text = args[1];
  bool hasLength = args.size() > 2;
  if (!SameAscii(typeName, "DWORD") && hasLength) {
    *problem = "a data length is only taken by dword";
    return false;
  }
  data->clear();
  if (SameAscii(typeName, "SZ") || SameAscii(typeName, "EXPAND_SZ")) {
    *type = SameAscii(typeName, "SZ") ? REG_SZ : REG_EXPAND_SZ;
    std::u16string wide;
    if (!WideFromArg(text, &wide)) {
      *problem = "the text is not valid UTF-8";
      return false;
    }
    AppendWide(data, wide);
    return true;
  }
  if (SameAscii(typeName, "DWORD")) {
    *type = REG_DWORD;
    DWORD value = 0;
    if (!ParseDword(text, &value)) {
      *problem = "\"" + text + "\" is not a 32-bit number";
      return false;
    }
    size_t length = 4;
    if (hasLength) {
      if (args[2].size() != 1 || args[2][0] < '1' || args[2][0] > '4') {
        *problem = "the dword data length must be 1, 2, 3 or 4";
        return false;
      }
      length = static_cast<size_t>(args[2][0] - '0');
    }
    if (length < 4 && (value >> (8 * length)) != 0) {
      *problem = text + " does not fit in " + std::to_string(length) + " byte(s)";
      return false;
    }
    for (size_t i = 0; i < length; ++i) data->push_back(static_cast<BYTE>(value >> (8 * i)));
    return true;
  }
  if (SameAscii(typeName, "BINARY")) {
    *type = REG_BINARY;
    std::string digits;
    for (char c : text) {
      if (c == ' ') continue;
      if (!std::isxdigit(static_cast<unsigned char>(c))) {
        *problem = "binary data must be hex digits";
        return false;
      }
      digits += c;
    }
    if (digits.size() % 2 != 0) {
      *problem = "binary data needs two hex digits per byte";
      return false;
    }
    for (size_t i = 0; i < digits.size(); i += 2) {
      data->push_back(static_cast<BYTE>(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16)));
    }
    return true;
  }
  if (SameAscii(typeName, "MULTI_SZ")) {
    *type = REG_MULTI_SZ;
    size_t start = 0;
    while (!text.empty() && start <= text.size()) {
      size_t end = text.find('|', start);
      if (end == std::string::npos) end = text.size();
      std::u16string entry;
      if (end == start) {
        *problem = "a multi_sz entry is empty (an empty string would end the list)";
        return false;
      }
      if (!WideFromArg(text.substr(start, end - start), &entry)) {
        *problem = "the text is not valid UTF-8";
        return false;
      }
      AppendWide(data, entry);
      start = end + 1;
    }
    data->push_back(0);
    data->push_back(0);
    return true;
  }
  *problem = "unknown type \"" + typeName + "\" (sz, expand_sz, dword, binary, multi_sz)";
  return false;
}

std::string TypeName(DWORD type) {
  switch (type) {
    case REG_NONE:
      return "REG_NONE";
    case REG_SZ:
      return "REG_SZ";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case REG_BINARY:
      return "REG_BINARY";
    case REG_DWORD:
      return "REG_DWORD";
    case REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    default:
      return "type " + std::to_string(type);
  }
}

std::string Hex(const std::vector<BYTE>& data) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (BYTE b : data) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

// Quoted text with quotes, backslashes, control characters and lone
// surrogates escaped, so that every stored unit is visible.
std::string Quote(std::u16string_view text) {
  std::string out = "\"";
  size_t runStart = 0;
  auto flush = [&](size_t end) {
    if (end > runStart) out += ToUtf8(text.substr(runStart, end - runStart));
  };
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF;
    if (pair) {
      ++i;
      continue;
    }
    bool lone = unit >= 0xD800 && unit <= 0xDFFF;
    if (unit >= 0x20 && unit != u'"' && unit != u'\\' && !lone) continue;
    flush(i);
    runStart = i + 1;
    char escape[8];
    switch (unit) {
      case u'"':
        out += "\\\"";
        break;
      case u'\\':
        out += "\\\\";
        break;
      case u'\n':
        out += "\\n";
        break;
      case u'\r':
        out += "\\r";
        break;
      case u'\t':
        out += "\\t";
        break;
      case 0:
        out += "\\0";
        break;
      default:
        std::snprintf(escape, sizeof(escape), lone ? "\\u%04X" : "\\x%02X", static_cast<unsigned>(unit));
        out += escape;
    }
  }
  flush(text.size());
  return out + "\"";
}

std::u16string UnitsOf(const std::vector<BYTE>& data) {
  std::u16string units(data.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  return units;
}

// The data part of a value line; hex when the bytes do not fit the type.
std::string FormatData(const RegistryValue& value) {
  const std::vector<BYTE>& data = value.data;
  bool text = value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
  if (text && data.size() % 2 == 0) {
    std::u16string units = UnitsOf(data);
    if (value.type != REG_MULTI_SZ) {
      if (!units.empty() && units.back() == 0) units.pop_back();
      return Quote(units);
    }
    while (!units.empty() && units.back() == 0) units.pop_back();
    std::string entries;
    size_t start = 0;
    while (!units.empty() && start <= units.size()) {
      size_t end = units.find(u'\0', start);
      if (end == std::u16string::npos) end = units.size();
      if (!entries.empty()) entries += ' ';
      entries += Quote(std::u16string_view(units).substr(start, end - start));
      start = end + 1;
    }
    return entries;
  }
  if (value.type == REG_DWORD && !data.empty() && data.size() <= 4) {
    DWORD number = 0;
    for (size_t i = 0; i < data.size(); ++i) number |= static_cast<DWORD>(data[i]) << (8 * i);
    char hex[16];
    std::snprintf(hex, sizeof(hex), "0x%0*X", static_cast<int>(data.size() * 2), number);
    return std::to_string(number) + " (" + hex + ")";
  }
  return Hex(data);
}

std::string FormatValue(const RegistryValue& value) {
  std::string name = value.name.empty() ? std::string("(default)") : Quote(value.name);
  size_t size = value.data.size();
  std::string line = name + " " + TypeName(value.type) + " " + std::to_string(size) +
                     (size == 1 ? " byte:" : " bytes:");
  std::string data = FormatData(value);
  return data.empty() ? line : line + " " + data;
}

// Opens the named key; prints why when it cannot.
LONG OpenArg(const KeyArg& key, HKEY* handle) {
  LONG rc = RegOpenKeyEx(key.root->key, key.path.c_str(), 0, KEY_READ, handle);
  if (rc == ERROR_FILE_NOT_FOUND) std::fprintf(stderr, "cedev reg: key not found: %s\n", key.Display().c_str());
  else if (rc != ERROR_SUCCESS) Failed("cannot open " + key.Display(), rc);
  return rc;
}

// The key's path with the case its keys were created with (the command
// line may spell it differently).
std::string StoredDisplay(const KeyArg& key) {
  std::string display = key.root->longName;
  HKEY current = key.root->key;
  size_t start = 0;
  while (start < key.path.size()) {
    size_t end = key.path.find(u'\\', start);
    if (end == std::u16string::npos) end = key.path.size();
    std::u16string part = key.path.substr(start, end - start);
    std::vector<std::u16string> names;
    std::u16string shown = part;
    if (RegGetSubKeyNames(current, &names) == ERROR_SUCCESS) {
      for (const std::u16string& name : names) {
        if (LowerRegistryName(name) == LowerRegistryName(part)) shown = name;
      }
    }
    display += '\\';
    display += ToUtf8(shown);
    HKEY next = nullptr;
    LONG rc = RegOpenKeyEx(current, part.c_str(), 0, KEY_READ, &next);
    if (current != key.root->key) RegCloseKey(current);
    if (rc != ERROR_SUCCESS) {
      if (end < key.path.size()) {
        display += '\\';
        display += ToUtf8(key.path.substr(end + 1));
      }
      return display;
    }
    current = next;
    start = end + 1;
  }
  if (current != key.root->key) RegCloseKey(current);
  return display;
}

// Prints a key's header and values, then its subkeys the same way.
LONG ExportKey(HKEY key, const std::string& path) {
  std::vector<RegistryValue> values;
  std::vector<std::u16string> subKeys;
  LONG rc = RegGetValues(key, &values);
  if (rc == ERROR_SUCCESS) rc = RegGetSubKeyNames(key, &subKeys);
  if (rc != ERROR_SUCCESS) return rc;
  std::printf("[%s]\n", path.c_str());
  for (const RegistryValue& value : values) std::printf("%s\n", FormatValue(value).c_str());
  for (const std::u16string& name : subKeys) {
    HKEY child = nullptr;
    rc = RegOpenKeyEx(key, name.c_str(), 0, KEY_READ, &child);
    if (rc == ERROR_FILE_NOT_FOUND) continue;  // deleted by another process meanwhile
    if (rc == ERROR_SUCCESS) rc = ExportKey(child, path + "\\" + ToUtf8(name));
    RegCloseKey(child);
    if (rc != ERROR_SUCCESS) return rc;
  }
  return ERROR_SUCCESS;
}

int Query(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) return Usage("query takes KEY [VALUE]");
  KeyArg key;
  std::string problem;
  std::u16string valueName;
  if (!ParseKey(args[0], &key, &problem)) return Usage(problem);
  if (args.size() == 2 && !WideFromArg(args[1], &valueName)) return Usage("the value name is not valid UTF-8");
  HKEY handle = nullptr;
  if (OpenArg(key, &handle) != ERROR_SUCCESS) return kExitFailed;
  std::string display = StoredDisplay(key);
  int code = kExitOk;
  std::vector<RegistryValue> values;
  std::vector<std::u16string> subKeys;
  LONG rc = RegGetValues(handle, &values);
  if (rc == ERROR_SUCCESS && args.size() == 1) rc = RegGetSubKeyNames(handle, &subKeys);
  if (rc != ERROR_SUCCESS) {
    code = Failed("cannot read " + key.Display(), rc);
  } else if (args.size() == 2) {
    // Names compare without case; the value is shown as it was stored.
    std::u16string wanted = LowerRegistryName(valueName);
    code = kExitFailed;
    for (const RegistryValue& value : values) {
      if (LowerRegistryName(value.name) != wanted) continue;
      std::printf("%s\n", FormatValue(value).c_str());
      code = kExitOk;
    }
    if (code != kExitOk) {
      std::fprintf(stderr, "cedev reg: value not found: %s in %s\n", args[1].c_str(), key.Display().c_str());
    }
  } else {
    std::printf("[%s]\n", display.c_str());
    for (const RegistryValue& value : values) std::printf("%s\n", FormatValue(value).c_str());
    for (const std::u16string& name : subKeys) std::printf("[%s\\%s]\n", display.c_str(), ToUtf8(name).c_str());
  }
  RegCloseKey(handle);
  return code;
}

int SetValue(const std::vector<std::string>& args) {
  if (args.size() < 4 || args.size() > 5) return Usage("set takes KEY VALUE TYPE DATA [LEN]");
  KeyArg key;
  std::string problem;
  std::u16string valueName;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  if (!ParseKey(args[0], &key, &problem)) return Usage(problem);
  if (!WideFromArg(args[1], &valueName)) return Usage("the value name is not valid UTF-8");
  // Checked before the key is made: a refused call leaves the registry as it was.
  RegistryName parsedName;
  if (ParseRegistryValueName(valueName.c_str(), &parsedName) != ERROR_SUCCESS) {
    return Usage("the value name is not valid");
  }
  if (!ParseData(std::vector<std::string>(args.begin() + 2, args.end()), &type, &data, &problem)) {
    return Usage(problem);
  }
  HKEY handle = nullptr;
  LONG rc = RegCreateKeyEx(key.root->key, key.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                           nullptr, &handle, nullptr);
  if (rc == ERROR_INVALID_PARAMETER) return Usage("the key path is not a valid key name");
  if (rc != ERROR_SUCCESS) return Failed("cannot create " + key.Display(), rc);
  rc = RegSetValueEx(handle, valueName.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
  RegCloseKey(handle);
  if (rc == ERROR_INVALID_PARAMETER) return Usage("the value name is not valid");
  if (rc != ERROR_SUCCESS) return Failed("cannot write " + args[1], rc);
  return kExitOk;
}

int Delete(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) return Usage("delete takes KEY [VALUE]");
  KeyArg key;
  std::string problem;
  if (!ParseKey(args[0], &key, &problem)) return Usage(problem);
  if (args.size() == 1) {
    if (key.path.empty()) return Usage("a root key cannot be deleted");
    LONG rc = RegDeleteTree(key.root->key, key.path.c_str());
    if (rc == ERROR_FILE_NOT_FOUND) {
      std::fprintf(stderr, "cedev reg: key not found: %s\n", key.Display().c_str());
      return kExitFailed;
    }
    return rc == ERROR_SUCCESS ? kExitOk : Failed("cannot delete " + key.Display(), rc);
  }
  std::u16string valueName;
  if (!WideFromArg(args[1], &valueName)) return Usage("the value name is not valid UTF-8");
  HKEY handle = nullptr;
  if (OpenArg(key, &handle) != ERROR_SUCCESS) return kExitFailed;
  LONG rc = RegDeleteValue(handle, valueName.c_str());
  RegCloseKey(handle);
  if (rc == ERROR_FILE_NOT_FOUND) {
    std::fprintf(stderr, "cedev reg: value not found: %s in %s\n", args[1].c_str(), key.Display().c_str());
    return kExitFailed;
  }
  return rc == ERROR_SUCCESS ? kExitOk : Failed("cannot delete " + args[1], rc);
}

int Export(const std::vector<std::string>& args) {
  if (args.size() > 1) return Usage("export takes at most KEY");
  std::vector<KeyArg> keys;
  if (args.empty()) {
    for (const Root& root : kRoots) keys.push_back(KeyArg{&root, u""});
  } else {
    KeyArg key;
    std::string problem;
    if (!ParseKey(args[0], &key, &problem)) return Usage(problem);
    keys.push_back(key);
  }
  for (const KeyArg& key : keys) {
    HKEY handle = nullptr;
    if (OpenArg(key, &handle) != ERROR_SUCCESS) return kExitFailed;
    LONG rc = ExportKey(handle, StoredDisplay(key));
    RegCloseKey(handle);
    if (rc != ERROR_SUCCESS) return Failed("cannot read " + key.Display(), rc);
  }
  std::fflush(stdout);
  return kExitOk;
}

int RunReg(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("no reg command given");
  std::vector<std::string> rest(args.begin() + 1, args.end());
  const std::string& command = args[0];
  if (command == "query") return Query(rest);
  if (command == "set") return SetValue(rest);
  if (command == "delete") return Delete(rest);
  if (command == "export") return Export(rest);
  return Usage("unknown reg command \"" + command + "\"");
}

const CommandRegistrar kRegCommand("reg", kUsage, RunReg);

}  // namespace
}  // namespace ce::tools
