#include "platform/gdi/Text.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/gdi/detail/DcObject.h"
#include "platform/gdi/detail/FontSystem.h"
#include "platform/gdi/detail/Raster.h"
#include "platform/gdi/detail/Utf8Text.h"

namespace ce {

using detail::DcObject;
using detail::FindDc;
using detail::FontMetrics;
using detail::FontSystem;

namespace {

// The most UTF-16 units one call draws; longer texts are cut there.
constexpr size_t kMaxTextUnits = 64 * 1024;

std::u16string_view TextView(LPCWSTR text, int count) {
  if (text == nullptr) return {};
  size_t n = count < 0 ? WideLength(text) : static_cast<size_t>(count);
  return std::u16string_view(text, std::min(n, kMaxTextUnits));
}

// Removes line breaks from text shown on one line.
std::u16string OneLine(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c != u'\r' && c != u'\n') out.push_back(c);
  }
  return out;
}

// "&x" shows x underlined, "&&" one "&". Sets underline to the index of the
// first underlined unit in the result (or -1).
std::u16string StripPrefixes(std::u16string_view text, int* underline) {
  std::u16string out;
  out.reserve(text.size());
  *underline = -1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != u'&' && *underline < 0) *underline = static_cast<int>(out.size());
    } else if (text[i] == u'&') {
      continue;  // a lone "&" at the end shows nothing
    }
    out.push_back(text[i]);
  }
  return out;
}

struct LayoutRequest {
  int widthPixels = -1;  // -1: no wrapping
  bool wrap = false;
  bool ellipsize = false;
  int maxLines = 0;  // with ellipsize and wrap: lines that fit
  bool singleParagraph = false;
  int underlineUnit = -1;
};

