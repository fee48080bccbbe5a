// Internal: the open registry handles of this process.
//
// A handle is an id in this table, never a pointer. Ids count up and are not
// handed out again until the counter wraps (2^31 opens later), so a closed
// handle passed back is reported as ERROR_INVALID_HANDLE instead of reaching
// a key opened since. Not thread-safe: the registry calls hold their lock.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "platform/base/Types.h"

namespace ce {

class RegistryHandleTable {
 public:
  HKEY Add(int64_t key, REGSAM access);
  // The key id behind an open handle; false for closed or unknown handles.
  bool Find(HKEY handle, int64_t* key) const;
  bool Remove(HKEY handle);
  void Clear() { open_.clear(); }

 private:
  struct OpenKey {
    int64_t key;
    REGSAM access;  // recorded; the device does not enforce it
  };
  // Ids stay below the predefined root handles (0x80000000 and up) and
  // start above the small numbers that uninitialised handles often hold.
  static constexpr uintptr_t kFirstId = 0x100;
  static constexpr uintptr_t kLastId = 0x7FFFFFFF;

  std::unordered_map<uintptr_t, OpenKey> open_;
  uintptr_t next_ = kFirstId;
};

}  // namespace ce
