#include "platform/gdi/detail/FontObject.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

#include "platform/base/CodePage.h"
#include "platform/gdi/Text.h"
#include "platform/gdi/detail/FontSystem.h"

namespace ce::detail {
namespace {

constexpr int kMaxEmPixels = 1000;

struct LoadedMetrics {
  int ascent = 0;
  int descent = 0;
  int averageCharWidth = 0;
};

LoadedMetrics Measure(PangoFontDescription* description) {
  LoadedMetrics m;
  PangoFont* font = pango_font_map_load_font(FontSystem::ThreadFontMap(),
                                             FontSystem::ThreadContext(), description);
  if (font == nullptr) return m;
  PangoFontMetrics* metrics =
      pango_font_get_metrics(font, pango_context_get_language(FontSystem::ThreadContext()));
  m.ascent = PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(metrics));
  m.descent = PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(metrics));
  m.averageCharWidth = PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(metrics));
  pango_font_metrics_unref(metrics);
  g_object_unref(font);
  return m;
}

}  // namespace

FontObject::FontObject(const LOGFONT& logFont) : logFont_(logFont) {
  logFont_.lfFaceName[LF_FACESIZE - 1] = 0;
}

FontObject::~FontObject() {
  if (description_ != nullptr) pango_font_description_free(description_);
}

const PangoFontDescription* FontObject::Description() {
  std::call_once(resolved_, [this] { Resolve(); });
  return description_;
}

const FontMetrics& FontObject::Metrics() {
  std::call_once(resolved_, [this] { Resolve(); });
  return metrics_;
}

void FontObject::Resolve() {
  std::u16string_view face(logFont_.lfFaceName, WideLength(logFont_.lfFaceName));
  std::string family = face.empty() ? FontSystem::kDefaultFamily : ToUtf8(face);
  description_ = pango_font_description_new();
  pango_font_description_set_family(description_, family.c_str());
  LONG weight = logFont_.lfWeight == FW_DONTCARE ? FW_NORMAL : logFont_.lfWeight;
  weight = std::clamp<LONG>(weight, 100, 1000);
  pango_font_description_set_weight(description_, static_cast<PangoWeight>(weight));
  pango_font_description_set_style(description_,
                                   logFont_.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);

  auto setEm = [this](int em) {
    pango_font_description_set_absolute_size(description_, static_cast<double>(em) * PANGO_SCALE);
  };
  int em = kDefaultFontPixels;
  if (logFont_.lfHeight < 0) {
    em = static_cast<int>(std::min<int64_t>(-static_cast<int64_t>(logFont_.lfHeight), kMaxEmPixels));
  } else if (logFont_.lfHeight > 0) {
    // A cell height: find the em size whose ascent + descent fits it.
    int cell = std::min<int>(logFont_.lfHeight, kMaxEmPixels);
    setEm(cell);
    LoadedMetrics probe = Measure(description_);
    int probeHeight = probe.ascent + probe.descent;
    em = probeHeight > 0 ? static_cast<int>(std::lround(1.0 * cell * cell / probeHeight)) : cell;
    em = std::max(1, em);
    for (; em > 1; --em) {
      setEm(em);
      LoadedMetrics m = Measure(description_);
      if (m.ascent + m.descent <= cell) break;
    }
  }
  em = std::max(1, em);
  setEm(em);
  LoadedMetrics m = Measure(description_);
  metrics_.ascent = m.ascent;
  metrics_.descent = m.descent;
  metrics_.height = std::max(1, m.ascent + m.descent);
  metrics_.emPixels = em;
  metrics_.averageCharWidth = std::max(1, m.averageCharWidth);
  metrics_.maxCharWidth = std::max(em, metrics_.averageCharWidth);
}

}  // namespace ce::detail
