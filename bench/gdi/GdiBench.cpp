// One 240 x 320 frame of a list with 15 custom-drawn rows (row fill, a
// 16 x 16 masked icon, one line of text, drawn off-screen and copied to the
// target in one transfer), against a plain Cairo fill of a surface of the
// same size.
//   gdi_bench [--png=FILE] [benchmark options]   FILE: the frame, to look at
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstring>
#include <string>

#include "platform/gdi/Gdi.h"

namespace {

using namespace ce;

constexpr int kWidth = 240;
constexpr int kHeight = 320;
constexpr int kRows = 15;
constexpr int kRowHeight = 20;
constexpr int kSelectedRow = 3;

const char16_t* const kTitles[] = {u"音樂總覽", u"附加專輯到播放清單", u"Zolfa for Pocket PC",
                                   u"歌手/演出者 — 演唱會現場版本", u"播放全部"};

// The list's drawing resources: a font, brushes and an icon list built
// from a 64 x 16 strip on magenta.
class ListPainter {
 public:
  ListPainter() {
    LOGFONT lf;
    lf.lfHeight = -12;
    std::memcpy(lf.lfFaceName, u"細明體", sizeof(u"細明體"));
    font_ = CreateFontIndirect(&lf);
    selected_ = CreateSolidBrush(0xC69A8C);
    even_ = CreateSolidBrush(0xEFF7F7);
    odd_ = CreateSolidBrush(0xFFFFFF);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(dc, 64, 16);
    HGDIOBJ old = SelectObject(dc, strip);
    RECT all{0, 0, 64, 16};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, magenta);
    for (int i = 0; i < 4; ++i) {
      HBRUSH b = CreateSolidBrush(RGB(40 * i, 120, 200 - 40 * i));
      SelectObject(dc, b);
      Ellipse(dc, i * 16 + 2, 2, i * 16 + 14, 14);
      SelectObject(dc, GetStockObject(WHITE_BRUSH));
      DeleteObject(b);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(magenta);
    icons_ = ImageList_Create(16, 16, ILC_COLOR | ILC_MASK, 4, 0);
    ImageList_AddMasked(icons_, strip, RGB(255, 0, 255));
    DeleteObject(strip);
  }
  ~ListPainter() {
    ImageList_Destroy(icons_);
    DeleteObject(font_);
    DeleteObject(selected_);
    DeleteObject(even_);
    DeleteObject(odd_);
  }

  // Draws the frame into memory and copies it to target.
  void Frame(HDC target) {
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, kWidth, kHeight);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, font_);
    SetBkMode(memory, TRANSPARENT);
    for (int row = 0; row * kRowHeight < kHeight; ++row) {
      RECT r{0, row * kRowHeight, kWidth, (row + 1) * kRowHeight};
      bool selected = row == kSelectedRow;
      FillRect(memory, &r, selected ? selected_ : (row % 2 == 0 ? even_ : odd_));
      if (row >= kRows) continue;  // the stripes go on below the last row
      ImageList_Draw(icons_, row % 4, memory, 0, r.top + 2, ILD_NORMAL);
      SetTextColor(memory, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
      RECT text{18, r.top, r.right, r.bottom};
      DrawText(memory, kTitles[row % 5], -1, &text,
               DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    BitBlt(target, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }

 private:
  HFONT font_;
  HBRUSH selected_;
  HBRUSH even_;
  HBRUSH odd_;
  HIMAGELIST icons_;
};

void BM_ListFrame(benchmark::State& state) {
  ListPainter painter;
  HDC target = CreateCompatibleDC(nullptr);
  HBITMAP screen = CreateCompatibleBitmap(target, kWidth, kHeight);
  HGDIOBJ old = SelectObject(target, screen);
  for (auto _ : state) {
    painter.Frame(target);
    ClearTextRecords(target);
    benchmark::DoNotOptimize(GetPixel(target, 100, 100));
  }
  SelectObject(target, old);
  DeleteObject(screen);
  DeleteDC(target);
}
BENCHMARK(BM_ListFrame);

void BM_CairoFill(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  for (auto _ : state) {
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.97, 0.96, 0.95);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface)[100]);
  }
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_CairoFill);

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--png=", 6) == 0) {
      ListPainter painter;
      HDC target = CreateCompatibleDC(nullptr);
      HBITMAP screen = CreateCompatibleBitmap(target, kWidth, kHeight);
      HGDIOBJ old = SelectObject(target, screen);
      painter.Frame(target);
      SelectObject(target, old);
      bool ok = SaveBitmapToPng(screen, argv[i] + 6);
      DeleteObject(screen);
      DeleteDC(target);
      return ok ? 0 : 1;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