// Lays text out in the thread's layout with the DC's font.
PangoLayout* LayOut(DcObject& dc, const detail::Utf8Text& text, const LayoutRequest& request) {
  PangoLayout* layout = FontSystem::ThreadLayout();
  detail::FontObject& font = *dc.State().font;
  pango_layout_set_font_description(layout, font.Description());
  pango_layout_set_text(layout, text.bytes.data(), static_cast<int>(text.bytes.size()));
  pango_layout_set_single_paragraph_mode(layout, request.singleParagraph);
  pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
  pango_layout_set_auto_dir(layout, FALSE);
  pango_layout_set_width(layout, request.widthPixels < 0 ? -1 : request.widthPixels * PANGO_SCALE);
  pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  pango_layout_set_ellipsize(layout, request.ellipsize ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
  pango_layout_set_height(layout, request.ellipsize && request.wrap ? -std::max(1, request.maxLines)
                                                                    : -1);
  PangoAttrList* attrs = pango_attr_list_new();
  const LOGFONT& lf = font.LogFont();
  if (lf.lfUnderline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (lf.lfStrikeOut) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
  if (request.underlineUnit >= 0 &&
      static_cast<size_t>(request.underlineUnit) + 1 < text.offsets.size()) {
    PangoAttribute* u = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    u->start_index = static_cast<guint>(text.offsets[static_cast<size_t>(request.underlineUnit)]);
    size_t next = static_cast<size_t>(request.underlineUnit) + 1;
    while (next + 1 < text.offsets.size() && text.offsets[next] == text.offsets[next - 1]) ++next;
    u->end_index = static_cast<guint>(text.offsets[next]);
    pango_attr_list_insert(attrs, u);
  }
  pango_layout_set_attributes(layout, attrs);
  pango_attr_list_unref(attrs);
  return layout;
}

int LineWidth(PangoLayoutLine* line) {
  PangoRectangle logical;
  pango_layout_line_get_pixel_extents(line, nullptr, &logical);
  return logical.width;
}

// Draws one laid-out line with its top-left corner at device x, y.
void ShowLine(cairo_t* cr, PangoLayoutLine* line, const FontMetrics& metrics, int x, int y) {
  PangoRectangle logical;
  pango_layout_line_get_pixel_extents(line, nullptr, &logical);
  cairo_move_to(cr, x - logical.x, y + metrics.ascent);
  pango_cairo_show_layout_line(cr, line);
}

void Record(DcObject& dc, RECT drawn, const RECT* clipTo, std::u16string text) {
  if (clipTo != nullptr && !IntersectRect(&drawn, &drawn, clipTo)) return;
  RECT box = dc.Clip().Bounds();
  if (dc.Clip().Empty() || !IntersectRect(&drawn, &drawn, &box)) return;
  detail::PixelRegion visible(drawn);
  visible.Intersect(dc.Clip());
  if (visible.Empty()) return;
  dc.Target().AddTextRecord(TextRecord{drawn, std::move(text), dc.State().textColor});
}

struct LineBox {
  PangoLayoutLine* line;
  int x;
  int y;
  int width;
};

}  // namespace

LONG PointTenthsToFontHeight(int pointTenths) {
  return -static_cast<LONG>(std::lround(pointTenths * static_cast<double>(kScreenDpi) / 720.0));
}

HFONT CreateFontIndirect(const LOGFONT* font) {
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return detail::ToHandle<HFONT>(detail::AddObject(std::make_shared<detail::FontObject>(*font)));
}

int DrawText(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format) {
  auto d = FindDc(dc);
  if (d == nullptr || rect == nullptr) return 0;
  const bool single = (format & DT_SINGLELINE) != 0;
  const bool wrap = !single && (format & DT_WORDBREAK) != 0;
  const bool calc = (format & DT_CALCRECT) != 0;
  std::u16string shown = single ? OneLine(TextView(text, count))
                                : std::u16string(TextView(text, count));
  int underline = -1;
  if ((format & DT_NOPREFIX) == 0) shown = StripPrefixes(shown, &underline);
  // A final line break ends the last line; it does not start another.
  if (!shown.empty() && shown.back() == u'\n') shown.pop_back();
  if (!shown.empty() && shown.back() == u'\r') shown.pop_back();

  const FontMetrics& metrics = d->State().font->Metrics();
  const int rectWidth = std::max<int>(0, rect->right - rect->left);
  const int rectHeight = std::max<int>(0, rect->bottom - rect->top);
  LayoutRequest request;
  request.singleParagraph = single;
  request.underlineUnit = underline;
  request.wrap = wrap;
  if (wrap) request.widthPixels = std::max(1, rectWidth);
  if ((format & DT_END_ELLIPSIS) != 0 && !calc) {
    request.ellipsize = true;
    request.widthPixels = std::max(1, rectWidth);
    request.maxLines = rectHeight / metrics.height;
  }
  detail::Utf8Text utf8 = detail::ToUtf8WithOffsets(shown);
  PangoLayout* layout = LayOut(*d, utf8, request);

  int lineCount = pango_layout_get_line_count(layout);
  int height = lineCount * metrics.height;
  int widest = 0;
  for (int i = 0; i < lineCount; ++i) {
    widest = std::max(widest, LineWidth(pango_layout_get_line_readonly(layout, i)));
  }
  if (calc) {
    // Wrapped lines never exceed the width, so the widest line fits both
    // ways the platform describes: narrower text shrinks the rectangle.
    rect->right = rect->left + widest;
    rect->bottom = rect->top + height;
    return height;
  }

  int top = rect->top;
  if (single && (format & DT_VCENTER) != 0) {
    top = rect->top + (rectHeight - metrics.height) / 2;
  } else if (single && (format & DT_BOTTOM) != 0) {
    top = rect->bottom - metrics.height;
  }
  std::vector<LineBox> lines;
  for (int i = 0; i < lineCount; ++i) {
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout, i);
    int w = LineWidth(line);
    int x = rect->left;
    if ((format & DT_CENTER) != 0) {
      x = rect->left + (rectWidth - w) / 2;
    } else if ((format & DT_RIGHT) != 0) {
      x = rect->right - w;
    }
    lines.push_back(LineBox{line, x, top + i * metrics.height, w});
  }

  POINT o = d->Offset();
  RECT clipRect = d->ToDevice(*rect);
  const bool clipped = (format & DT_NOCLIP) == 0;
  RECT drawn{};
  for (const LineBox& l : lines) {
    RECT box{l.x + o.x, l.y + o.y, l.x + o.x + l.width, l.y + o.y + metrics.height};
    UnionRect(&drawn, &drawn, &box);
    if (d->State().bkMode == OPAQUE && l.width > 0) {
      RECT fill = box;
      if (!clipped || IntersectRect(&fill, &box, &clipRect)) {
        detail::FillDeviceRect(*d, fill, d->State().bkColor);
      }
    }
  }
  cairo_t* cr = d->Cairo();
  cairo_save(cr);
  if (clipped) {
    cairo_rectangle(cr, clipRect.left, clipRect.top, clipRect.right - clipRect.left,
                    clipRect.bottom - clipRect.top);
    cairo_clip(cr);
  }
  detail::SetSourceColor(cr, d->State().textColor);
  for (const LineBox& l : lines) ShowLine(cr, l.line, metrics, l.x + o.x, l.y + o.y);
  cairo_restore(cr);
  if (!shown.empty()) Record(*d, drawn, clipped ? &clipRect : nullptr, std::move(shown));

  if (single && (format & (DT_VCENTER | DT_BOTTOM)) != 0) return top - rect->top + height;
  return height;
}

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                const int* dx) {
  auto d = FindDc(dc);
  if (d == nullptr) return FALSE;
  detail::DcState& s = d->State();
  POINT o = d->Offset();
  RECT clipRect{};
  if (rect != nullptr) clipRect = d->ToDevice(*rect);
  if ((options & ETO_OPAQUE) != 0 && rect != nullptr) {
    detail::FillDeviceRect(*d, clipRect, s.bkColor);
  }
  std::u16string_view raw =
      TextView(text, text == nullptr ? 0 : static_cast<int>(std::min<UINT>(count, 1u << 30)));
  // Line breaks are not shown; with explicit advances (one per unit of the
  // caller's text) each shown unit keeps its own start.
  std::u16string shown;
  std::vector<int> starts;
  int advanced = 0;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != u'\r' && raw[i] != u'\n') {
      shown.push_back(raw[i]);
      starts.push_back(advanced);
    }
    if (dx != nullptr) advanced += dx[i];
  }
  if (shown.empty()) return TRUE;
  if ((s.textAlign & TA_UPDATECP) != 0) {
    x = s.currentPos.x;
    y = s.currentPos.y;
  }
  const FontMetrics& metrics = s.font->Metrics();
  detail::Utf8Text utf8 = detail::ToUtf8WithOffsets(shown);
  LayoutRequest request;
  request.singleParagraph = true;
  PangoLayout* layout = LayOut(*d, utf8, request);
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  int width = LineWidth(line);
  if (dx != nullptr) width = advanced;

  int left = x;
  if ((s.textAlign & TA_CENTER) == TA_CENTER) {
    left = x - width / 2;
  } else if ((s.textAlign & TA_RIGHT) != 0) {
    left = x - width;
  }
  int top = y;
  if ((s.textAlign & TA_BASELINE) == TA_BASELINE) {
    top = y - metrics.ascent;
  } else if ((s.textAlign & TA_BOTTOM) != 0) {
    top = y - metrics.height;
  }
  RECT box{left + o.x, top + o.y, left + o.x + width, top + o.y + metrics.height};
  const bool clipped = (options & ETO_CLIPPED) != 0 && rect != nullptr;
  if (s.bkMode == OPAQUE && (options & ETO_OPAQUE) == 0) {
    RECT fill = box;
    if (!clipped || IntersectRect(&fill, &box, &clipRect)) detail::FillDeviceRect(*d, fill, s.bkColor);
  }
  cairo_t* cr = d->Cairo();
  cairo_save(cr);
  if (clipped) {
    cairo_rectangle(cr, clipRect.left, clipRect.top, clipRect.right - clipRect.left,
                    clipRect.bottom - clipRect.top);
    cairo_clip(cr);
  }
  detail::SetSourceColor(cr, s.textColor);
  if (dx == nullptr) {
    ShowLine(cr, line, metrics, box.left, box.top);
  } else {
    for (size_t i = 0; i < shown.size(); ++i) {
      if (shown[i] >= 0xDC00 && shown[i] < 0xE000 && i > 0) continue;  // drawn with its pair
      size_t end = i + 1;
      if (end < shown.size() && shown[end] >= 0xDC00 && shown[end] < 0xE000) ++end;
      detail::Utf8Text unit = detail::ToUtf8WithOffsets(std::u16string_view(shown).substr(i, end - i));
      PangoLayout* one = LayOut(*d, unit, request);
      ShowLine(cr, pango_layout_get_line_readonly(one, 0), metrics, box.left + starts[i], box.top);
    }
  }
  cairo_restore(cr);
  Record(*d, box, clipped ? &clipRect : nullptr, std::move(shown));
  if ((s.textAlign & TA_UPDATECP) != 0) s.currentPos.x = x + width;
  return TRUE;
}

