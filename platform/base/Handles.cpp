#include "platform/base/Handles.h"

#include <unordered_map>
#include <utility>

#include "platform/base/detail/HandleTable.h"

namespace ce {
namespace detail {
namespace {

// Ids step by 4 from 0x100, as the platform's handles do; 0, -1 and the
// pseudo handles are never produced.
constexpr uint32_t kFirstId = 0x100;
constexpr uint32_t kIdStep = 4;

struct Table {
  std::mutex mutex;
  uint32_t nextId = kFirstId;
  std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> entries;
};

Table& TheTable() {
  static Table* table = new Table;  // never destroyed: detached threads may outlive main
  return *table;
}

uintptr_t IdOf(HANDLE handle) { return reinterpret_cast<uintptr_t>(handle); }

}  // namespace

HANDLE AddHandle(std::shared_ptr<KernelObject> object) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  uintptr_t id;
  do {
    id = table.nextId;
    table.nextId += kIdStep;
    if (table.nextId < kFirstId) table.nextId = kFirstId;  // wrapped after 2^30 handles
  } while (table.entries.count(id) != 0);
  table.entries.emplace(id, std::move(object));
  return reinterpret_cast<HANDLE>(id);
}

std::shared_ptr<KernelObject> FindHandle(HANDLE handle) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  auto it = table.entries.find(IdOf(handle));
  return it == table.entries.end() ? nullptr : it->second;
}

std::shared_ptr<KernelObject> RemoveHandle(HANDLE handle) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  auto it = table.entries.find(IdOf(handle));
  if (it == table.entries.end()) return nullptr;
  std::shared_ptr<KernelObject> object = std::move(it->second);
  table.entries.erase(it);
  return object;
}

}  // namespace detail

BOOL CloseHandle(HANDLE handle) {
  std::shared_ptr<detail::KernelObject> object = detail::RemoveHandle(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  object.reset();  // closes the file or frees the object when this was the last reference
  return TRUE;
}

}  // namespace ce
