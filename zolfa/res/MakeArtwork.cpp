// Draws the pictures of the program's buttons, the main screen's strip, the
// login screen's banner, the about box, the lyrics highlight strip and the
// default album cover and
// writes them as PNG files into the folder given on the command line (the
// resource folder). The files are kept with the sources; run this again
// only to change the artwork: zolfa_artwork zolfa/res
//
// A button picture is a strip of three frames of equal width: normal,
// touched (also the alternate look) and pressed.
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

enum class Glyph { kNone, kPrevious, kPlay, kStop, kNext, kSpeaker, kMinus, kPlus };

struct Strip {
  int id;
  int frameWidth;
  int height;
  const char* caption;  // UTF-8
  Glyph glyph;
};

// Frame sizes in pixels, as the screens place the buttons.
const Strip kStrips[] = {
    {197, 80, 22, "線上音樂台", Glyph::kNone}, {198, 80, 22, "播放清單", Glyph::kNone},
    {199, 80, 22, "個人音樂庫", Glyph::kNone}, {203, 57, 21, "音樂情報", Glyph::kNone},
    {204, 57, 21, "音樂總覽", Glyph::kNone},   {205, 21, 18, "數", Glyph::kNone},
    {206, 21, 18, "英", Glyph::kNone},         {207, 21, 18, "注", Glyph::kNone},
    {221, 55, 22, "上一頁", Glyph::kNone},     {188, 40, 21, "隨機", Glyph::kNone},
    {190, 40, 21, "重複", Glyph::kNone},       {191, 40, 21, "上移", Glyph::kNone},
    {189, 40, 21, "隨機", Glyph::kNone},       {192, 40, 21, "下移", Glyph::kNone},       {193, 40, 21, "刪除", Glyph::kNone},
    {194, 40, 21, "清除", Glyph::kNone},       {211, 40, 21, "更名", Glyph::kNone},
    {214, 30, 35, "", Glyph::kPrevious},       {148, 35, 35, "", Glyph::kPlay},
    {220, 35, 35, "", Glyph::kStop},           {212, 30, 35, "", Glyph::kNext},
    {215, 15, 35, "", Glyph::kSpeaker},        {218, 15, 35, "", Glyph::kMinus},
    {219, 15, 35, "", Glyph::kPlus},
};

void SetRgb(cairo_t* cr, unsigned rgb) {
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

void RoundedBox(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Caption(cairo_t* cr, const char* text, double x, double w, double h, unsigned color) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("AR PL UMing TW 9");
  pango_font_description_set_absolute_size(font, 12 * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, text, -1);
  int tw = 0;
  int th = 0;
  pango_layout_get_pixel_size(layout, &tw, &th);
  SetRgb(cr, color);
  cairo_move_to(cr, x + (w - tw) / 2.0, (h - th) / 2.0);
  pango_cairo_show_layout(cr, layout);
  pango_font_description_free(font);
  g_object_unref(layout);
}

void Triangle(cairo_t* cr, double x, double y, double w, double h, bool right) {
  if (right) {
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + w, y + h / 2);
    cairo_line_to(cr, x, y + h);
  } else {
    cairo_move_to(cr, x + w, y);
    cairo_line_to(cr, x, y + h / 2);
    cairo_line_to(cr, x + w, y + h);
  }
  cairo_close_path(cr);
  cairo_fill(cr);
}

