#include "platform/base/detail/RegistryHandleTable.h"

namespace ce {

HKEY RegistryHandleTable::Add(int64_t key, REGSAM access) {
  uintptr_t id = next_;
  while (open_.count(id) != 0) id = id == kLastId ? kFirstId : id + 1;
  next_ = id == kLastId ? kFirstId : id + 1;
  open_.emplace(id, OpenKey{key, access});
  return reinterpret_cast<HKEY>(id);
}

bool RegistryHandleTable::Find(HKEY handle, int64_t* key) const {
  auto it = open_.find(reinterpret_cast<uintptr_t>(handle));
  if (it == open_.end()) return false;
  *key = it->second.key;
  return true;
}

bool RegistryHandleTable::Remove(HKEY handle) {
  return open_.erase(reinterpret_cast<uintptr_t>(handle)) != 0;
}

}  // namespace ce
