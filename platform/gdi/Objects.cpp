#include "platform/gdi/Objects.h"

#include <cstring>

#include "platform/gdi/detail/BitmapObject.h"
#include "platform/gdi/detail/DcObject.h"
#include "platform/gdi/detail/FontObject.h"
#include "platform/gdi/detail/GdiObject.h"

namespace ce {

using detail::AddObject;
using detail::ToHandle;

HBRUSH CreateSolidBrush(COLORREF color) {
  LOGBRUSH b;
  b.lbColor = color & 0x00FFFFFF;
  return CreateBrushIndirect(&b);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (brush == nullptr || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return ToHandle<HBRUSH>(AddObject(std::make_shared<detail::BrushObject>(*brush)));
}

HPEN CreatePen(int style, int width, COLORREF color) {
  LOGPEN p;
  p.lopnStyle = static_cast<UINT>(style);
  p.lopnWidth.x = width;
  p.lopnColor = color & 0x00FFFFFF;
  return CreatePenIndirect(&p);
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (pen == nullptr || (pen->lopnStyle != PS_SOLID && pen->lopnStyle != PS_DASH &&
                         pen->lopnStyle != PS_NULL)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  LOGPEN p = *pen;
  // Wide pens beyond a screen's size are a caller's mistake; keep them sane.
  if (p.lopnWidth.x > 1024) p.lopnWidth.x = 1024;
  return ToHandle<HPEN>(AddObject(std::make_shared<detail::PenObject>(p)));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  if (dc != nullptr && detail::FindDc(dc) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return CreateBitmap(width, height, 1, 32, nullptr);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || bitsPerPixel != 32) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto surface = Surface::Create(width, height);
  if (surface == nullptr) {
    SetLastError(width < 1 || height < 1 || width > Surface::kMaxSide ||
                         height > Surface::kMaxSide
                     ? ERROR_INVALID_PARAMETER
                     : ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (bits != nullptr) {
    surface->Flush();
    const auto* src = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
      uint32_t* row = surface->Row(y);
      for (int x = 0; x < width; ++x) row[x] = src[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
    }
    surface->MarkDirty();
  }
  return ToHandle<HBITMAP>(AddObject(std::make_shared<detail::BitmapObject>(std::move(surface))));
}

HGDIOBJ GetStockObject(int object) {
  if (object < 0 || object > DEFAULT_GUI_FONT) return nullptr;
  HGDIOBJ handle = ToHandle<HGDIOBJ>(detail::kStockBase + static_cast<uintptr_t>(object));
  return detail::FindObject(handle) != nullptr ? handle : nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
  auto found = detail::FindObject(object);
  if (found == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  DWORD type = found->Type();
  if (type != OBJ_PEN && type != OBJ_BRUSH && type != OBJ_FONT && type != OBJ_BITMAP &&
      type != OBJ_REGION) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (detail::IsStockHandle(object)) return TRUE;
  detail::RemoveObject(object);
  return TRUE;
}

int GetObject(HGDIOBJ object, int size, void* out) {
  auto found = detail::FindObject(object);
  if (found == nullptr) return 0;
  auto copy = [size, out](const auto& value) -> int {
    int need = static_cast<int>(sizeof(value));
    if (out == nullptr) return need;
    if (size < need) return 0;
    std::memcpy(out, &value, sizeof(value));
    return need;
  };
  switch (found->Type()) {
    case OBJ_PEN:
      return copy(static_cast<const detail::PenObject&>(*found).pen);
    case OBJ_BRUSH:
      return copy(static_cast<const detail::BrushObject&>(*found).brush);
    case OBJ_FONT:
      return copy(static_cast<detail::FontObject&>(*found).LogFont());
    case OBJ_BITMAP: {
      const auto& surface = *static_cast<const detail::BitmapObject&>(*found).GetSurface();
      BITMAP bm;
      bm.bmWidth = surface.Width();
      bm.bmHeight = surface.Height();
      bm.bmWidthBytes = surface.Width() * 4;
      return copy(bm);
    }
    default:
      return 0;
  }
}

DWORD GetObjectType(HGDIOBJ object) {
  auto found = detail::FindObject(object);
  return found == nullptr ? 0 : found->Type();
}

COLORREF GetSysColor(int index) {
  static constexpr COLORREF kColors[kSysColorCount] = {
      RGB(192, 192, 192),  // COLOR_SCROLLBAR
      RGB(0, 128, 128),    // COLOR_BACKGROUND
      RGB(0, 0, 128),      // COLOR_ACTIVECAPTION
      RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
      RGB(255, 255, 255),  // COLOR_MENU
      RGB(255, 255, 255),  // COLOR_WINDOW
      RGB(0, 0, 0),        // COLOR_WINDOWFRAME
      RGB(0, 0, 0),        // COLOR_MENUTEXT
      RGB(0, 0, 0),        // COLOR_WINDOWTEXT
      RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
      RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
      RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
      RGB(128, 128, 128),  // COLOR_APPWORKSPACE
      RGB(0, 0, 128),      // COLOR_HIGHLIGHT
      RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
      RGB(192, 192, 192),  // COLOR_BTNFACE
      RGB(128, 128, 128),  // COLOR_BTNSHADOW
      RGB(128, 128, 128),  // COLOR_GRAYTEXT
      RGB(0, 0, 0),        // COLOR_BTNTEXT
      RGB(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
      RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
      RGB(0, 0, 0),        // COLOR_3DDKSHADOW
      RGB(224, 224, 224),  // COLOR_3DLIGHT
      RGB(0, 0, 0),        // COLOR_INFOTEXT
      RGB(255, 255, 225),  // COLOR_INFOBK
      RGB(192, 192, 192),  // COLOR_STATIC
      RGB(0, 0, 0),        // COLOR_STATICTEXT
  };
  if (index < 0 || index >= kSysColorCount) return 0;
  return kColors[index];
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index >= kSysColorCount) return nullptr;
  return ToHandle<HBRUSH>(detail::kSysBrushBase + static_cast<uintptr_t>(index));
}

}  // namespace ce