void DrawGlyph(cairo_t* cr, Glyph glyph, double x, double w, double h, unsigned color) {
  SetRgb(cr, color);
  double cx = x + w / 2;
  double cy = h / 2;
  switch (glyph) {
    case Glyph::kPrevious:
      cairo_rectangle(cr, cx - 8, cy - 6, 2, 12);
      cairo_fill(cr);
      Triangle(cr, cx - 6, cy - 6, 7, 12, false);
      Triangle(cr, cx + 1, cy - 6, 7, 12, false);
      break;
    case Glyph::kNext:
      Triangle(cr, cx - 8, cy - 6, 7, 12, true);
      Triangle(cr, cx - 1, cy - 6, 7, 12, true);
      cairo_rectangle(cr, cx + 6, cy - 6, 2, 12);
      cairo_fill(cr);
      break;
    case Glyph::kPlay:
      Triangle(cr, cx - 5, cy - 8, 12, 16, true);
      break;
    case Glyph::kStop:
      cairo_rectangle(cr, cx - 6, cy - 6, 12, 12);
      cairo_fill(cr);
      break;
    case Glyph::kSpeaker:
      cairo_rectangle(cr, cx - 5, cy - 3, 3, 6);
      cairo_fill(cr);
      Triangle(cr, cx - 4, cy - 6, 8, 12, false);
      break;
    case Glyph::kMinus:
      cairo_rectangle(cr, cx - 4, cy - 1, 8, 2);
      cairo_fill(cr);
      break;
    case Glyph::kPlus:
      cairo_rectangle(cr, cx - 4, cy - 1, 8, 2);
      cairo_rectangle(cr, cx - 1, cy - 4, 2, 8);
      cairo_fill(cr);
      break;
    case Glyph::kNone:
      break;
  }
}

bool WriteStrip(const std::string& folder, const Strip& strip) {
  const int width = strip.frameWidth * 3;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, strip.height);
  cairo_t* cr = cairo_create(surface);
  // Normal, touched and pressed faces; the touched face also marks the
  // alternate state (a muted speaker gets a red bar there).
  const unsigned faces[3] = {0x39577A, 0x5B86B5, 0x1F334A};
  const unsigned inks[3] = {0xFFFFFF, 0xFFF4B0, 0xD8D8D8};
  for (int frame = 0; frame < 3; ++frame) {
    double x = frame * strip.frameWidth;
    SetRgb(cr, 0xF1F5F8);
    cairo_rectangle(cr, x, 0, strip.frameWidth, strip.height);
    cairo_fill(cr);
    RoundedBox(cr, x + 0.5, 0.5, strip.frameWidth - 1, strip.height - 1, std::min(4, strip.frameWidth / 4));
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, strip.height);
    unsigned face = faces[frame];
    cairo_pattern_add_color_stop_rgb(gradient, 0, std::min(1.0, ((face >> 16) & 0xFF) / 255.0 + 0.18),
                                     std::min(1.0, ((face >> 8) & 0xFF) / 255.0 + 0.18), std::min(1.0, (face & 0xFF) / 255.0 + 0.18));
    cairo_pattern_add_color_stop_rgb(gradient, 1, ((face >> 16) & 0xFF) / 255.0, ((face >> 8) & 0xFF) / 255.0, (face & 0xFF) / 255.0);
    cairo_set_source(cr, gradient);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(gradient);
    SetRgb(cr, 0x1A2A3C);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (strip.caption[0] != 0) Caption(cr, strip.caption, x, strip.frameWidth, strip.height, inks[frame]);
    DrawGlyph(cr, strip.glyph, x, strip.frameWidth, strip.height, inks[frame]);
    if (strip.glyph == Glyph::kSpeaker && frame == 1) {
      SetRgb(cr, 0xE03030);
      cairo_set_line_width(cr, 2);
      cairo_move_to(cr, x + 2, strip.height / 2.0 + 6);
      cairo_line_to(cr, x + strip.frameWidth - 2, strip.height / 2.0 - 6);
      cairo_stroke(cr);
    }
  }
  cairo_destroy(cr);
  std::string path = folder + "/button" + std::to_string(strip.id) + ".png";
  bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

