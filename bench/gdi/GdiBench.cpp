// One 240 x 320 frame of a list with 15 custom-drawn rows, against a plain
// Cairo fill of a surface of the same size:
//   BM_ListFrame     the rows drawn by hand (row fill, a 16 x 16 masked icon,
//                    one line of text, off-screen and copied to the target in
//                    one transfer);
//   BM_ListViewFrame a real report-style list view filling a 240 x 320
//                    window, one column, a 16 x 16 image list, its parent
//                    answering NM_CUSTOMDRAW with the program's striping.
//   gdi_bench [--png=FILE] [--listview-png=FILE] [benchmark options]
//   FILE: the hand-drawn or the list view frame, to look at
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/base/DeviceRoot.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Metrics.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"
#include "platform/window/Paint.h"
#include "platform/window/Window.h"

namespace {

using namespace ce;

constexpr int kWidth = 240;
constexpr int kHeight = 320;
constexpr int kRows = 15;
constexpr int kRowHeight = 20;
constexpr int kSelectedRow = 3;

const char16_t* const kTitles[] = {u"音樂總覽", u"附加專輯到播放清單", u"Zolfa for Pocket PC",
                                   u"歌手/演出者 — 演唱會現場版本", u"播放全部"};

// The font of the rows.
HFONT MakeRowFont() {
  LOGFONT lf;
  lf.lfHeight = -12;
  std::memcpy(lf.lfFaceName, u"細明體", sizeof(u"細明體"));
  return CreateFontIndirect(&lf);
}

// Four 16 x 16 icons built from a 64 x 16 strip on magenta.
HIMAGELIST MakeRowIcons() {
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
  HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR | ILC_MASK, 4, 0);
  ImageList_AddMasked(icons, strip, RGB(255, 0, 255));
  DeleteObject(strip);
  return icons;
}

