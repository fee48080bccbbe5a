#include "platform/gdi/DeviceContext.h"

#include "platform/gdi/Surface.h"
#include "platform/gdi/detail/DcObject.h"

namespace ce {

using detail::DcObject;
using detail::FindDc;

HDC CreateCompatibleDC(HDC dc) {
  if (dc != nullptr && FindDc(dc) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto memory = DcObject::CreateMemory();
  if (memory == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  uintptr_t id = detail::AddObject(memory);
  memory->SetId(id);
  return detail::ToHandle<HDC>(id);
}

BOOL DeleteDC(HDC dc) {
  auto found = std::dynamic_pointer_cast<DcObject>(detail::RemoveObject(dc));
  if (found == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  found->Detach();
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  auto d = FindDc(dc);
  auto found = detail::FindObject(object);
  if (d == nullptr || found == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  detail::DcState& s = d->State();
  HGDIOBJ previous = nullptr;
  switch (found->Type()) {
    case OBJ_PEN:
      previous = s.penHandle;
      s.penHandle = object;
      s.pen = std::static_pointer_cast<detail::PenObject>(found);
      return previous;
    case OBJ_BRUSH:
      previous = s.brushHandle;
      s.brushHandle = object;
      s.brush = std::static_pointer_cast<detail::BrushObject>(found);
      return previous;
    case OBJ_FONT:
      previous = s.fontHandle;
      s.fontHandle = object;
      s.font = std::static_pointer_cast<detail::FontObject>(found);
      return previous;
    case OBJ_BITMAP:
      previous = s.bitmapHandle;
      if (!d->SelectBitmap(object, std::static_pointer_cast<detail::BitmapObject>(found))) {
        return nullptr;
      }
      return previous;
    case OBJ_REGION:
      return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(SelectClipRgn(dc, static_cast<HRGN>(object))));
    default:
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT objectType) {
  auto d = FindDc(dc);
  if (d == nullptr) return nullptr;
  const detail::DcState& s = d->State();
  switch (objectType) {
    case OBJ_PEN:
      return s.penHandle;
    case OBJ_BRUSH:
      return s.brushHandle;
    case OBJ_FONT:
      return s.fontHandle;
    case OBJ_BITMAP:
      return s.bitmapHandle;
    default:
      return nullptr;
  }
}

int SaveDC(HDC dc) {
  auto d = FindDc(dc);
  return d == nullptr ? 0 : d->Save();
}

BOOL RestoreDC(HDC dc, int savedDc) {
  auto d = FindDc(dc);
  return d != nullptr && d->Restore(savedDc) ? TRUE : FALSE;
}

namespace {

// Sets one field of a DC's state and returns its old value (fail if no DC).
template <class T, class F>
T Exchange(HDC dc, T value, T fail, F field) {
  auto d = FindDc(dc);
  if (d == nullptr) return fail;
  T& slot = field(d->State());
  T old = slot;
  slot = value;
  return old;
}

template <class T, class F>
T Read(HDC dc, T fail, F field) {
  auto d = FindDc(dc);
  return d == nullptr ? fail : field(d->State());
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) {
  return Exchange(dc, color & 0x00FFFFFF, CLR_INVALID,
                  [](detail::DcState& s) -> COLORREF& { return s.textColor; });
}
COLORREF GetTextColor(HDC dc) {
  return Read(dc, CLR_INVALID, [](detail::DcState& s) { return s.textColor; });
}
COLORREF SetBkColor(HDC dc, COLORREF color) {
  return Exchange(dc, color & 0x00FFFFFF, CLR_INVALID,
                  [](detail::DcState& s) -> COLORREF& { return s.bkColor; });
}
COLORREF GetBkColor(HDC dc) {
  return Read(dc, CLR_INVALID, [](detail::DcState& s) { return s.bkColor; });
}
int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return Exchange(dc, mode, 0, [](detail::DcState& s) -> int& { return s.bkMode; });
}
int GetBkMode(HDC dc) {
  return Read(dc, 0, [](detail::DcState& s) { return s.bkMode; });
}
int SetStretchBltMode(HDC dc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return Exchange(dc, mode, 0, [](detail::DcState& s) -> int& { return s.stretchMode; });
}
int GetStretchBltMode(HDC dc) {
  return Read(dc, 0, [](detail::DcState& s) { return s.stretchMode; });
}

BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous) {
  auto d = FindDc(dc);
  if (d == nullptr) return FALSE;
  if (previous != nullptr) *previous = d->State().viewportOrg;
  d->State().viewportOrg = POINT{x, y};
  return TRUE;
}

BOOL GetViewportOrgEx(HDC dc, POINT* origin) {
  auto d = FindDc(dc);
  if (d == nullptr || origin == nullptr) return FALSE;
  *origin = d->State().viewportOrg;
  return TRUE;
}

BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous) {
  auto d = FindDc(dc);
  if (d == nullptr) return FALSE;
  POINT& org = d->State().viewportOrg;
  if (previous != nullptr) *previous = org;
  org.x += dx;
  org.y += dy;
  return TRUE;
}

int GetDeviceCaps(HDC dc, int index) {
  auto d = dc == nullptr ? nullptr : FindDc(dc);
  if (dc != nullptr && d == nullptr) return 0;
  switch (index) {
    case HORZRES:
    case VERTRES: {
      // The screen's size for window and screen DCs; a memory DC reports
      // the screen too, as on the platform.
      auto screen = GetScreenSurface();
      return index == HORZRES ? screen->Width() : screen->Height();
    }
    case BITSPIXEL:
      return 24;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return -1;
    case RASTERCAPS:
      return RC_BITBLT | RC_STRETCHBLT;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return kScreenDpi;
    default:
      return 0;
  }
}

int SelectClipRgn(HDC dc, HRGN region) {
  auto d = FindDc(dc);
  if (d == nullptr) return RGN_ERROR;
  detail::DcState& s = d->State();
  if (region == nullptr) {
    s.hasClip = false;
    s.clip = detail::PixelRegion();
  } else {
    auto r = detail::FindAs<detail::RegionObject>(region);
    if (r == nullptr) return RGN_ERROR;
    s.hasClip = true;
    s.clip = r->region;
    s.clip.Translate(d->WindowOrigin().x, d->WindowOrigin().y);
  }
  d->ClipChanged();
  return d->Clip().Kind();
}

namespace {

// Starts the DC's own clip region from what is visible, so that
// intersecting and excluding work on what the DC can draw.
void EnsureClip(DcObject& d) {
  detail::DcState& s = d.State();
  if (!s.hasClip) {
    s.clip = d.Visible();
    s.hasClip = true;
  }
}

}  // namespace

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  auto d = FindDc(dc);
  if (d == nullptr) return RGN_ERROR;
  EnsureClip(*d);
  d->State().clip.Intersect(d->ToDevice(RECT{left, top, right, bottom}));
  d->ClipChanged();
  return d->Clip().Kind();
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  auto d = FindDc(dc);
  if (d == nullptr) return RGN_ERROR;
  EnsureClip(*d);
  d->State().clip.Subtract(d->ToDevice(RECT{left, top, right, bottom}));
  d->ClipChanged();
  return d->Clip().Kind();
}

int GetClipBox(HDC dc, RECT* rect) {
  auto d = FindDc(dc);
  if (d == nullptr || rect == nullptr) return RGN_ERROR;
  const detail::PixelRegion& clip = d->Clip();
  if (clip.Empty()) {
    *rect = RECT{};
    return NULLREGION;
  }
  RECT box = clip.Bounds();
  POINT o = d->Offset();
  OffsetRect(&box, -o.x, -o.y);
  *rect = box;
  return clip.Kind();
}

int GetClipRgn(HDC dc, HRGN region) {
  auto d = FindDc(dc);
  auto r = detail::FindAs<detail::RegionObject>(region);
  if (d == nullptr || r == nullptr) return -1;
  if (!d->State().hasClip) return 0;
  r->region = d->State().clip;
  r->region.Translate(-d->WindowOrigin().x, -d->WindowOrigin().y);
  return 1;
}

}  // namespace ce