// The about box's picture: a round badge with a note, 48 x 48 pixels.
bool WriteAboutLogo(const std::string& folder) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 48, 48);
  cairo_t* cr = cairo_create(surface);
  SetRgb(cr, 0xFFFFFF);
  cairo_paint(cr);
  cairo_arc(cr, 24, 24, 22, 0, 2 * M_PI);
  SetRgb(cr, 0x39577A);
  cairo_fill(cr);
  SetRgb(cr, 0xFFFFFF);
  cairo_arc(cr, 18, 31, 5, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_arc(cr, 31, 28, 5, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_rectangle(cr, 21, 11, 2.5, 20);
  cairo_rectangle(cr, 34, 9, 2.5, 19);
  cairo_fill(cr);
  cairo_move_to(cr, 21, 11);
  cairo_line_to(cr, 36.5, 8);
  cairo_line_to(cr, 36.5, 12);
  cairo_line_to(cr, 21, 15);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_destroy(cr);
  bool ok = cairo_surface_write_to_png(surface, (folder + "/about226.png").c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

bool WritePng(cairo_surface_t* surface, const std::string& path) {
  bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

// The strip behind the main screen's tab buttons, 320 x 22: the three tab
// captions as the current tab looks (a light raised face), so that the tab
// whose button is hidden shows here; the plain strip beyond them.
constexpr unsigned kStripPlain = 0x22374F;
bool WriteTabStrip(const std::string& folder) {
  const int width = 320;
  const int height = 22;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  SetRgb(cr, kStripPlain);
  cairo_paint(cr);
  const char* captions[] = {"播放清單", "線上音樂台", "個人音樂庫"};
  for (int tab = 0; tab < 3; ++tab) {
    double x = tab * 80;
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(face, 0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(face, 1, 0xD6 / 255.0, 0xE4 / 255.0, 0xF0 / 255.0);
    RoundedBox(cr, x + 1.5, 1.5, 77, height + 4, 4);
    cairo_set_source(cr, face);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(face);
    SetRgb(cr, 0x39577A);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    Caption(cr, captions[tab], x, 80, height, 0x1F334A);
  }
  cairo_destroy(cr);
  return WritePng(surface, folder + "/strip196.png");
}

// One column of the plain strip, stretched to the right edge of a wide
// screen.
bool WriteStripColumn(const std::string& folder) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 22);
  cairo_t* cr = cairo_create(surface);
  SetRgb(cr, kStripPlain);
  cairo_paint(cr);
  cairo_destroy(cr);
  return WritePng(surface, folder + "/strip229.png");
}

// The login screen's banner, 240 x 80: the name of the service over a
// band of notes.
bool WriteLoginBanner(const std::string& folder) {
  const int width = 240;
  const int height = 80;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, width, height);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0x1F / 255.0, 0x33 / 255.0, 0x4A / 255.0);
  cairo_pattern_add_color_stop_rgb(sky, 1, 0x5B / 255.0, 0x86 / 255.0, 0xB5 / 255.0);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  // A staff of five lines with a few notes across the lower part.
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_set_line_width(cr, 1);
  for (int line = 0; line < 5; ++line) {
    cairo_move_to(cr, 0, 52.5 + line * 5);
    cairo_line_to(cr, width, 52.5 + line * 5);
  }
  cairo_stroke(cr);
  const double notes[][2] = {{150, 67}, {172, 57}, {194, 62}, {216, 52}};
  for (const auto& note : notes) {
    cairo_save(cr);
    cairo_translate(cr, note[0], note[1]);
    cairo_scale(cr, 1.3, 1.0);
    cairo_arc(cr, 0, 0, 3.2, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_fill(cr);
    cairo_rectangle(cr, note[0] + 3.2, note[1] - 16, 1.2, 16);
    cairo_fill(cr);
  }
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans Bold");
  pango_font_description_set_absolute_size(font, 30 * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, "ZOLFA", -1);
  SetRgb(cr, 0xFFFFFF);
  cairo_move_to(cr, 14, 6);
  pango_cairo_show_layout(cr, layout);
  pango_font_description_free(font);
  g_object_unref(layout);
  Caption(cr, "線上音樂", 0, 110, 88, 0xFFF4B0);
  cairo_destroy(cr);
  return WritePng(surface, folder + "/banner239.png");
}

// The lyrics highlight strip, 4 x 20: one column per line type (0 to 3),
// each a vertical gradient of its colour.
bool WriteLyricsStrip(const std::string& folder) {
  const unsigned kTypeColors[] = {0x39577A, 0x2E7D4F, 0xB0452F, 0x6A3F9A};
  constexpr int kHeight = 20;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 4, kHeight);
  cairo_t* cr = cairo_create(surface);
  for (int type = 0; type < 4; ++type) {
    const unsigned rgb = kTypeColors[type];
    const double r = ((rgb >> 16) & 0xFF) / 255.0;
    const double g = ((rgb >> 8) & 0xFF) / 255.0;
    const double b = (rgb & 0xFF) / 255.0;
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, kHeight);
    cairo_pattern_add_color_stop_rgb(gradient, 0, r * 0.7, g * 0.7, b * 0.7);
    cairo_pattern_add_color_stop_rgb(gradient, 1, r, g, b);
    cairo_rectangle(cr, type, 0, 1, kHeight);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
  }
  cairo_destroy(cr);
  return WritePng(surface, folder + "/strip178.png");
}