BOOL TextOut(HDC dc, int x, int y, LPCWSTR text, int count) {
  if (count < 0) return FALSE;
  return ExtTextOut(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

UINT SetTextAlign(HDC dc, UINT align) {
  auto d = FindDc(dc);
  if (d == nullptr) return 0xFFFFFFFFu;  // GDI_ERROR
  UINT old = d->State().textAlign;
  d->State().textAlign = align;
  return old;
}

UINT GetTextAlign(HDC dc) {
  auto d = FindDc(dc);
  return d == nullptr ? 0xFFFFFFFFu : d->State().textAlign;
}

BOOL GetTextExtentPoint32(HDC dc, LPCWSTR text, int count, SIZE* size) {
  return GetTextExtentExPoint(dc, text, count, 0, nullptr, nullptr, size);
}

BOOL GetTextExtentExPoint(HDC dc, LPCWSTR text, int count, int maxExtent, int* fit, int* extents,
                          SIZE* size) {
  auto d = FindDc(dc);
  if (d == nullptr || size == nullptr || (text == nullptr && count != 0)) return FALSE;
  std::u16string_view view = TextView(text, count);
  detail::Utf8Text utf8 = detail::ToUtf8WithOffsets(view);
  LayoutRequest request;
  request.singleParagraph = true;
  PangoLayout* layout = LayOut(*d, utf8, request);
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  int width = LineWidth(line);
  size->cx = width;
  size->cy = d->State().font->Metrics().height;
  if (fit != nullptr || extents != nullptr) {
    int fitted = 0;
    for (size_t i = 0; i < view.size(); ++i) {
      // Units 0..i end where the next character starts (the two halves of a
      // surrogate pair share one character).
      size_t next = i + 1;
      while (next < view.size() && utf8.offsets[next] == utf8.offsets[i]) ++next;
      int extent = width;
      if (next < view.size()) {
        int xPos = 0;
        pango_layout_line_index_to_x(line, utf8.offsets[next], FALSE, &xPos);
        extent = PANGO_PIXELS(xPos);
      }
      if (extents != nullptr) extents[i] = extent;
      if (extent <= maxExtent && fitted == static_cast<int>(i)) fitted = static_cast<int>(i) + 1;
    }
    if (fit != nullptr) *fit = fitted;
  }
  return TRUE;
}

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics) {
  auto d = FindDc(dc);
  if (d == nullptr || metrics == nullptr) return FALSE;
  detail::FontObject& font = *d->State().font;
  const FontMetrics& m = font.Metrics();
  TEXTMETRIC tm;
  tm.tmHeight = m.height;
  tm.tmAscent = m.ascent;
  tm.tmDescent = m.descent;
  tm.tmInternalLeading = std::max(0, m.height - m.emPixels);
  tm.tmAveCharWidth = m.averageCharWidth;
  tm.tmMaxCharWidth = m.maxCharWidth;
  tm.tmWeight = font.LogFont().lfWeight == 0 ? FW_NORMAL : font.LogFont().lfWeight;
  tm.tmItalic = font.LogFont().lfItalic;
  tm.tmUnderlined = font.LogFont().lfUnderline;
  tm.tmStruckOut = font.LogFont().lfStrikeOut;
  *metrics = tm;
  return TRUE;
}

}  // namespace ce
