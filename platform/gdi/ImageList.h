// Image lists: equally sized images kept side by side, with an optional mask
// that makes some pixels transparent when drawn.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace ce {

// ImageList_Create flags.
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

// ImageList_Draw styles.
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr UINT ILD_BLEND = ILD_BLEND50;
constexpr UINT ILD_MASK = 0x0010;
constexpr UINT ILD_IMAGE = 0x0020;

// Images of width x height pixels (each 1..1024). initial and grow only
// size the storage in advance.
HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);

// Adds the images of a bitmap, cut from left to right in steps of the image
// width (a remainder narrower than one image is dropped). With a mask list,
// the mask bitmap's non-black pixels mark transparent pixels (no mask: none
// are). Returns the index of the first image added, -1 on failure. The
// bitmaps are copied; the caller keeps them.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// Pixels of the mask colour become transparent.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor);
// Replaces one image; -1 as the index removes all.
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
BOOL ImageList_Remove(HIMAGELIST list, int index);

// The background drawn under transparent pixels; CLR_NONE (the default)
// leaves the destination visible there. Returns the previous colour.
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);

// Draws image index at x, y. ILD_TRANSPARENT ignores the background colour;
// ILD_BLEND25 / ILD_BLEND50 mix the image with the highlight colour;
// ILD_MASK draws the mask (black opaque, white transparent).
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// As ImageList_Draw, clipped to width x height (0 meaning the image's own);
// background and foreground override the list's background and the blend
// colour (CLR_DEFAULT keeps them).
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int width, int height,
                      COLORREF background, COLORREF foreground, UINT style);

}  // namespace ce
