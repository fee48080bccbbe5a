// Fills, lines, outlines and single pixels. Rectangles and lines are drawn
// without antialiasing on whole pixels, so every pixel is exactly the colour
// asked for. Lines exclude their end point; Rectangle and RoundRect cover
// left..right-1 by top..bottom-1 (one pixel less each way with the null pen).
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace ce {

// The brush may be a brush handle or (HBRUSH)(COLOR_x + 1).
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// A one-pixel frame in the brush's colour.
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
// Inverts every colour bit inside the rectangle.
BOOL InvertRect(HDC dc, const RECT* rect);
// The dotted focus frame, drawn by inverting, so drawing it twice removes it.
BOOL DrawFocusRect(HDC dc, const RECT* rect);
// Three-dimensional borders in the system colours.
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
// PATCOPY (the selected brush), PATINVERT, DSTINVERT, BLACKNESS, WHITENESS.
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
// Outline with the pen, inside with the brush.
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
// Corners are quarter ellipses of width x height pixels.
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);

// SetPixel returns the colour set, GetPixel the colour there; both return
// CLR_INVALID outside the clip region or the surface.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);

}  // namespace ce