// The list's drawing resources: a font, brushes and the icon list.
class ListPainter {
 public:
  ListPainter() {
    font_ = MakeRowFont();
    selected_ = CreateSolidBrush(0xC69A8C);
    even_ = CreateSolidBrush(0xEFF7F7);
    odd_ = CreateSolidBrush(0xFFFFFF);
    icons_ = MakeRowIcons();
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

// A 240 x 320 top-level window filled by a report-style list view of 15
// rows. The parent colours the rows at CDDS_ITEMPREPAINT and stripes the
// space below the last row at CDDS_POSTPAINT, as the program's lists do.
class ListViewScreen {
 public:
  static constexpr char16_t kClassName[] = u"GdiBenchScreen";

  ListViewScreen() {
    InitCommonControls();
    static const bool registered = [] {
      WNDCLASS wndClass;
      wndClass.lpfnWndProc = ParentProc;
      wndClass.lpszClassName = kClassName;
      return RegisterClass(&wndClass) != 0;
    }();
    (void)registered;
    font_ = MakeRowFont();
    icons_ = MakeRowIcons();
    even_ = CreateSolidBrush(0xEFF7F7);
    odd_ = CreateSolidBrush(0xFFFFFF);
    parent_ = CreateWindowEx(0, kClassName, u"", WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr,
                             nullptr, nullptr);
    SetWindowLongPtr(parent_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    list_ = CreateWindowEx(0, WC_LISTVIEW, u"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL,
                           0, 0, kWidth, kHeight, parent_, reinterpret_cast<HMENU>(static_cast<intptr_t>(1)), nullptr,
                           nullptr);
    SendMessage(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessage(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessage(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons_));
    SendMessage(list_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(RGB(255, 255, 255)));
    LVCOLUMN column;
    column.mask = LVCF_WIDTH;
    column.cx = kWidth - GetSystemMetrics(SM_CXVSCROLL);
    SendMessage(list_, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&column));
    for (int row = 0; row < kRows; ++row) {
      std::u16string text = kTitles[row % 5];
      LVITEM item;
      item.mask = LVIF_TEXT | LVIF_IMAGE;
      item.iItem = row;
      item.iImage = row % 4;
      item.pszText = text.data();
      SendMessage(list_, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
    }
    LVITEM state;
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessage(list_, LVM_SETITEMSTATE, kSelectedRow, reinterpret_cast<LPARAM>(&state));
    UpdateWindow(parent_);
  }
  ~ListViewScreen() {
    DestroyWindow(parent_);
    ImageList_Destroy(icons_);
    DeleteObject(font_);
    DeleteObject(even_);
    DeleteObject(odd_);
  }

  // Paints the whole list again into its window's surface.
  void Frame() {
    InvalidateRect(list_, nullptr, TRUE);
    UpdateWindow(list_);
  }
  HWND Window() const { return parent_; }
  // True when the list drew its rows through the parent's custom draw.
  bool CustomDrawn() const { return itemsDrawn_ >= kRows; }

 private:
  static LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ListViewScreen*>(GetWindowLongPtr(window, GWLP_USERDATA));
    if (message == WM_NOTIFY && self != nullptr && reinterpret_cast<NMHDR*>(lParam)->code == NM_CUSTOMDRAW) {
      return self->OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    }
    return DefWindowProc(window, message, wParam, lParam);
  }

  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
      case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
      case CDDS_ITEMPREPAINT:
        ++itemsDrawn_;
        if ((draw->nmcd.uItemState & CDIS_SELECTED) != 0) {
          draw->nmcd.uItemState &= ~CDIS_SELECTED;
          draw->clrTextBk = 0xC69A8C;
          draw->clrText = 0xFFFFFF;
        } else {
          draw->clrTextBk = draw->nmcd.dwItemSpec % 2 == 0 ? 0xEFF7F7 : 0xFFFFFF;
          draw->clrText = 0x000000;
        }
        return CDRF_DODEFAULT;
      case CDDS_POSTPAINT:
        StripeBelowLastRow(draw->nmcd.hdc);
        return CDRF_DODEFAULT;
      default:
        return CDRF_DODEFAULT;
    }
  }

  void StripeBelowLastRow(HDC dc) {
    RECT last;
    last.left = LVIR_BOUNDS;
    if (SendMessage(list_, LVM_GETITEMRECT, kRows - 1, reinterpret_cast<LPARAM>(&last)) == 0) return;
    int rowHeight = last.bottom - last.top;
    if (rowHeight <= 0) return;
    for (int row = kRows, top = last.bottom; top < kHeight; ++row, top += rowHeight) {
      RECT r{0, top, kWidth, top + rowHeight};
      FillRect(dc, &r, row % 2 == 0 ? even_ : odd_);
    }
  }

  HFONT font_;
  HIMAGELIST icons_;
  HBRUSH even_;
  HBRUSH odd_;
  HWND parent_ = nullptr;
  HWND list_ = nullptr;
  int itemsDrawn_ = 0;
};

void BM_ListViewFrame(benchmark::State& state) {
  ListViewScreen screen;
  auto surface = GetWindowSurface(screen.Window());
  for (auto _ : state) {
    screen.Frame();
    surface->ClearTextRecords();
    benchmark::DoNotOptimize(surface->Pixel(100, 100));
  }
  if (!screen.CustomDrawn()) state.SkipWithError("the list did not ask its parent to draw its rows");
}
BENCHMARK(BM_ListViewFrame);

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

// Windows live in a device; the bench opens a device root of its own in the
// host's temporary folder and removes it at the end.
class BenchDevice {
 public:
  BenchDevice() {
    char pattern[] = "/tmp/gdi_bench.XXXXXX";
    if (mkdtemp(pattern) == nullptr || !OpenDeviceRoot(pattern)) std::abort();
    path_ = pattern;
  }
  ~BenchDevice() {
    CloseDeviceRoot();
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  BenchDevice(const BenchDevice&) = delete;
  BenchDevice& operator=(const BenchDevice&) = delete;

 private:
  std::filesystem::path path_;
};

bool SaveHandDrawnFrame(const char* path) {
  ListPainter painter;
  HDC target = CreateCompatibleDC(nullptr);
  HBITMAP screen = CreateCompatibleBitmap(target, kWidth, kHeight);
  HGDIOBJ old = SelectObject(target, screen);
  painter.Frame(target);
  SelectObject(target, old);
  bool ok = SaveBitmapToPng(screen, path);
  DeleteObject(screen);
  DeleteDC(target);
  return ok;
}

bool SaveListViewFrame(const char* path) {
  ListViewScreen screen;
  screen.Frame();
  return SaveWindowToPng(screen.Window(), path) != FALSE && screen.CustomDrawn();
}

}  // namespace

int main(int argc, char** argv) {
  BenchDevice device;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--png=", 6) == 0) return SaveHandDrawnFrame(argv[i] + 6) ? 0 : 1;
    if (std::strncmp(argv[i], "--listview-png=", 15) == 0) return SaveListViewFrame(argv[i] + 15) ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
