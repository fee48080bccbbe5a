#include "platform/net/InternetHandleTable.h"

#include <vector>

namespace ce {

InternetHandleTable& InternetHandleTable::Instance() {
  static InternetHandleTable table;
  return table;
}

HINTERNET InternetHandleTable::Add(std::shared_ptr<InternetObject> object) {
  std::lock_guard<std::mutex> lock(mutex_);
  uintptr_t id = nextId_++;
  object->id = id;
  objects_[id] = std::move(object);
  return reinterpret_cast<HINTERNET>(id);
}

std::shared_ptr<InternetObject> InternetHandleTable::Find(HINTERNET handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = objects_.find(reinterpret_cast<uintptr_t>(handle));
  if (it == objects_.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return it->second;
}

std::shared_ptr<InternetObject> InternetHandleTable::Find(HINTERNET handle,
                                                          InternetObject::Kind kind) {
  std::shared_ptr<InternetObject> object = Find(handle);
  if (object && object->kind != kind) {
    SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    return nullptr;
  }
  return object;
}

bool InternetHandleTable::Close(HINTERNET handle) {
  std::vector<std::shared_ptr<InternetObject>> closing;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = objects_.find(reinterpret_cast<uintptr_t>(handle));
    if (it == objects_.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    closing.push_back(it->second);
    objects_.erase(it);
    // Children always have larger ids than their parent, and a handful of
    // handles are open at a time, so one pass per level is cheap.
    for (size_t i = 0; i < closing.size(); ++i) {
      for (auto child = objects_.begin(); child != objects_.end();) {
        if (child->second->parent == closing[i]->id) {
          closing.push_back(child->second);
          child = objects_.erase(child);
        } else {
          ++child;
        }
      }
    }
  }
  // The objects are released outside the lock: a request's transfer may
  // still be in use by a call on another thread, which holds its own
  // reference and lets go of it when it returns.
  for (auto& object : closing) object->closed.store(true);
  return true;
}

int InternetHandleTable::Count() {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(objects_.size());
}

}  // namespace ce
