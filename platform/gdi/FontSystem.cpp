#include "platform/gdi/detail/FontSystem.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <mutex>
#include <string>

namespace ce::detail {
namespace {

// The handset's face names, all drawn with the UI family.
constexpr const char* kAliasNames[] = {"細明體", "新細明體", "PMingLiU", "MingLiU", "Tahoma",
                                       "System", "MS Shell Dlg", "MS Sans Serif"};

// The whole configuration: the installed fonts (with the system's cache of
// them), the handset's names for the UI family, and the UI family as the last
// resort for every other name. The system's own configuration files are not
// read, so drawing does not change with them.
std::string ConfigText() {
  std::string text =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
      "<dir>/usr/share/fonts</dir>\n<dir>/usr/local/share/fonts</dir>\n"
      "<cachedir>/var/cache/fontconfig</cachedir>\n";
  std::string ui = FontSystem::kUiFamily;
  for (const char* name : kAliasNames) {
    text += std::string("<match target=\"pattern\"><test name=\"family\"><string>") + name +
            "</string></test><edit name=\"family\" mode=\"prepend\" binding=\"strong\">"
            "<string>" + ui + "</string></edit></match>\n";
  }
  text += "<match target=\"pattern\"><edit name=\"family\" mode=\"append_last\"><string>" + ui +
          "</string></edit></match>\n</fontconfig>\n";
  return text;
}

FcConfig* ProcessConfig() {
  static FcConfig* config = []() -> FcConfig* {
    FcConfig* c = FcConfigCreate();
    std::string text = ConfigText();
    if (c == nullptr ||
        !FcConfigParseAndLoadFromMemory(c, reinterpret_cast<const FcChar8*>(text.c_str()), FcFalse) ||
        !FcConfigBuildFonts(c)) {
      if (c != nullptr) FcConfigDestroy(c);
      return nullptr;  // Pango falls back to the system's configuration
    }
    // The process's current configuration, set before Pango's start-up
    // loads the system's: Cairo, Pango and this layer then agree on fonts.
    FcConfigSetCurrent(c);
    return c;  // kept for the whole run
  }();
  return config;
}

struct ThreadText {
  ThreadText() {
    FcConfig* config = ProcessConfig();
    fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
    if (fontMap == nullptr) fontMap = pango_cairo_font_map_new();
    if (config != nullptr && PANGO_IS_FC_FONT_MAP(fontMap)) {
      pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(fontMap), config);
    }
    context = pango_font_map_create_context(fontMap);
    cairo_font_options_t* options = cairo_font_options_create();
    // Whole-pixel metrics keep line heights and widths integers.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(context, 96.0);
    pango_context_set_language(context, pango_language_from_string("zh-tw"));
    layout = pango_layout_new(context);
  }
  ~ThreadText() {
    g_object_unref(layout);
    g_object_unref(context);
    g_object_unref(fontMap);
  }
  ThreadText(const ThreadText&) = delete;
  ThreadText& operator=(const ThreadText&) = delete;

  PangoFontMap* fontMap = nullptr;
  PangoContext* context = nullptr;
  PangoLayout* layout = nullptr;
};

ThreadText& Current() {
  thread_local ThreadText text;
  return text;
}

}  // namespace

PangoFontMap* FontSystem::ThreadFontMap() { return Current().fontMap; }
PangoContext* FontSystem::ThreadContext() { return Current().context; }
PangoLayout* FontSystem::ThreadLayout() { return Current().layout; }

std::string FontSystem::ResolveFamily(const std::string& family) {
  PangoFontDescription* wanted = pango_font_description_new();
  pango_font_description_set_family(wanted, family.c_str());
  pango_font_description_set_absolute_size(wanted, 12.0 * PANGO_SCALE);
  std::string result;
  if (PangoFont* font = pango_font_map_load_font(ThreadFontMap(), ThreadContext(), wanted)) {
    PangoFontDescription* got = pango_font_describe(font);
    if (const char* name = pango_font_description_get_family(got)) result = name;
    pango_font_description_free(got);
    g_object_unref(font);
  }
  pango_font_description_free(wanted);
  return result;
}

}  // namespace ce::detail
