// Internal: the objects behind drawing handles, and the process-wide table
// that maps handles to them.
//
// Each entry holds a shared reference, so a call that found an object keeps
// it alive while another thread deletes the handle, and a DC keeps the
// objects selected into it. Ids are never reused. Stock objects have fixed
// ids below kFirstDynamicId and cannot be removed.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/detail/PixelRegion.h"

namespace ce::detail {

class GdiObject {
 public:
  virtual ~GdiObject() = default;
  virtual DWORD Type() const = 0;
};

struct PenObject final : GdiObject {
  explicit PenObject(const LOGPEN& p) : pen(p) {}
  DWORD Type() const override { return OBJ_PEN; }
  bool IsNull() const { return pen.lopnStyle == static_cast<UINT>(PS_NULL); }
  int Width() const { return pen.lopnWidth.x <= 0 ? 1 : pen.lopnWidth.x; }
  LOGPEN pen;
};

struct BrushObject final : GdiObject {
  explicit BrushObject(const LOGBRUSH& b) : brush(b) {}
  DWORD Type() const override { return OBJ_BRUSH; }
  bool IsNull() const { return brush.lbStyle == BS_NULL; }
  LOGBRUSH brush;
};

struct RegionObject final : GdiObject {
  DWORD Type() const override { return OBJ_REGION; }
  PixelRegion region;
};

// Stock ids: GetStockObject(i) is kStockBase + i; the brush of system colour
// i is kSysBrushBase + i; the shared default bitmap of memory DCs is
// kDefaultBitmapId.
constexpr uintptr_t kStockBase = 0x8000;
constexpr uintptr_t kSysBrushBase = 0x8100;
constexpr uintptr_t kDefaultBitmapId = 0x8200;
constexpr uintptr_t kFirstDynamicId = 0x10000;

uintptr_t AddObject(std::shared_ptr<GdiObject> object);
std::shared_ptr<GdiObject> FindObject(const void* handle);
// Takes a dynamic entry out of the table; null for stock and unknown ids.
std::shared_ptr<GdiObject> RemoveObject(const void* handle);
bool IsStockHandle(const void* handle);

// A brush handle, or a system colour given as (HBRUSH)(COLOR_x + 1).
std::shared_ptr<BrushObject> ResolveBrush(HBRUSH brush);

template <class T>
std::shared_ptr<T> FindAs(const void* handle) {
  return std::dynamic_pointer_cast<T>(FindObject(handle));
}

template <class H>
H ToHandle(uintptr_t id) {
  return reinterpret_cast<H>(id);
}

}  // namespace ce::detail
