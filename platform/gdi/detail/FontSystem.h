// Internal: fontconfig and Pango set up for the drawing layer.
//
// One fontconfig configuration for the process, made here and made current
// before anything else loads one: the installed fonts, and rules that send the
// handset's face names ("細明體" and its other names, and the empty face) to
// AR PL UMing TW. Pango objects are not shared between threads, so
// every thread that draws text gets its own font map, context and layout.
#pragma once

#include <string>

typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;
typedef struct _PangoFontMap PangoFontMap;

namespace ce::detail {

class FontSystem {
 public:
  // The family Pango is asked for when a face name is empty.
  static constexpr const char* kDefaultFamily = "細明體";
  // The family the handset's face names resolve to.
  static constexpr const char* kUiFamily = "AR PL UMing TW";

  // The calling thread's objects, created on first use and released when the
  // thread ends. The layout is shared by every text call of the thread: each
  // call sets everything it relies on.
  static PangoFontMap* ThreadFontMap();
  static PangoContext* ThreadContext();
  static PangoLayout* ThreadLayout();
  // The family of the font the calling thread gets for a family name.
  static std::string ResolveFamily(const std::string& family);
};

}  // namespace ce::detail
