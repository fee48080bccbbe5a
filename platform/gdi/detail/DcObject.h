// Internal: a device context — its target surface, where the window lies in
// it, what is visible there, and the state that SaveDC keeps.
//
// A DC is used by one thread at a time, as on the platform; it has no lock.
// Coordinates given to the drawing calls are logical; Offset() turns them
// into surface (device) coordinates.
#pragma once

#include <cairo.h>

#include <memory>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/gdi/detail/BitmapObject.h"
#include "platform/gdi/detail/FontObject.h"
#include "platform/gdi/detail/GdiObject.h"
#include "platform/gdi/detail/PixelRegion.h"

namespace ce::detail {

struct DcState {
  HGDIOBJ penHandle = nullptr;
  HGDIOBJ brushHandle = nullptr;
  HGDIOBJ fontHandle = nullptr;
  HGDIOBJ bitmapHandle = nullptr;
  std::shared_ptr<PenObject> pen;
  std::shared_ptr<BrushObject> brush;
  std::shared_ptr<FontObject> font;
  std::shared_ptr<BitmapObject> bitmap;  // memory DCs only
  COLORREF textColor = 0x000000;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int stretchMode = COLORONCOLOR;
  UINT textAlign = TA_LEFT | TA_TOP;
  POINT viewportOrg;
  POINT currentPos;  // logical
  bool hasClip = false;
  PixelRegion clip;  // device coordinates, when hasClip
};

class DcObject final : public GdiObject {
 public:
  enum class Kind { kMemory, kWindow, kScreen };

  // A memory DC, with its private 1 x 1 default bitmap selected.
  static std::shared_ptr<DcObject> CreateMemory();
  // A DC on a window's (or the screen's) surface: origin is where logical
  // (0, 0) lies on it, visible what may be drawn (surface coordinates).
  static std::shared_ptr<DcObject> CreateOnSurface(Kind kind, std::shared_ptr<Surface> surface,
                                                   POINT origin, PixelRegion visible, HWND window);
  ~DcObject() override;
  DcObject(const DcObject&) = delete;
  DcObject& operator=(const DcObject&) = delete;

  DWORD Type() const override { return kind_ == Kind::kMemory ? OBJ_MEMDC : OBJ_DC; }
  Kind GetKind() const { return kind_; }
  HWND Window() const { return window_; }
  uintptr_t Id() const { return id_; }
  void SetId(uintptr_t id) { id_ = id; }

  DcState& State() { return state_; }
  Surface& Target() { return *surface_; }
  const std::shared_ptr<Surface>& TargetPtr() const { return surface_; }
  // Where the window's (0, 0) lies on the surface: the platform's "device
  // coordinates" of clip regions are relative to it.
  POINT WindowOrigin() const { return origin_; }
  const PixelRegion& Visible() const { return visible_; }
  POINT Offset() const {
    return POINT{origin_.x + state_.viewportOrg.x, origin_.y + state_.viewportOrg.y};
  }
  RECT ToDevice(const RECT& r) const {
    POINT o = Offset();
    return RECT{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
  }

  // What drawing may touch, in surface coordinates: the visible part, the
  // clip region and the surface's bounds.
  const PixelRegion& Clip();
  // Call after changing State().clip or the viewport origin.
  void ClipChanged() { clipValid_ = false; }
  // A Cairo context on the target with Clip() applied, no antialiasing, the
  // identity matrix, operator OVER; valid until the next selection or clip
  // change.
  cairo_t* Cairo();

  // Memory DCs: selects a bitmap (kDefaultBitmapId for the private default)
  // and returns false when it is selected into another DC.
  bool SelectBitmap(HGDIOBJ handle, std::shared_ptr<BitmapObject> bitmap);

  int Save();
  bool Restore(int level);
  // Lets go of the selected bitmap (the DC is being deleted).
  void Detach();

 private:
  DcObject(Kind kind, std::shared_ptr<Surface> surface, POINT origin, PixelRegion visible,
           HWND window);
  void SetTarget(std::shared_ptr<Surface> surface);
  // Deselects a bitmap that neither the state nor a saved state holds.
  void ReleaseIfUnused(const std::shared_ptr<BitmapObject>& bitmap);

  Kind kind_;
  HWND window_ = nullptr;
  uintptr_t id_ = 0;
  std::shared_ptr<Surface> surface_;
  std::shared_ptr<BitmapObject> defaultBitmap_;
  POINT origin_;
  PixelRegion visible_;
  DcState state_;
  std::vector<DcState> saved_;
  PixelRegion clip_;
  bool clipValid_ = false;
  cairo_t* cairo_ = nullptr;
  bool cairoClipValid_ = false;
};

// The DC behind a handle, or null.
std::shared_ptr<DcObject> FindDc(HDC dc);

}  // namespace ce::detail
