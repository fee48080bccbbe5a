// Regions: sets of pixels made of rectangles, for clipping.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace ce {

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
// dst = a op b (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF; RGN_COPY copies a).
// dst may be a or b. Returns the kind of the result or RGN_ERROR.
int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, RECT* box);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);  // any overlap
BOOL EqualRgn(HRGN a, HRGN b);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);

}  // namespace ce
