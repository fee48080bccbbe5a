#include "zolfa/playback/CLyricsCtrl.h"

#include <algorithm>

#include "platform/base/CodePage.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/ScrollBar.h"
#include "platform/framework/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Gesture.h"

using namespace ce;
using zolfa::LyricsModel;
using zolfa::LyricsRowStyle;

namespace {

constexpr char16_t kFontFace[] = u"細明體";
constexpr char16_t kScrollBarClass[] = u"SCROLLBAR";

// A DC drawing into a bitmap for the object's life.
class BitmapDc {
 public:
  explicit BitmapDc(const Bitmap& bitmap) : dc_(CreateCompatibleDC(nullptr)) {
    old_ = SelectObject(dc_, bitmap.Handle());
  }
  ~BitmapDc() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  BitmapDc(const BitmapDc&) = delete;
  BitmapDc& operator=(const BitmapDc&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

CLyricsCtrl::~CLyricsCtrl() { ReleaseResources(); }

bool CLyricsCtrl::Create(HWND parent, const RECT& rect, int id) {
  // The scroll bars are controls of the platform.
  InitCommonControls();
  return Window::Create(nullptr, u"", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

int CLyricsCtrl::OnCreate(CREATESTRUCT* create) {
  LOGFONT logFont{};
  logFont.lfHeight = PointTenthsToFontHeight(kFontPointTenths);
  std::copy(std::begin(kFontFace), std::end(kFontFace), logFont.lfFaceName);
  font_ = CreateFontIndirect(&logFont);
  whiteBrush_ = CreateSolidBrush(RGB(255, 255, 255));
  shadedBrush_ = CreateSolidBrush(kShadedRowColor);
  strip_.LoadResource(kStripImageId);
  const int width = create->cx;
  const int height = create->cy;
  verticalBar_ = CreateWindowEx(0, kScrollBarClass, u"", WS_CHILD | SBS_VERT,
                                width - LyricsModel::kScrollBarWidth, 0,
                                LyricsModel::kScrollBarWidth, height, Handle(),
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(kVerticalScrollBarId)),
                                nullptr, nullptr);
  // Made with the control and never shown: the lines are never wider.
  horizontalBar_ = CreateWindowEx(
      0, kScrollBarClass, u"", WS_CHILD | SBS_HORZ, 0, height - LyricsModel::kScrollBarWidth,
      width, LyricsModel::kScrollBarWidth, Handle(),
      reinterpret_cast<HMENU>(static_cast<intptr_t>(kHorizontalScrollBarId)), nullptr, nullptr);
  model_.Resize(width, height);
  ApplyLayout();
  Render();
  Paint();
  return 0;
}

void CLyricsCtrl::OnDestroy() {
  ReleaseResources();
  Window::OnDestroy();
}

void CLyricsCtrl::ReleaseResources() {
  if (font_ != nullptr) DeleteObject(font_);
  if (whiteBrush_ != nullptr) DeleteObject(whiteBrush_);
  if (shadedBrush_ != nullptr) DeleteObject(shadedBrush_);
  font_ = nullptr;
  whiteBrush_ = shadedBrush_ = nullptr;
  strip_.Release();
  content_.Release();
  backBuffer_.Release();
}

void CLyricsCtrl::SetLyrics(std::string_view text) {
  model_.SetLyrics(text, GetClientRect().right);
  ApplyLayout();
  Render();
  Paint();
}

void CLyricsCtrl::SetPosition(int seconds) {
  if (model_.SetPosition(seconds)) {
    Render();
    Paint();
  }
}

void CLyricsCtrl::OnSize(UINT type, int width, int height) {
  Window::OnSize(type, width, height);
  if (font_ == nullptr) return;
  model_.Resize(width, height);
  ApplyLayout();
  Render();
  Paint();
}

void CLyricsCtrl::ApplyLayout() {
  const RECT client = GetClientRect();
  const SIZE back = backBuffer_.Size();
  if (back.cx != client.right || back.cy != client.bottom) {
    ClientDc screen(Handle());
    backBuffer_.CreateCompatible(screen, std::max<LONG>(client.right, 1),
                                 std::max<LONG>(client.bottom, 1));
  }
  const SIZE image = content_.Size();
  const int imageWidth = std::max(model_.DrawWidth(), 1);
  const int imageHeight = std::max(model_.ImageHeight(), 1);
  if (image.cx != imageWidth || image.cy != imageHeight) {
    ClientDc screen(Handle());
    content_.CreateCompatible(screen, imageWidth, imageHeight);
  }
  if (verticalBar_ != nullptr) {
    ce::MoveWindow(verticalBar_, client.right - LyricsModel::kScrollBarWidth, 0,
               LyricsModel::kScrollBarWidth, client.bottom, FALSE);
    ce::ShowWindow(verticalBar_, model_.ScrollBarShown() ? SW_SHOW : SW_HIDE);
  }
}

void CLyricsCtrl::Render() {
  if (content_.Empty()) return;
  BitmapDc dc(content_);
  HGDIOBJ oldFont = SelectObject(dc.Handle(), font_);
  SetBkMode(dc.Handle(), TRANSPARENT);
  const int height = content_.Size().cy;
  size_t index = 0;
  for (int top = 0; top < height; top += LyricsModel::kLineHeight, ++index) {
    DrawRow(dc.Handle(), index, top);
  }
  SelectObject(dc.Handle(), oldFont);
}

void CLyricsCtrl::DrawRow(HDC dc, size_t index, int top) {
  const LyricsRowStyle style = model_.RowStyle(index);
  const int width = content_.Size().cx;
  const RECT row{0, top, width, top + LyricsModel::kLineHeight};
  const SIZE strip = strip_.Size();
  if (style.background == LyricsRowStyle::Background::kStrip && !strip_.Empty()) {
    BitmapDc source(strip_);
    const int column = std::clamp<int>(style.stripType, 0, static_cast<int>(strip.cx) - 1);
    StretchBlt(dc, 0, top, width, LyricsModel::kLineHeight, source.Handle(), column, 0, 1,
               static_cast<int>(strip.cy), SRCCOPY);
  } else {
    FillRect(dc, &row,
             style.background == LyricsRowStyle::Background::kShaded ? shadedBrush_ : whiteBrush_);
  }
  if (index >= model_.Lines().size()) return;
  const std::u16string text = MultiToWide(model_.Lines()[index].text);
  if (text.empty()) return;
  auto draw = [&](int dx, int dy, COLORREF color) {
    RECT rect{kTextLeft + dx, top + dy, width + dx, top + LyricsModel::kLineHeight + dy};
    SetTextColor(dc, color);
    ce::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                 DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  };
  switch (style.text) {
    case LyricsRowStyle::Text::kBlack:
      draw(0, 0, RGB(0, 0, 0));
      break;
    case LyricsRowStyle::Text::kOutlinedWhite:
      draw(1, 0, RGB(0, 0, 0));
      draw(-1, 0, RGB(0, 0, 0));
      draw(0, 1, RGB(0, 0, 0));
      draw(0, -1, RGB(0, 0, 0));
      draw(0, 0, RGB(255, 255, 255));
      break;
    case LyricsRowStyle::Text::kWhite:
      draw(0, 0, RGB(255, 255, 255));
      break;
  }
}

void CLyricsCtrl::Paint() {
  if (backBuffer_.Empty() || content_.Empty()) return;
  model_.FollowHighlight();
  const RECT client = GetClientRect();
  const int width = model_.DrawWidth();
  {
    BitmapDc back(backBuffer_);
    BitmapDc content(content_);
    const RECT all{0, 0, client.right, client.bottom};
    FillRect(back.Handle(), &all, whiteBrush_);
    // The position may lie past the end of the image while the highlight
    // is followed at the bottom; only what the image holds is copied.
    const int top = std::max(model_.ScrollPosition(), 0);
    const int rows = std::min<int>(client.bottom, std::max(content_.Size().cy - top, 0));
    if (rows > 0) BitBlt(back.Handle(), 0, 0, width, rows, content.Handle(), 0, top, SRCCOPY);
  }
  if (verticalBar_ != nullptr && model_.ScrollBarShown()) {
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = model_.ContentHeight();
    info.nPage = static_cast<UINT>(model_.VisibleHeight());
    info.nPos = model_.ScrollPosition();
    SetScrollInfo(verticalBar_, SB_CTL, &info, TRUE);
  }
  Invalidate(FALSE);
}

void CLyricsCtrl::OnPaint() {
  PaintDc dc(Handle());
  if (backBuffer_.Empty()) return;
  BitmapDc back(backBuffer_);
  const RECT client = GetClientRect();
  const int width = model_.ScrollBarShown() ? model_.DrawWidth() : client.right;
  dc.BitBlt(0, 0, width, client.bottom, back.Handle(), 0, 0, SRCCOPY);
}

BOOL CLyricsCtrl::OnEraseBkgnd(HDC) { return TRUE; }

void CLyricsCtrl::OnVScroll(UINT code, UINT pos, HWND scrollBar) {
  if (scrollBar != verticalBar_) {
    Window::OnVScroll(code, pos, scrollBar);
    return;
  }
  model_.Scroll(static_cast<zolfa::LyricsScroll>(code), static_cast<int>(pos));
  Paint();
}

void CLyricsCtrl::OnLButtonDown(UINT flags, POINT point) {
  SHRGINFO gesture;
  gesture.hwndClient = Handle();
  gesture.ptDown = point;
  gesture.dwFlags = SHRG_RETURNCMD;
  if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU && holdHandler_) {
    POINT screen = point;
    ClientToScreen(Handle(), &screen);
    holdHandler_(screen);
    return;
  }
  Window::OnLButtonDown(flags, point);
}
