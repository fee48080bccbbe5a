// Fonts and text, drawn with Pango.
//
// Face names resolve through fontconfig; "細明體" (and its other names), an
// empty face name and the stock fonts use AR PL UMing TW. Line height is the
// font's ascent + descent (tmHeight); every line of a text has that height.
// Text is UTF-16; a count of -1 means up to the terminating zero.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace ce {

// The face of the default UI font.
inline constexpr char16_t kDefaultFaceName[] = u"細明體";
// The em height in pixels of a font created with lfHeight 0 and of the stock
// fonts (9 points on the screen).
constexpr int kDefaultFontPixels = 12;

HFONT CreateFontIndirect(const LOGFONT* font);

// DT_ formats from GdiTypes.h. Returns the height of the text in pixels
// (with DT_VCENTER or DT_BOTTOM: from rect->top to the bottom of the text),
// 0 on failure. DT_CALCRECT draws nothing and sets rect's right and bottom
// to fit the text (the width is kept for DT_WORDBREAK unless a line needs
// more). Without DT_NOPREFIX, "&x" underlines x and "&&" shows one "&".
// Unless DT_NOCLIP, nothing is drawn outside rect.
int DrawText(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format);

// One line at x, y placed by the text alignment (SetTextAlign); line breaks
// are not shown. ETO_OPAQUE fills rect with the background colour,
// ETO_CLIPPED clips to it. dx, when given, holds the advance of every UTF-16
// unit in pixels.
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                const int* dx);
BOOL TextOut(HDC dc, int x, int y, LPCWSTR text, int count);
UINT SetTextAlign(HDC dc, UINT align);  // returns the previous alignment
UINT GetTextAlign(HDC dc);

// Width of one line of text and the line height.
BOOL GetTextExtentPoint32(HDC dc, LPCWSTR text, int count, SIZE* size);
// Also: how many UTF-16 units fit in maxExtent pixels (fit), and the extent
// of the first 1, 2, ... units (extents, count entries).
BOOL GetTextExtentExPoint(HDC dc, LPCWSTR text, int count, int maxExtent, int* fit,
                          int* extents, SIZE* size);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics);

// lfHeight of a font of the given point size (tenths of a point) on the
// screen, as the frameworks compute it: -(pointTenths * 96 / 720), rounded.
LONG PointTenthsToFontHeight(int pointTenths);

}  // namespace ce