// The default album cover, 160 x 160: a record on a grey sleeve.
bool WriteDefaultCover(const std::string& folder) {
  constexpr double kSide = 160;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 160, 160);
  cairo_t* cr = cairo_create(surface);
  SetRgb(cr, 0xD8D8D0);
  cairo_paint(cr);
  SetRgb(cr, 0x202020);
  cairo_arc(cr, kSide / 2, kSide / 2, kSide * 0.4, 0, 2 * M_PI);
  cairo_fill(cr);
  SetRgb(cr, 0x404040);
  cairo_set_line_width(cr, 1);
  for (double radius = kSide * 0.18; radius < kSide * 0.39; radius += 4) {
    cairo_arc(cr, kSide / 2, kSide / 2, radius, 0, 2 * M_PI);
    cairo_stroke(cr);
  }
  SetRgb(cr, 0x39577A);
  cairo_arc(cr, kSide / 2, kSide / 2, kSide * 0.14, 0, 2 * M_PI);
  cairo_fill(cr);
  SetRgb(cr, 0xFFFFFF);
  cairo_arc(cr, kSide / 2, kSide / 2, 3, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_destroy(cr);
  return WritePng(surface, folder + "/cover222.png");
}

// A note of the list icons: a head at (x, y) and its stem.
void Note(cairo_t* cr, double x, double y) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, 1.3, 1.0);
  cairo_arc(cr, 0, 0, 2.6, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_fill(cr);
  cairo_rectangle(cr, x + 2.4, y - 9, 1.4, 9);
  cairo_rectangle(cr, x + 2.4, y - 9, 4.5, 1.6);
  cairo_fill(cr);
}

void Folder(cairo_t* cr, double x, unsigned color) {
  SetRgb(cr, color);
  cairo_rectangle(cr, x + 1.5, 3.5, 6, 2);
  cairo_rectangle(cr, x + 1.5, 5.5, 13, 8);
  cairo_fill_preserve(cr);
  SetRgb(cr, 0x7A5A1E);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void Person(cairo_t* cr, double x, unsigned color) {
  SetRgb(cr, color);
  cairo_arc(cr, x + 8, 5, 3, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_arc(cr, x + 8, 15, 6, M_PI, 2 * M_PI);
  cairo_fill(cr);
}

// The browse list's icons, 16 x 16 each on magenta (transparent): 0 a
// folder, 1 an artist, 2 a song, 3 the song now playing.
bool WriteListIcons(const std::string& folder) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 64, 16);
  cairo_t* cr = cairo_create(surface);
  SetRgb(cr, 0xFF00FF);
  cairo_paint(cr);
  Folder(cr, 0, 0xF2C14E);
  Person(cr, 16, 0x39577A);
  SetRgb(cr, 0x39577A);
  Note(cr, 37, 12);
  SetRgb(cr, 0xE03030);
  Triangle(cr, 48 + 3, 2, 10, 12, true);
  cairo_destroy(cr);
  return WritePng(surface, folder + "/icons146.png");
}

// A horizontal band with a soft gradient, for the index caption (174, 240 x
// 21) and behind the index buttons (202, 63 x 18).
bool WriteBand(const std::string& folder, const char* name, int width, int height,
               unsigned top, unsigned bottom) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, height);
  cairo_pattern_add_color_stop_rgb(band, 0, ((top >> 16) & 0xFF) / 255.0, ((top >> 8) & 0xFF) / 255.0,
                                   (top & 0xFF) / 255.0);
  cairo_pattern_add_color_stop_rgb(band, 1, ((bottom >> 16) & 0xFF) / 255.0,
                                   ((bottom >> 8) & 0xFF) / 255.0, (bottom & 0xFF) / 255.0);
  cairo_set_source(cr, band);
  cairo_paint(cr);
  cairo_pattern_destroy(band);
  SetRgb(cr, 0x395C77);
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, 0, height - 0.5);
  cairo_line_to(cr, width, height - 0.5);
  cairo_stroke(cr);
  cairo_destroy(cr);
  return WritePng(surface, folder + "/" + name);
}

