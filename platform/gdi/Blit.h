// Copies between DCs. The copied area is clipped to the source surface and
// the destination's clip region; pixels outside the source stay as they
// were. Source and destination may be the same surface (overlapping copies
// work). The text record of the copied area travels with the pixels.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace ce {

// rop: SRCCOPY, SRCAND, SRCPAINT, SRCINVERT, NOTSRCCOPY, or a source-less
// one (PATCOPY, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS; src may be null).
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
// Scales the source rectangle to the destination rectangle with the DC's
// stretch mode (nearest pixel unless HALFTONE). Negative sizes mirror.
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop);
// Like StretchBlt with SRCCOPY, except that source pixels of the colour key
// leave the destination as it was.
BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                    int srcWidth, int srcHeight, COLORREF transparent);
// The platform's other name for TransparentBlt.
BOOL TransparentImage(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                      int srcWidth, int srcHeight, COLORREF transparent);

}  // namespace ce
