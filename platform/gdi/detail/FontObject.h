// Internal: a font made from a LOGFONT, with its Pango description and its
// metrics in whole pixels.
#pragma once

#include <mutex>

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/detail/GdiObject.h"

typedef struct _PangoFontDescription PangoFontDescription;

namespace ce::detail {

struct FontMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;  // ascent + descent: the line height
  int emPixels = 0;
  int averageCharWidth = 0;
  int maxCharWidth = 0;
};

class FontObject final : public GdiObject {
 public:
  explicit FontObject(const LOGFONT& logFont);
  ~FontObject() override;
  FontObject(const FontObject&) = delete;
  FontObject& operator=(const FontObject&) = delete;

  DWORD Type() const override { return OBJ_FONT; }
  const LOGFONT& LogFont() const { return logFont_; }
  // Both are computed on first use (the size of a font given by its cell
  // height needs the face's metrics) and then stay fixed.
  const PangoFontDescription* Description();
  const FontMetrics& Metrics();

 private:
  void Resolve();

  LOGFONT logFont_;
  std::once_flag resolved_;
  PangoFontDescription* description_ = nullptr;
  FontMetrics metrics_;
};

}  // namespace ce::detail
