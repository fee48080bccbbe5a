// The table of the HTTP client's handles. A handle is an id, never reused
// within a run; the table keeps each object alive while it is open, and a
// call that is using an object keeps it alive until it returns.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/net/InternetObject.h"

namespace ce {

class InternetHandleTable {
 public:
  static InternetHandleTable& Instance();

  HINTERNET Add(std::shared_ptr<InternetObject> object);
  // The open object of that handle, or null (last error ERROR_INVALID_HANDLE,
  // or ERROR_INTERNET_INCORRECT_HANDLE_TYPE when it is of another kind).
  std::shared_ptr<InternetObject> Find(HINTERNET handle);
  std::shared_ptr<InternetObject> Find(HINTERNET handle, InternetObject::Kind kind);
  // Closes the handle and every handle opened from it.
  bool Close(HINTERNET handle);
  int Count();

 private:
  std::mutex mutex_;
  std::map<uintptr_t, std::shared_ptr<InternetObject>> objects_;
  uintptr_t nextId_ = 1;
};

}  // namespace ce
