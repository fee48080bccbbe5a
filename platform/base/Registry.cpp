#include "platform/base/Registry.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>

#include "platform/base/DeviceRoot.h"
#include "platform/base/detail/Hive.h"
#include "platform/base/detail/RegistryHandleTable.h"
#include "platform/base/detail/RegistryHive.h"
#include "platform/base/detail/RegistryName.h"

namespace ce {
namespace {

constexpr const char* kHiveFileName = "registry.db";

// The hive connection and the handle table of this process. One lock
// serialises all registry calls of all threads; SQLite serialises the
// processes.
struct RegistryState {
  std::mutex mutex;
  std::unique_ptr<RegistryHive> hive;
  std::filesystem::path hiveRoot;  // the device root the hive belongs to
  RegistryHandleTable handles;
};

RegistryState& State() {
  static RegistryState* state = new RegistryState();  // lives until exit, used by late destructors
  return *state;
}

// A registry call in progress: holds the lock and the resolved key id.
class RegistryCall {
 public:
  // The device root is asked before the registry lock is taken: closing the
  // root closes the hive while holding the root's own lock.
  RegistryCall() : state_(State()), root_(DeviceRootPath()), lock_(state_.mutex) {}

  // Makes sure the hive of the current device root is open and resolves the
  // handle. Handles of another root's hive are void.
  LONG Enter(HKEY key) {
    if (state_.hive && state_.hiveRoot != root_) {
      state_.hive.reset();
      state_.handles.Clear();
    }
    if (!state_.hive) {
      LONG error = RegistryHive::Open(root_ / kHiveFileName, &state_.hive);
      if (error != ERROR_SUCCESS) return error;
      state_.hiveRoot = root_;
    }
    return KeyOf(key, &key_) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
  }

  RegistryHive& Hive() { return *state_.hive; }
  int64_t Key() const { return key_; }
  HKEY AddHandle(int64_t key, REGSAM access) { return state_.handles.Add(key, access); }
  bool RemoveHandle(HKEY key) { return state_.handles.Remove(key); }

 private:
  bool KeyOf(HKEY key, int64_t* id) const {
    if (key == HKEY_CLASSES_ROOT) {
      *id = RegistryHive::kClassesRootId;
    } else if (key == HKEY_CURRENT_USER) {
      *id = RegistryHive::kCurrentUserId;
    } else if (key == HKEY_LOCAL_MACHINE) {
      *id = RegistryHive::kLocalMachineId;
    } else {
      return state_.handles.Find(key, id);
    }
    return true;
  }