// The library rows' icons, 48 x 16: a playlist at x 0 and a song at x 32,
// on the row colour of an unselected (200) or a selected (201) row.
bool WriteRowIcons(const std::string& folder, const char* name, unsigned background,
                   unsigned ink) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 48, 16);
  cairo_t* cr = cairo_create(surface);
  SetRgb(cr, background);
  cairo_paint(cr);
  SetRgb(cr, ink);
  for (int line = 0; line < 3; ++line) cairo_rectangle(cr, 2, 3.5 + line * 4, 9, 1.6);
  cairo_fill(cr);
  Note(cr, 12, 13);
  SetRgb(cr, ink);
  Folder(cr, 16, background == 0xEFF7F7 ? 0xF2C14E : 0xFFE08A);
  SetRgb(cr, ink);
  Note(cr, 37, 12);
  cairo_destroy(cr);
  return WritePng(surface, folder + "/" + name);
}

// The player bar: its background (216, 240 x 35) with the text field's
// window at x 95..139 and the volume bar's trough at x 172..216, y 16..21;
// the filler column to the right of it (228, 1 x 35) and the volume bar's
// strip (217, 1 x 5).
constexpr unsigned kPlayerFace = 0x2B3F55;
bool WritePlayerBar(const std::string& folder) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 240, 35);
  cairo_t* cr = cairo_create(surface);
  SetRgb(cr, kPlayerFace);
  cairo_paint(cr);
  SetRgb(cr, 0x4A6585);
  cairo_rectangle(cr, 0, 0, 240, 1);
  cairo_fill(cr);
  SetRgb(cr, 0x18242F);
  RoundedBox(cr, 95.5, 4.5, 43, 26, 3);
  cairo_fill(cr);
  SetRgb(cr, 0x14202C);
  cairo_rectangle(cr, 172, 16, 44, 5);
  cairo_fill(cr);
  cairo_destroy(cr);
  bool ok = WritePng(surface, folder + "/player216.png");
  surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 35);
  cr = cairo_create(surface);
  SetRgb(cr, kPlayerFace);
  cairo_paint(cr);
  SetRgb(cr, 0x4A6585);
  cairo_rectangle(cr, 0, 0, 1, 1);
  cairo_fill(cr);
  cairo_destroy(cr);
  ok = WritePng(surface, folder + "/strip228.png") && ok;
  surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 5);
  cr = cairo_create(surface);
  cairo_pattern_t* bar = cairo_pattern_create_linear(0, 0, 0, 5);
  cairo_pattern_add_color_stop_rgb(bar, 0, 0xB8 / 255.0, 0xF0 / 255.0, 0x9A / 255.0);
  cairo_pattern_add_color_stop_rgb(bar, 1, 0x3E / 255.0, 0xA0 / 255.0, 0x45 / 255.0);
  cairo_set_source(cr, bar);
  cairo_paint(cr);
  cairo_pattern_destroy(bar);
  cairo_destroy(cr);
  return WritePng(surface, folder + "/strip217.png") && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zolfa_artwork FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  bool ok = WriteAboutLogo(folder) && WriteTabStrip(folder) && WriteStripColumn(folder) &&
            WriteLoginBanner(folder) && WriteLyricsStrip(folder) && WriteDefaultCover(folder) &&
            WriteListIcons(folder) && WritePlayerBar(folder) &&
            WriteBand(folder, "band174.png", 240, 21, 0xF1F5F8, 0xC1EAD1) &&
            WriteBand(folder, "index202.png", 63, 18, 0xD6E4F0, 0x8CA0B8) &&
            WriteRowIcons(folder, "rows200.png", 0xF7F7EF, 0x39577A) &&
            WriteRowIcons(folder, "rows201.png", 0x8C9AC6, 0xFFFFFF);
  for (const Strip& strip : kStrips) ok = WriteStrip(folder, strip) && ok;
  if (!ok) {
    std::fprintf(stderr, "zolfa_artwork: cannot write into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
