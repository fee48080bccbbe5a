// Device contexts: memory DCs, the objects selected into a DC, its colours
// and modes, its origin and its clipping.
//
// A DC draws into one surface: a memory DC into the bitmap selected into it
// (a private 1 x 1 bitmap until one is selected), a window DC into its
// window's surface at the window's place, clipped to the window's visible
// part. Every window clips its children and the siblings above it, as on the
// device. Calls with an invalid DC fail (FALSE, null, 0 or CLR_INVALID)
// and change nothing.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace ce {

// A memory DC like the given one (null: like the screen).
HDC CreateCompatibleDC(HDC dc);
// Deletes a memory DC (window DCs are released with ReleaseDC / EndPaint).
// The objects selected into it stay valid; its bitmap can be selected
// elsewhere afterwards.
BOOL DeleteDC(HDC dc);

// Selects a pen, brush, font or bitmap and returns the previous one of that
// kind; for a region it sets the clip region and returns its kind. A bitmap
// can be selected into one DC at a time; null on failure. Deleting a
// selected object is allowed: the DC keeps using it until something else is
// selected.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT objectType);

// Saves the selected objects, colours, modes, origin, clip region and
// current position. RestoreDC takes a level from SaveDC, or -1 for the last.
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int savedDc);

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);  // TRANSPARENT or OPAQUE; 0 on failure
int GetBkMode(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);

// The logical origin: logical (0, 0) lands on the given device point.
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetViewportOrgEx(HDC dc, POINT* origin);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous);

int GetDeviceCaps(HDC dc, int index);

// Clipping. The clip region is in device coordinates (SelectClipRgn copies
// the region; null removes the clip); IntersectClipRect and ExcludeClipRect
// take logical coordinates. Results are region kinds (NULLREGION,
// SIMPLEREGION, COMPLEXREGION) or RGN_ERROR.
int SelectClipRgn(HDC dc, HRGN region);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
// The bounding box of what can be drawn, in logical coordinates.
int GetClipBox(HDC dc, RECT* rect);
// Copies the DC's own clip region (not the window's visible part) into an
// existing region: 1 when there is one, 0 when none, -1 on error.
int GetClipRgn(HDC dc, HRGN region);

}  // namespace ce
