// Internal: a bitmap, i.e. a surface, and the DC it is selected into.
#pragma once

#include <memory>
#include <mutex>

#include "platform/gdi/Surface.h"
#include "platform/gdi/detail/GdiObject.h"

namespace ce::detail {

class BitmapObject final : public GdiObject {
 public:
  explicit BitmapObject(std::shared_ptr<Surface> surface) : surface_(std::move(surface)) {}
  DWORD Type() const override { return OBJ_BITMAP; }
  const std::shared_ptr<Surface>& GetSurface() const { return surface_; }

  // A bitmap is selected into at most one DC at a time; owner is the DC's id.
  bool TrySelect(uintptr_t dc) {
    std::lock_guard lock(mutex_);
    if (selectedInto_ != 0 && selectedInto_ != dc) return false;
    selectedInto_ = dc;
    return true;
  }
  void Deselect(uintptr_t dc) {
    std::lock_guard lock(mutex_);
    if (selectedInto_ == dc) selectedInto_ = 0;
  }

 private:
  std::shared_ptr<Surface> surface_;
  std::mutex mutex_;
  uintptr_t selectedInto_ = 0;
};

}  // namespace ce::detail
