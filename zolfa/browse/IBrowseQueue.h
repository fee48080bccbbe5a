// Where the browse screen queues its requests: the browse requests of the
// service manager.
#pragma once

#include <cstdint>

#include "zolfa/browse/BrowsePath.h"

namespace zolfa {

class IBrowseQueue {
 public:
  virtual ~IBrowseQueue() = default;

  // Queues a request of kind (BrowseKind.h) and returns its identifier at
  // once: positive when queued, -1 when no session is logged in, 0 when it
  // could not be queued.
  virtual int32_t QueueBrowseRequest(int32_t kind, const BrowseParameters& parameters) = 0;
};

}  // namespace zolfa
