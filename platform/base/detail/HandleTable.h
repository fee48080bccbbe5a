// Internal: the process-wide table behind kernel object handles.
//
// A HANDLE is an id in this table, never a pointer. Each entry holds a shared
// reference to its object, so an operation that found an object keeps it alive
// even when another thread closes the handle meanwhile; the object goes away
// with the last reference. Ids are not reused while the 32-bit counter lasts,
// so a stale handle finds nothing instead of somebody else's object.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/base/Types.h"

namespace ce::detail {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// An object WaitForSingleObject can wait for. The wait holds Mutex() while
// it asks TryAcquireLocked(); whoever signals the object notifies Signalled()
// while holding Mutex().
class WaitableObject : public KernelObject {
 public:
  std::mutex& Mutex() { return mutex_; }
  std::condition_variable& Signalled() { return signalled_; }
  // Called with Mutex() held: true when the object is signalled, consuming
  // the signal where the object's kind says so (auto-reset events).
  virtual bool TryAcquireLocked() = 0;

 private:
  std::mutex mutex_;
  std::condition_variable signalled_;
};

// The pseudo handle GetCurrentThread() returns; it is never in the table.
inline HANDLE const kCurrentThreadHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

HANDLE AddHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> FindHandle(HANDLE handle);
// Takes the entry out of the table and returns its object (null when the
// handle is not in the table). The caller drops the reference outside any
// lock of its own.
std::shared_ptr<KernelObject> RemoveHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> FindHandleAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(FindHandle(handle));
}

}  // namespace ce::detail