  RegistryState& state_;
  const std::filesystem::path& root_;
  std::unique_lock<std::mutex> lock_;
  int64_t key_ = 0;
};

bool IsPredefined(HKEY key) {
  return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE;
}

// Copies a name into a caller's buffer of *nameLen characters.
LONG CopyName(const std::u16string& name, LPWSTR buffer, DWORD* nameLen) {
  if (name.size() + 1 > *nameLen) {
    *nameLen = static_cast<DWORD>(name.size());
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, name.data(), name.size() * sizeof(char16_t));
  buffer[name.size()] = 0;
  *nameLen = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD /*options*/, REGSAM access, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::vector<RegistryName> path;
  LONG error = ParseRegistryKeyPath(subKey, &path);
  if (error != ERROR_SUCCESS) return error;
  RegistryCall call;
  if ((error = call.Enter(key)) != ERROR_SUCCESS) return error;
  int64_t opened = 0;
  if ((error = call.Hive().OpenKey(call.Key(), path, &opened)) != ERROR_SUCCESS) return error;
  *result = call.AddHandle(opened, access);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY key, LPCWSTR subKey, DWORD /*reserved*/, LPWSTR /*keyClass*/,
                    DWORD /*options*/, REGSAM access, void* /*security*/, HKEY* result,
                    DWORD* disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::vector<RegistryName> path;
  LONG error = ParseRegistryKeyPath(subKey, &path);
  if (error != ERROR_SUCCESS) return error;
  RegistryCall call;
  if ((error = call.Enter(key)) != ERROR_SUCCESS) return error;
  int64_t created = 0;
  error = call.Hive().CreateKey(call.Key(), path, &created, disposition);
  if (error != ERROR_SUCCESS) return error;
  *result = call.AddHandle(created, access);
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (IsPredefined(key)) return ERROR_SUCCESS;
  RegistryCall call;
  return call.RemoveHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegFlushKey(HKEY key) {
  RegistryCall call;
  LONG error = call.Enter(key);
  if (error == ERROR_SUCCESS) error = call.Hive().CheckKey(call.Key());
  if (error == ERROR_SUCCESS) error = call.Hive().Flush();
  return error;
}

LONG RegQueryValueEx(HKEY key, LPCWSTR valueName, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                     DWORD* dataSize) {
  if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
  RegistryName name;
  LONG error = ParseRegistryValueName(valueName, &name);
  if (error != ERROR_SUCCESS) return error;
  RegistryCall call;
  if ((error = call.Enter(key)) != ERROR_SUCCESS) return error;
  return call.Hive().QueryValue(call.Key(), name, type, data, dataSize);
}

LONG RegSetValueEx(HKEY key, LPCWSTR valueName, DWORD /*reserved*/, DWORD type, const BYTE* data,
                   DWORD dataSize) {
  if (data == nullptr && dataSize > 0) return ERROR_INVALID_PARAMETER;
  RegistryName name;
  LONG error = ParseRegistryValueName(valueName, &name);
  if (error != ERROR_SUCCESS) return error;
  RegistryCall call;
  if ((error = call.Enter(key)) != ERROR_SUCCESS) return error;
  return call.Hive().SetValue(call.Key(), name, type, data, dataSize);
}

LONG RegDeleteValue(HKEY key, LPCWSTR valueName) {
  RegistryName name;
  LONG error = ParseRegistryValueName(valueName, &name);
  if (error != ERROR_SUCCESS) return error;
  RegistryCall call;
  if ((error = call.Enter(key)) != ERROR_SUCCESS) return error;
  return call.Hive().DeleteValue(call.Key(), name);
}

LONG RegDeleteKey(HKEY key, LPCWSTR subKey) {
  // "" deletes the key the handle names; null is refused so that a missing
  // argument never deletes the caller's own key.
  if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
  std::vector<RegistryName> path;
  LONG error = ParseRegistryKeyPath(subKey, &path);
  if (error != ERROR_SUCCESS) return error;
  RegistryCall call;
  if ((error = call.Enter(key)) != ERROR_SUCCESS) return error;
  return call.Hive().DeleteKey(call.Key(), path, false);
}

LONG RegDeleteTree(HKEY key, LPCWSTR subKey) {
  std::vector<RegistryName> path;
  LONG error = ParseRegistryKeyPath(subKey, &path);
  if (error != ERROR_SUCCESS) return error;
  RegistryCall call;
  if ((error = call.Enter(key)) != ERROR_SUCCESS) return error;
  // Without a subkey the key's own values and subkeys go and the key stays.
  if (path.empty()) return call.Hive().DeleteContents(call.Key());
  return call.Hive().DeleteKey(call.Key(), path, true);
}

LONG RegEnumKeyEx(HKEY key, DWORD index, LPWSTR name, DWORD* nameLen, DWORD* /*reserved*/,
                  LPWSTR keyClass, DWORD* classLen, void* /*lastWriteTime*/) {
  if (name == nullptr || nameLen == nullptr) return ERROR_INVALID_PARAMETER;
  RegistryCall call;
  LONG error = call.Enter(key);
  if (error != ERROR_SUCCESS) return error;
  std::u16string found;
  if ((error = call.Hive().EnumKey(call.Key(), index, &found)) != ERROR_SUCCESS) return error;
  if ((error = CopyName(found, name, nameLen)) != ERROR_SUCCESS) return error;
  // Keys carry no class text.
  if (classLen != nullptr) {
    if (keyClass != nullptr && *classLen > 0) keyClass[0] = 0;
    *classLen = 0;
  }
  return ERROR_SUCCESS;
}

LONG RegEnumValue(HKEY key, DWORD index, LPWSTR name, DWORD* nameLen, DWORD* /*reserved*/,
                  DWORD* type, BYTE* data, DWORD* dataSize) {
  if (name == nullptr || nameLen == nullptr) return ERROR_INVALID_PARAMETER;
  if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
  RegistryCall call;
  LONG error = call.Enter(key);
  if (error != ERROR_SUCCESS) return error;
  RegistryValue value;
  if ((error = call.Hive().EnumValue(call.Key(), index, &value)) != ERROR_SUCCESS) return error;
  if ((error = CopyName(value.name, name, nameLen)) != ERROR_SUCCESS) return error;
  if (type != nullptr) *type = value.type;
  if (dataSize == nullptr) return ERROR_SUCCESS;
  DWORD room = *dataSize;
  *dataSize = static_cast<DWORD>(value.data.size());
  if (data == nullptr) return ERROR_SUCCESS;
  if (room < value.data.size()) return ERROR_MORE_DATA;
  if (!value.data.empty()) std::memcpy(data, value.data.data(), value.data.size());
  return ERROR_SUCCESS;
}

LONG RegGetValues(HKEY key, std::vector<RegistryValue>* values) {
  if (values == nullptr) return ERROR_INVALID_PARAMETER;
  RegistryCall call;
  LONG error = call.Enter(key);
  if (error != ERROR_SUCCESS) return error;
  return call.Hive().ListValues(call.Key(), values);
}

LONG RegGetSubKeyNames(HKEY key, std::vector<std::u16string>* names) {
  if (names == nullptr) return ERROR_INVALID_PARAMETER;
  RegistryCall call;
  LONG error = call.Enter(key);
  if (error != ERROR_SUCCESS) return error;
  return call.Hive().ListSubKeys(call.Key(), names);
}

namespace detail {

void CloseRegistryHive() {
  RegistryState& state = State();
  std::lock_guard lock(state.mutex);
  // Handles name key ids of this hive; they must not reach the next one.
  state.handles.Clear();
  state.hive.reset();
}

}  // namespace detail
}  // namespace ce
