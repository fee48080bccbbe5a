// Pens, brushes, bitmaps, stock objects and system colours.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace ce {

HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
// PS_SOLID, PS_DASH or PS_NULL; a width of 0 draws 1 pixel wide.
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
// A bitmap of the DC's colour format, width x height pixels, black.
// Null when a side is not in 1..8192.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A 32-bit bitmap from rows of 0x00RRGGBB words (bits may be null: black);
// planes must be 1 and bitsPerPixel 32.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);

// Stock objects are never deleted; DeleteObject on them succeeds and does
// nothing.
HGDIOBJ GetStockObject(int object);
// Deletes a pen, brush, font, bitmap or region. A DC that has the object
// selected keeps using it until something else is selected.
BOOL DeleteObject(HGDIOBJ object);
// Fills LOGPEN, LOGBRUSH, LOGFONT or BITMAP; returns the bytes written, 0 on
// failure. With out null returns the size needed.
int GetObject(HGDIOBJ object, int size, void* out);
DWORD GetObjectType(HGDIOBJ object);

COLORREF GetSysColor(int index);
// A stock brush of a system colour; null for an unknown index.
HBRUSH GetSysColorBrush(int index);

}  // namespace ce
