// The device registry: keys and typed values kept in the device root's hive
// (one SQLite database per device root).
//
// Key and value names compare case-insensitively and keep the case they were
// created with. Values keep their type and their exact data bytes: a REG_DWORD
// written with one data byte reads back with one data byte. String data is
// UTF-16LE as given by the caller, including whatever terminator the caller
// counted in the data length. Every write is one transaction, so several
// processes of one device may write concurrently without losing anything.
#pragma once

#include <string>
#include <vector>

#include "platform/base/Types.h"

namespace ce {

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u));

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

// Access rights (recorded, not enforced: the device ignores them).
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// All calls return ERROR_SUCCESS or an error code. A subKey of null or "" on
// open names the key itself (a new handle to it).
LONG RegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyEx(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                    REGSAM access, void* security, HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);
LONG RegFlushKey(HKEY key);

// data null: only *dataSize is filled (the stored length). A buffer smaller
// than the stored data gives ERROR_MORE_DATA and the needed size. type and
// dataSize may be null when not wanted (dataSize only with data null).
LONG RegQueryValueEx(HKEY key, LPCWSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                     DWORD* dataSize);
LONG RegSetValueEx(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                   DWORD dataSize);
LONG RegDeleteValue(HKEY key, LPCWSTR valueName);
// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED otherwise).
LONG RegDeleteKey(HKEY key, LPCWSTR subKey);
// Deletes a key with all its subkeys and values.
LONG RegDeleteTree(HKEY key, LPCWSTR subKey);

// Enumeration in creation order; ERROR_NO_MORE_ITEMS (259) past the end.
// nameLen is in characters, in: buffer size including the terminator,
// out: length without it; ERROR_MORE_DATA when the name does not fit (then
// *nameLen is the length the name needs, without the terminator).
LONG RegEnumKeyEx(HKEY key, DWORD index, LPWSTR name, DWORD* nameLen, DWORD* reserved,
                  LPWSTR keyClass, DWORD* classLen, void* lastWriteTime);
LONG RegEnumValue(HKEY key, DWORD index, LPWSTR name, DWORD* nameLen, DWORD* reserved,
                  DWORD* type, BYTE* data, DWORD* dataSize);

// One value as the device tool shows it.
struct RegistryValue {
  std::u16string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// All values, or all subkey names, of an open key in creation order, read in
// one consistent step (the device tool's listing and export).
LONG RegGetValues(HKEY key, std::vector<RegistryValue>* values);
LONG RegGetSubKeyNames(HKEY key, std::vector<std::u16string>* names);

}  // namespace ce
